// The window and the page draw the same stage. For each screen below, the desktop's headless player (the Qt
// window's own painter) draws a state at scale 1 and 2 and writes the core's display list for it; the page's stage
// player draws that list in Chromium; the two pictures must agree glyph cell for glyph cell, apart from the
// antialiasing of two rasterisers. A shell that placed, dropped, cut or narrowed a glyph differently fails here.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { launch, ROOT, serveSite } from './browser.mjs';

const PLAYER = join(ROOT, 'build/bin/shiori');
const TOOL = join(ROOT, 'build/bin/shiori-tool');
const DEMO = join(ROOT, 'build/demo');

// A page of twelve lines, the most a page holds, in the demo's own words and pictures.
const FULL_PAGE = [
  'page 1', 'picture 16', 'music 1', 'start 1', 'next 2',
  ...[
    '　夜の防波堤に、波の音だけが寄せては返す。', '　七海は靴を脱いで、コンクリートに腰かけた。',
    '「ねえ、覚えてる？　ここで花火をしたこと」', '　忘れるはずがない。十年前の、最後の夏だ。',
    '「ユウ、泣いてたよね。帰りたくないって」', '「……泣いてない」', '「泣いてた。わたし、ちゃんと見てたもん」',
    '　七海が笑う。月の光が、その横顔を照らした。', '　ｶﾀｶﾅの看板が、潮風にきしんでいる。',
    '　遠くで、灯台の光がゆっくりと回っていた。', '「また来年も、来てくれる？」',
    '　答えのかわりに、ぼくは空を見上げた。……。',
  ].map((line) => `| ${line}`),
  '', 'page 2', 'picture 1', 'next 3', '| おわり',
].join('\n');

const START_STORY = ['click lblMLT(0)', 'click lblMLT(3)'];
// The screens compared, each the commands that lead to it from the title; `game` names the game it is played on.
const SCREENS = {
  title: { commands: ['wait 100'] },
  'a full page': { game: 'full', commands: [...START_STORY, 'wait 20000'] },
  'a choice': { commands: [...START_STORY, 'text txtDES 0010', 'click comDES', 'wait 3000'] },
  'the load menu and its passage': { commands: ['click lblMLT(0)', 'wait 100'] },
  'the history': { commands: [...START_STORY, 'wait 6000', 'click Picture1', 'wait 6000', 'wheel up'] },
  'a notice': { commands: [...START_STORY, 'wait 6000', 'menu menuSAVE(1)', 'wait 100'] },
  'the settings': { commands: ['click lblMLT(2)', 'wait 100'] },
  'the gallery': { commands: ['click lblMLT(1)', 'wait 100'] },
  'the CG viewer': { commands: ['click lblMLT(1)', 'wait 100', 'click lblRUI', 'wait 500'] },
};

// Pixels whose channels differ by more than this are a difference of shape, not of antialiasing.
const STRONG = 96;
// A glyph cell may differ this much before it counts as drawn differently; a glyph missing or moved by a pixel
// differs far more.
const CELL_LIMIT = 0.12;
const WHOLE_LIMIT = 0.005;

let work;
let site;
let browser;
let page;

// Plays `commands` on the game and returns, for scales 1 and 2, the window's picture and the frame.
function drawOnDesktop(name, { game = 'demo', commands }) {
  const dir = mkdtempSync(join(work, 'state-'));
  const saves = join(dir, 'saves');
  cpSync(join(work, 'saves'), saves, { recursive: true });
  const shot = (scale) => join(dir, `window-${scale}.png`);
  const script = [...commands, `screenshot --scale 1 ${shot(1)}`, `screenshot --scale 2 ${shot(2)}`, `frame ${join(dir, 'frame')}`];
  execFileSync(PLAYER, ['--headless', join(work, game), '--save-dir', saves, '--now', '2026-12-01 10:00:00'], {
    input: script.join('\n') + '\n',
    env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' },
  });
  return {
    name,
    frame: readFileSync(join(dir, 'frame')).toString('base64'),
    window: [1, 2].map((scale) => readFileSync(shot(scale)).toString('base64')),
  };
}

