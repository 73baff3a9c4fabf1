// Plays a frame of the stage on a canvas: the core decides what goes where (its display list, sent as 32-bit words
// in the form of src/core/stage/WireFormat.h, holding only the items that meet the parts of the stage that
// changed); this module only draws those items, clipped to those parts, in the order given. It decides nothing of
// the layout and imports nothing, so that a test page can feed it a frame directly.
//
// Drawing rules every shell keeps (src/core/stage/DisplayList.h): a glyph's origin is rounded to the nearest whole
// device pixel; `squeeze` narrows the glyph about its origin; bold strikes it again max(1, round(scale)) device
// pixels to the right. Boxes (fills, clips, pictures) have their edges rounded to whole device pixels, so that
// neighbouring boxes meet without a seam at any scale; the parts that changed are rounded outward.
export const STAGE_WIDTH = 640;
export const STAGE_HEIGHT = 400;
export const STAGE_FONT = 'ShioriStage';

export const WIRE_VERSION = 2;
const FILL = 1;
const VERTICAL_GRADIENT = 2;
const POLYGON = 3;
const ROUNDED_BOX = 4;
const PICTURE = 5;
const GLYPH_RUN = 6;

const UTF8 = new TextDecoder();

// Reads words in order, each as an unsigned integer or a float; running past the end is an error, not a zero.
class Reader {
  constructor(words) {
    if (!(words instanceof Uint32Array)) throw new TypeError('a stage frame is a Uint32Array');
    this.words = words;
    this.floats = new Float32Array(words.buffer, words.byteOffset, words.length);
    this.at = 0;
  }

  check(count) {
    if (this.at + count > this.words.length) {
      throw new RangeError(`stage frame: ${this.words.length} words, cut short at word ${this.at}`);
    }
  }
  word() {
    this.check(1);
    return this.words[this.at++];
  }
  float() {
    this.check(1);
    return this.floats[this.at++];
  }
  // A count of things each `size` words long, checked against what is left, so that a damaged count cannot ask for
  // a huge array.
  count(size) {
    const count = this.word();
    this.check(count * size);
    return count;
  }
  box() {
    return { x: this.float(), y: this.float(), width: this.float(), height: this.float() };
  }
  point() {
    return { x: this.float(), y: this.float() };
  }
  text() {
    const length = this.word();
    const padded = Math.ceil(length / 4);
    this.check(padded);
    const bytes = new Uint8Array(this.words.buffer, this.words.byteOffset + this.at * 4, length);
    this.at += padded;
    return UTF8.decode(bytes);
  }
}

const READ_DRAWING = {
  [FILL]: (r) => ({ box: r.box(), colour: r.word() }),
  [VERTICAL_GRADIENT]: (r) => ({
    box: r.box(),
    stops: Array.from({ length: r.count(2) }, () => ({ offset: r.float(), colour: r.word() })),
  }),
  [POLYGON]: (r) => ({ colour: r.word(), points: Array.from({ length: r.count(2) }, () => r.point()) }),
  [ROUNDED_BOX]: (r) => ({ box: r.box(), radius: r.float(), fill: r.word(), stroke: r.word(), strokeWidth: r.float() }),
  [PICTURE]: (r) => ({ at: r.point(), clip: r.box(), scale: r.float(), name: r.text() }),
  [GLYPH_RUN]: (r) => ({
    baseline: r.float(),
    pixelSize: r.float(),
    squeeze: r.float(),
    colour: r.word(),
    bold: r.word() !== 0,
    clip: r.box(),
    glyphs: Array.from({ length: r.count(2) }, () => ({ code: r.word(), x: r.float() })),
  }),
};

// The frame in `words` as plain objects: { whole, changed: [box], items: [{ kind, owner, bounds, ... }], pictures:
// [the names of the pictures it draws] }. A frame of another version, cut short or of an unknown kind of item is
// an error naming the problem.
export function decodeFrame(words) {
  const r = new Reader(words);
  const version = r.word();
  if (version !== WIRE_VERSION) throw new Error(`stage frame: version ${version}; this player reads ${WIRE_VERSION}`);
  const whole = r.word() !== 0;
  const changed = Array.from({ length: r.count(4) }, () => r.box());
  const items = Array.from({ length: r.count(6) }, () => {
    const kind = r.word();
    const read = READ_DRAWING[kind];
    if (!read) throw new Error(`stage frame: unknown kind of item ${kind} at word ${r.at - 1}`);
    return { kind, owner: r.word(), bounds: r.box(), ...read(r) };
  });
  const pictures = [...new Set(items.filter((item) => item.kind === PICTURE).map((item) => item.name))];
  return { whole, changed, items, pictures };
}

// Draws the frame in `words` (a Uint32Array) on the 2D `context`, `scale` canvas pixels to a stage pixel.
// `pictures.get(name)` gives each picture the frame names decoded (anything drawImage takes), or nothing when it
// could not be read or decoded: its part of the stage is then black.
export function drawFrame(context, words, scale, pictures) {
  paintFrame(context, decodeFrame(words), scale, pictures);
}

// The same for a frame decodeFrame() gave.
export function paintFrame(context, frame, scale, pictures) {
  if (!frame.changed.length) return;
  const g = context;
  g.save();
  g.setTransform(1, 0, 0, 1, 0, 0);
  g.beginPath();
  const reach = { left: Infinity, right: -Infinity };
  for (const box of frame.changed) {
    const r = outwardRect(box, scale);
    g.rect(r.x, r.y, r.width, r.height);
    reach.left = Math.min(reach.left, r.x);
    reach.right = Math.max(reach.right, r.x + r.width);
  }
  g.clip();
  g.imageSmoothingEnabled = true;
  g.imageSmoothingQuality = 'high';
  for (const item of frame.items) DRAW[item.kind](g, item, scale, pictures, reach);
  g.restore();
}

