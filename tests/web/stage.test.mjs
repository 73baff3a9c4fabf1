// The stage player (web/js/stage.js) on frames written by hand in the core's wire format: what it reads, what it
// refuses, and what it draws in Chromium (only inside the parts that changed, pictures or black, glyphs by the
// shells' shared rules).
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';
import { decodeFrame, WIRE_VERSION } from '../../web/js/stage.js';
import { launch, serveSite } from './browser.mjs';

// A frame as words: numbers are words, { f } floats, strings a length and UTF-8 bytes padded to a word.
function words(...parts) {
  const out = [];
  const float = new Float32Array(1);
  for (const part of parts.flat(Infinity)) {
    if (typeof part === 'number') {
      out.push(part >>> 0);
    } else if (typeof part === 'string') {
      const bytes = new TextEncoder().encode(part);
      out.push(bytes.length);
      const padded = new Uint8Array(Math.ceil(bytes.length / 4) * 4);
      padded.set(bytes);
      out.push(...new Uint32Array(padded.buffer));
    } else {
      float[0] = part.f;
      out.push(new Uint32Array(float.buffer)[0]);
    }
  }
  return new Uint32Array(out);
}
const f = (value) => ({ f: value });
const box = (x, y, width, height) => [f(x), f(y), f(width), f(height)];
const frame = (changed, items, whole = 0) => words(WIRE_VERSION, whole, changed.length, changed, items.length, items);
const fill = (b, colour) => [1, 7, b, b, colour];
const picture = (name, at, clip, scale = 1) => [5, 8, clip, f(at[0]), f(at[1]), clip, f(scale), name];
const glyphs = ({ text, x, baseline, size, squeeze = 1, colour = 0xffffffff, bold = 0, clip }) => [
  6, 9, clip, f(baseline), f(size), f(squeeze), colour, bold, clip, [...text].length,
  [...text].map((c, i) => [c.codePointAt(0), f(x + i * size)]),
];

describe('reading frames', () => {
  test('every kind of item reads back as the core wrote it', () => {
    const read = decodeFrame(
      frame(
        [box(1, 2, 3, 4)],
        [
          fill(box(0, 0, 640, 400), 0xff102030),
          [2, 1, box(0, 0, 640, 400), box(0, 0, 640, 400), 2, f(0), 0xff000000, f(1), 0xffffffff],
          [3, 2, box(0, 0, 9, 9), 0x60a03040, 3, f(0), f(0), f(9), f(0), f(9), f(9)],
          [4, 3, box(0, 0, 9, 9), box(1, 1, 7, 7), f(2), 0xaa000000, 0xffffd88c, f(2)],
          picture('data/背景1.rgd', [16, 8], box(16, 8, 600, 300), 0.25),
          glyphs({ text: 'あa', x: 10, baseline: 30, size: 27, squeeze: 0.9, bold: 1, clip: box(0, 0, 100, 40) }),
        ],
        1,
      ),
    );
    assert.equal(read.whole, true);
    assert.deepEqual(read.changed, [{ x: 1, y: 2, width: 3, height: 4 }]);
    assert.deepEqual(read.items.map((item) => [item.kind, item.owner]), [[1, 7], [2, 1], [3, 2], [4, 3], [5, 8], [6, 9]]);
    assert.equal(read.items[0].colour, 0xff102030);
    assert.deepEqual(read.items[1].stops, [{ offset: 0, colour: 0xff000000 }, { offset: 1, colour: 0xffffffff }]);
    assert.deepEqual(read.items[2].points, [{ x: 0, y: 0 }, { x: 9, y: 0 }, { x: 9, y: 9 }]);
    assert.deepEqual([read.items[3].radius, read.items[3].fill, read.items[3].stroke, read.items[3].strokeWidth], [2, 0xaa000000, 0xffffd88c, 2]);
    assert.deepEqual([read.items[4].name, read.items[4].at, read.items[4].scale], ['data/背景1.rgd', { x: 16, y: 8 }, 0.25]);
    const run = read.items[5];
    assert.deepEqual([run.baseline, run.pixelSize, run.bold, run.glyphs.map((g) => g.code)], [30, 27, true, [0x3042, 0x61]]);
    assert.ok(Math.abs(run.squeeze - 0.9) < 1e-6);
    assert.deepEqual(read.pictures, ['data/背景1.rgd']);
  });

  test('a damaged frame is refused with the reason, never read past its end', () => {
    const newer = WIRE_VERSION + 1;
    assert.throws(() => decodeFrame(frame([], []).map((w, i) => (i === 0 ? newer : w))), new RegExp(`version ${newer}; this player reads ${WIRE_VERSION}`));
    assert.throws(() => decodeFrame(frame([], [[99, 0, box(0, 0, 1, 1)]])), /unknown kind of item 99/);
    const whole = frame([box(0, 0, 640, 400)], [glyphs({ text: '本日は', x: 0, baseline: 20, size: 20, clip: box(0, 0, 640, 40) })]);
    assert.throws(() => decodeFrame(whole.subarray(0, whole.length - 1)), RangeError);
    // A count no frame could hold does not make the player reserve room for it.
    assert.throws(() => decodeFrame(words(WIRE_VERSION, 0, 0xffffffff)), /cut short/);
    assert.throws(() => decodeFrame([1, 0, 0, 0]), TypeError);
  });
});