// In the page: draws the frame with the stage player at `scale` and compares it with the window's picture, glyph
// cell by glyph cell and over the whole stage.
async function compareInPage(drawn, scale) {
  return page.evaluate(
    async ({ drawn, scale, strong }) => {
      const { decodeFrame, drawFrame } = await import('/js/stage.js');
      const bytes = Uint8Array.from(atob(drawn.frame), (c) => c.charCodeAt(0));
      const words = new Uint32Array(bytes.buffer);
      const frame = decodeFrame(words);
      const pictures = new Map();
      for (const item of frame.items) {
        if (item.name === undefined || pictures.has(item.name)) continue;
        const response = await fetch(`/demo/${item.name}`);
        pictures.set(item.name, response.ok ? await createImageBitmap(await response.blob()) : null);
      }
      const canvas = new OffscreenCanvas(640 * scale, 400 * scale);
      const context = canvas.getContext('2d');
      drawFrame(context, words, scale, { get: (name) => pictures.get(name) ?? undefined });
      const ours = context.getImageData(0, 0, canvas.width, canvas.height).data;
      const png = Uint8Array.from(atob(drawn.window[scale - 1]), (c) => c.charCodeAt(0));
      const windowPicture = await createImageBitmap(new Blob([png], { type: 'image/png' }));
      const reference = new OffscreenCanvas(canvas.width, canvas.height).getContext('2d');
      reference.drawImage(windowPicture, 0, 0);
      const theirs = reference.getImageData(0, 0, canvas.width, canvas.height).data;
      const differs = (i) =>
        Math.max(Math.abs(ours[i] - theirs[i]), Math.abs(ours[i + 1] - theirs[i + 1]), Math.abs(ours[i + 2] - theirs[i + 2])) > strong;
      let strongPixels = 0;
      for (let i = 0; i < ours.length; i += 4) if (differs(i)) strongPixels += 1;
      const cells = [];
      for (const run of frame.items.filter((item) => item.glyphs)) {
        run.glyphs.forEach((glyph, g) => {
          const next = run.glyphs[g + 1]?.x ?? glyph.x + run.pixelSize * run.squeeze * (glyph.code < 0x2000 ? 0.55 : 1);
          const left = Math.max(Math.floor(glyph.x * scale), Math.floor(run.clip.x * scale));
          const right = Math.min(Math.ceil(next * scale), Math.ceil((run.clip.x + run.clip.width) * scale), canvas.width);
          const top = Math.max(Math.floor((run.baseline - run.pixelSize) * scale), Math.floor(run.clip.y * scale), 0);
          const bottom = Math.min(Math.ceil((run.baseline + run.pixelSize * 0.2) * scale), Math.ceil((run.clip.y + run.clip.height) * scale), canvas.height);
          let count = 0;
          let strongInCell = 0;
          for (let y = top; y < bottom; y += 1) {
            for (let x = left; x < right; x += 1) {
              count += 1;
              if (differs((y * canvas.width + x) * 4)) strongInCell += 1;
            }
          }
          if (count > 0) cells.push({ character: String.fromCodePoint(glyph.code), x: glyph.x, y: run.baseline, share: strongInCell / count });
        });
      }
      return { glyphs: cells.length, worst: cells.sort((a, b) => b.share - a.share).slice(0, 3), strongShare: strongPixels / (ours.length / 4) };
    },
    { drawn, scale, strong: STRONG },
  );
}

describe('the window and the page draw the same stage', () => {
  const drawn = new Map();

  before(async () => {
    work = mkdtempSync(join(tmpdir(), 'shiori-parity-'));
    cpSync(DEMO, join(work, 'demo'), { recursive: true });
    cpSync(DEMO, join(work, 'full'), { recursive: true });
    writeFileSync(join(work, 'full.txt'), FULL_PAGE);
    execFileSync(TOOL, ['build', join(work, 'full.txt'), '-o', join(work, 'full', 'data1.rgd')]);
    // Every page read, so that the gallery shows every CG.
    cpSync(DEMO, join(work, 'saves'), { recursive: true, filter: (source) => !/\.(rgd|wav|log)$/i.test(source) || /conf2?\.rgd$/i.test(source) });
    writeFileSync(join(work, 'saves', 'data5.rgd'), Buffer.alloc(4000, 2));
    for (const [name, screen] of Object.entries(SCREENS)) drawn.set(name, drawOnDesktop(name, screen));
    site = await serveSite();
    browser = await launch();
    page = browser.pages()[0] ?? (await browser.newPage());
    await page.goto(site.url);
  });

  after(async () => {
    await browser?.close();
    browser?.removeProfile();
    site?.stop();
    if (work) rmSync(work, { recursive: true, force: true });
  });

  for (const name of Object.keys(SCREENS)) {
    for (const scale of [1, 2]) {
      test(`${name} at scale ${scale}`, async () => {
        const result = await compareInPage(drawn.get(name), scale);
        assert.ok(result.glyphs > 0, 'the screen shows text');
        for (const cell of result.worst) {
          assert.ok(cell.share <= CELL_LIMIT, `${cell.character} at ${cell.x},${cell.y}: ${(cell.share * 100).toFixed(1)} % of its cell differs`);
        }
        assert.ok(result.strongShare <= WHOLE_LIMIT, `${(result.strongShare * 100).toFixed(2)} % of the stage differs`);
      });
    }
  }
});