const DRAW = {
  [FILL]: (g, item, scale) => {
    const r = snappedRect(item.box, scale);
    g.fillStyle = css(item.colour);
    g.fillRect(r.x, r.y, r.width, r.height);
  },
  [VERTICAL_GRADIENT]: (g, item, scale) => {
    const r = snappedRect(item.box, scale);
    const gradient = g.createLinearGradient(0, r.y, 0, r.y + r.height);
    for (const stop of item.stops) gradient.addColorStop(Math.min(1, Math.max(0, stop.offset)), css(stop.colour));
    g.fillStyle = gradient;
    g.fillRect(r.x, r.y, r.width, r.height);
  },
  [POLYGON]: (g, item, scale) => {
    g.beginPath();
    for (const p of item.points) g.lineTo(p.x * scale, p.y * scale);
    g.closePath();
    g.fillStyle = css(item.colour);
    g.fill();
  },
  [ROUNDED_BOX]: (g, item, scale) => {
    const { x, y, width, height } = item.box;
    g.beginPath();
    g.roundRect(x * scale, y * scale, width * scale, height * scale, item.radius * scale);
    if (item.fill >>> 24) {
      g.fillStyle = css(item.fill);
      g.fill();
    }
    if (item.strokeWidth > 0 && item.stroke >>> 24) {
      g.lineWidth = item.strokeWidth * scale;
      g.strokeStyle = css(item.stroke);
      g.stroke();
    }
  },
  [PICTURE]: (g, item, scale, pictures) => {
    const clip = snappedRect(item.clip, scale);
    const image = pictures?.get(item.name);
    if (!image) {
      g.fillStyle = '#000';
      g.fillRect(clip.x, clip.y, clip.width, clip.height);
      return;
    }
    g.save();
    g.beginPath();
    g.rect(clip.x, clip.y, clip.width, clip.height);
    g.clip();
    g.drawImage(scaledPicture(image, item.scale * scale), Math.round(item.at.x * scale), Math.round(item.at.y * scale));
    g.restore();
  },
  [GLYPH_RUN]: drawGlyphRun,
};

function drawGlyphRun(g, run, scale, _pictures, reach) {
  const clip = snappedRect(run.clip, scale);
  const size = run.pixelSize * scale;
  const y = Math.round(run.baseline * scale);
  const bold = Math.max(1, Math.round(scale));
  g.save();
  g.beginPath();
  g.rect(clip.x, clip.y, clip.width, clip.height);
  g.clip();
  g.font = `${size}px ${STAGE_FONT}`;
  g.fillStyle = css(run.colour);
  for (const glyph of run.glyphs) {
    const x = Math.round(glyph.x * scale);
    // A glyph's ink stays within about an em of its origin, so one far from what changed draws nothing here.
    if (x - size > reach.right || x + 2 * size < reach.left) continue;
    const text = String.fromCodePoint(glyph.code);
    strike(g, text, x, y, run.squeeze);
    if (run.bold) strike(g, text, x + bold, y, run.squeeze);
  }
  g.restore();
}

function strike(g, text, x, y, squeeze) {
  if (squeeze === 1) {
    g.fillText(text, x, y);
    return;
  }
  g.save();
  g.setTransform(squeeze, 0, 0, 1, x, y);
  g.fillText(text, 0, 0);
  g.restore();
}

// A picture is drawn from a copy scaled once to the canvas's pixels (and to its own scale, a thumbnail's) and laid
// on them one to one: resampling the whole picture for every frame while a page types would cost more than
// everything else in the frame.
const scaledCopies = new WeakMap(); // picture -> { scale, copy }

function scaledPicture(image, scale) {
  if (scale === 1) return image;
  const kept = scaledCopies.get(image);
  if (kept?.scale === scale) return kept.copy;
  const copy = new OffscreenCanvas(Math.max(1, Math.round(image.width * scale)), Math.max(1, Math.round(image.height * scale)));
  const g = copy.getContext('2d');
  g.imageSmoothingQuality = 'high';
  g.drawImage(image, 0, 0, copy.width, copy.height);
  scaledCopies.set(image, { scale, copy });
  return copy;
}

function snappedRect(box, scale) {
  const x = Math.round(box.x * scale);
  const y = Math.round(box.y * scale);
  return { x, y, width: Math.round((box.x + box.width) * scale) - x, height: Math.round((box.y + box.height) * scale) - y };
}

function outwardRect(box, scale) {
  const x = Math.floor(box.x * scale);
  const y = Math.floor(box.y * scale);
  return { x, y, width: Math.ceil((box.x + box.width) * scale) - x, height: Math.ceil((box.y + box.height) * scale) - y };
}

// 0xAARRGGBB as CSS; the few colours a stage uses are kept.
const colours = new Map();

function css(argb) {
  let text = colours.get(argb);
  if (text === undefined) {
    const a = (argb >>> 24) / 255;
    text = `rgba(${(argb >>> 16) & 255}, ${(argb >>> 8) & 255}, ${argb & 255}, ${Number(a.toFixed(4))})`;
    colours.set(argb, text);
  }
  return text;
}