describe('drawing frames in Chromium', () => {
  let site;
  let context;
  let page;
  before(async () => {
    site = await serveSite();
    context = await launch();
    page = context.pages()[0] ?? (await context.newPage());
    await page.goto(`${site.url}js/stage.js`); // any page of the site, for the module and the font
    await page.evaluate(async () => {
      const font = new FontFace('ShioriStage', 'url(/stage-font.woff2)');
      document.fonts.add(await font.load());
      window.stage = await import('/js/stage.js');
    });
  });
  after(async () => {
    await context?.close();
    context?.removeProfile();
    site?.stop();
  });

  // Draws `words` at `scale` on a canvas first filled blue, with the pictures named in `pictures` (name -> [r, g,
  // b], drawn as a 20 x 20 picture of that colour); returns the pixels' colours at `points` ([x, y] of the canvas).
  const draw = (words, scale, points, pictures = {}) =>
    page.evaluate(
      async ([words, scale, points, pictures]) => {
        const canvas = new OffscreenCanvas(640 * scale, 400 * scale);
        const g = canvas.getContext('2d', { alpha: false, willReadFrequently: true });
        g.fillStyle = '#0000ff';
        g.fillRect(0, 0, canvas.width, canvas.height);
        const decoded = new Map();
        for (const [name, [r, gr, b]] of Object.entries(pictures)) {
          const source = new OffscreenCanvas(20, 20);
          const s = source.getContext('2d');
          s.fillStyle = `rgb(${r}, ${gr}, ${b})`;
          s.fillRect(0, 0, 20, 20);
          decoded.set(name, await createImageBitmap(source));
        }
        stage.drawFrame(g, new Uint32Array(words), scale, decoded);
        return points.map(([x, y]) => [...g.getImageData(x, y, 1, 1).data.slice(0, 3)]);
      },
      [[...words], scale, points, pictures],
    );

  const RED = [255, 0, 0];
  const BLUE = [0, 0, 255];
  const BLACK = [0, 0, 0];

  test('only the parts that changed are drawn, on whole device pixels at any scale, later items over earlier', async () => {
    const items = [fill(box(0, 0, 640, 400), 0xffff0000), fill(box(100, 100, 10, 10), 0xff000000)];
    const at1 = await draw(frame([box(10.5, 10, 20, 20)], items), 1, [[10, 15], [30, 15], [9, 15], [31, 15], [15, 5]]);
    assert.deepEqual(at1, [RED, RED, BLUE, BLUE, BLUE], 'a part is widened to whole pixels, never blended at its edge');
    const at2 = await draw(frame([box(10, 10, 20, 20), box(100, 100, 5, 5)], items), 2, [[40, 40], [61, 40], [205, 205], [215, 215]]);
    assert.deepEqual(at2, [RED, BLUE, BLACK, BLUE]);
    assert.deepEqual(await draw(frame([], items), 1, [[15, 15]]), [BLUE], 'a frame where nothing changed draws nothing');
  });

  test('a picture is drawn where the list says, at its own scale, and clipped; one that could not be decoded leaves its part black', async () => {
    const items = [
      picture('data/0001.rgd', [100, 50], box(100, 50, 10, 20)),
      picture('data/gone.rgd', [300, 50], box(300, 50, 20, 20)),
      picture('data/0001.rgd', [100, 150], box(100, 150, 40, 40), 0.5), // a thumbnail: 10 x 10 of the stage
    ];
    const points = [[205, 105], [225, 105], [610, 110], [645, 110], [590, 110], [218, 318], [222, 318]];
    const pixels = await draw(frame([box(0, 0, 640, 400)], items), 2, points, { 'data/0001.rgd': [0, 255, 0] });
    assert.deepEqual(pixels, [[0, 255, 0], BLUE, BLACK, BLUE, BLUE, [0, 255, 0], BLUE]);
  });

  // The ink of one full-block glyph drawn alone: its leftmost and rightmost inked columns on the baseline's row.
  const ink = (run, scale) =>
    page.evaluate(
      ([words, scale]) => {
        const canvas = new OffscreenCanvas(640 * scale, 400 * scale);
        const g = canvas.getContext('2d', { alpha: false, willReadFrequently: true });
        stage.drawFrame(g, new Uint32Array(words), scale, new Map());
        const row = Math.round(95 * scale);
        const { data } = g.getImageData(0, row, canvas.width, 1);
        const inked = [];
        for (let x = 0; x < canvas.width; ++x) if (data[x * 4] > 128) inked.push(x);
        return inked.length ? [inked[0], inked[inked.length - 1]] : null;
      },
      [[...frame([box(0, 0, 640, 400)], [run])], scale],
    );

  test('glyphs: bold strikes again max(1, round(scale)) device pixels right, squeeze narrows about the origin, the clip cuts', async () => {
    const block = (options) => glyphs({ text: '■', x: 100.3, baseline: 100, size: 20, clip: box(0, 0, 640, 400), ...options });
    for (const scale of [1, 1.5, 2]) {
      const plain = await ink(block(), scale);
      assert.ok(plain, `the glyph is drawn at scale ${scale}`);
      const bold = await ink(block({ bold: 1 }), scale);
      assert.deepEqual(bold, [plain[0], plain[1] + Math.max(1, Math.round(scale))], `bold at scale ${scale}`);
      const narrow = await ink(block({ squeeze: 0.5 }), scale);
      const origin = Math.round(100.3 * scale);
      assert.ok(Math.abs(narrow[0] - origin - (plain[0] - origin) / 2) <= 1, `narrowed about its origin at scale ${scale}`);
      assert.ok(narrow[1] - narrow[0] < (plain[1] - plain[0]) * 0.6, `narrowed at scale ${scale}`);
    }
    const cut = await ink(block({ clip: box(0, 0, 108, 400) }), 2);
    assert.equal(cut[1], 215, 'nothing of the run beyond its clip');
  });
});
