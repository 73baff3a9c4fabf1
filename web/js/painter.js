// Draws the stage from the window model, as the desktop's painter does: the layers bottom up, each with its
// picture and its widgets; the window's own picture only when every layer is hidden. Pictures are decoded by the
// browser from their bytes, whatever their name says.
export const STAGE_WIDTH = 640;
export const STAGE_HEIGHT = 400;
export const STAGE_FONT = 'ShioriStage';

// Where the baseline lies in a line, as a fraction of the text's size from the top of its em box.
const EM_ASCENT = 0.86;
// How far a line may be narrowed rather than wrapped out of sight.
const MAX_SQUEEZE = 1.12;
// How far a line may be narrowed by taking space from between its characters alone; beyond it the glyphs narrow.
const SPACING_SQUEEZE = 1.04;
// How many pixels of a line's cell may hang below a label and still count as a whole line.
const LINE_SLACK = 2;
const LAYERS = ['Picture1', 'Picture2', 'Picture3', 'Picture4'];
// What hiding the text hides: the message lines and the next-arrow.
const HIDDEN_WITH_TEXT = /^(lbl1\(\d+\)|lblSANKAKU)$/;
// The comforts' marks, warm like the lamp light of the menus.
const MARK_COLOUR = '#ffd88c';
const BACKLOG_TOP = 40;
const BACKLOG_PITCH = 30;
const BACKLOG_LEFT = 40;
const BACKLOG_VISIBLE_LINES = 11;
// Decoded pictures kept for the next frames; a 640 x 400 picture holds a megabyte.
const KEPT_PICTURES = 8;

export class Painter {
  // `readPicture(relative)`: a promise of the bytes of a game file (null when there is none).
  constructor(canvas, readPicture) {
    this.screen = canvas.getContext('2d', { alpha: false });
    this.context = this.screen; // where the drawing methods draw: the stage, or a screenshot's canvas
    this.readPicture = readPicture;
    this.pictures = new Map(); // relative name -> Promise<ImageBitmap|null>, most recently used last
    this.scaled = new Map(); // ImageBitmap -> { scale, canvas }: the pictures of the last frames, scaled to the output
  }

  forgetPictures() {
    for (const picture of this.pictures.values()) picture.then((bitmap) => bitmap?.close());
    this.pictures.clear();
    this.scaled.clear();
  }

  // Decodes what the model shows, then draws it in one go, so a frame never shows a picture half there.
  async paint(model, pixelsPerStagePixel, context = this.screen) {
    const shown = LAYERS.map((name) => model.layers[name]).filter((layer) => layer.visible);
    const names = shown.length ? shown.map((layer) => layer.picture) : [model.window.picture];
    const bitmaps = new Map();
    for (const name of names) if (name) bitmaps.set(name, await this.picture(name));
    this.context = context;
    this.draw(model, shown, bitmaps, pixelsPerStagePixel);
  }

  // The stage of `model` on a canvas of its own, `scale` pixels to a stage pixel: a screenshot.
  async render(model, scale) {
    const canvas = document.createElement('canvas');
    canvas.width = STAGE_WIDTH * scale;
    canvas.height = STAGE_HEIGHT * scale;
    await this.paint(model, scale, canvas.getContext('2d', { alpha: false }));
    return canvas;
  }

  picture(name) {
    let found = this.pictures.get(name);
    if (found) {
      this.pictures.delete(name);
    } else {
      found = this.readPicture(name)
        .then((bytes) => (bytes ? createImageBitmap(new Blob([bytes])) : null))
        .catch(() => null);
    }
    this.pictures.set(name, found);
    while (this.pictures.size > KEPT_PICTURES) {
      const [oldest, bitmap] = this.pictures.entries().next().value;
      this.pictures.delete(oldest);
      bitmap.then((b) => b?.close());
    }
    return found;
  }

  draw(model, shownLayers, bitmaps, scale) {
    const g = this.context;
    g.setTransform(scale, 0, 0, scale, 0, 0);
    g.imageSmoothingEnabled = true;
    g.imageSmoothingQuality = 'high';
    if (!shownLayers.length) this.drawWindowPicture(model.window, bitmaps);
    const widgetsByLayer = new Map(LAYERS.map((name) => [name, []]));
    for (const [name, widget] of Object.entries(model.widgets)) {
      if (widget.layer) widgetsByLayer.get(widget.layer)?.push({ name, ...widget });
    }
    for (const name of LAYERS) {
      const layer = model.layers[name];
      if (layer.visible) this.drawLayer(layer, widgetsByLayer.get(name), bitmaps, model.overlay);
    }
    if (model.overlay) drawOverlay(g, model);
  }

  drawWindowPicture(window, bitmaps) {
    const g = this.context;
    if (!window.picture) {
      drawDesignBackground(g);
      return;
    }
    g.fillStyle = '#000';
    g.fillRect(0, 0, STAGE_WIDTH, STAGE_HEIGHT);
    const bitmap = !window.pictureMissing && bitmaps.get(window.picture);
    if (bitmap) this.drawPicture(bitmap);
  }

  // Drawn from a copy scaled once to the output's pixels and laid over them pixel for pixel: resampling the
  // picture for every frame while a page types would cost more than everything else in the frame.
  drawPicture(bitmap) {
    const g = this.context;
    const scale = g.getTransform().a;
    let scaled = this.scaled.get(bitmap);
    if (scaled?.scale !== scale) {
      const canvas = new OffscreenCanvas(Math.round(bitmap.width * scale), Math.round(bitmap.height * scale));
      const copy = canvas.getContext('2d');
      copy.imageSmoothingQuality = 'high';
      copy.drawImage(bitmap, 0, 0, canvas.width, canvas.height);
      scaled = { scale, canvas };
      this.scaled.delete(bitmap);
      this.scaled.set(bitmap, scaled);
      if (this.scaled.size > LAYERS.length) this.scaled.delete(this.scaled.keys().next().value);
    }
    g.save();
    g.setTransform(1, 0, 0, 1, 0, 0);
    g.drawImage(scaled.canvas, 0, 0);
    g.restore();
  }

  drawLayer(layer, widgets, bitmaps, overlay) {
    const g = this.context;
    const bitmap = layer.picture && !layer.pictureMissing ? bitmaps.get(layer.picture) : null;
    // A picture that could not be loaded leaves the layer plain black, not its back colour.
    g.fillStyle = layer.picture && !bitmap ? '#000' : `#${layer.back}`;
    g.fillRect(0, 0, STAGE_WIDTH, STAGE_HEIGHT);
    if (bitmap) this.drawPicture(bitmap);
    // The model lists a layer's widgets from the top of the stacking order down.
    for (let i = widgets.length - 1; i >= 0; --i) {
      const w = widgets[i];
      if (w.visible && !(overlay?.textHidden && HIDDEN_WITH_TEXT.test(w.name))) this.drawWidget(w);
    }
  }

  drawWidget(w) {
    const g = this.context;
    const box = { left: w.left, top: w.top, width: w.width, height: w.height };
    if (w.back) {
      g.fillStyle = `#${w.back}`;
      g.fillRect(box.left, box.top, box.width, box.height);
    }
    if (w.border) {
      drawBorder(g, box);
      box.left += 1;
      box.top += 1;
      box.width -= 2;
      box.height -= 2;
    }
    if (!w.caption) return;
    const pixels = Math.max(1, Math.round((w.font * 96) / 72));
    g.save();
    g.beginPath();
    g.rect(box.left, box.top, box.width, box.height);
    g.clip();
    g.font = `${pixels}px ${STAGE_FONT}`;
    g.fillStyle = `#${w.fore}`;
    g.textBaseline = 'alphabetic';
    for (const line of layOutText(g, w.caption, pixels, w.alignment, box)) {
      const draw = (dx) => {
        g.save();
        g.translate(line.x + dx, line.y);
        g.scale(line.squeeze, 1);
        if (line.spacing) g.letterSpacing = `${line.spacing}px`;
        g.fillText(line.text, 0, 0);
        g.restore();
      };
      draw(0);
      // The stage font has no bold face: bold text is struck twice a stage pixel apart, as on the desktop.
      if (w.bold) draw(1);
    }
    g.restore();
  }
}

// Lines follow each other at the pitch the layout was made for (30 pixels for 27-pixel text), whatever the font's
// own line spacing; only whole lines are drawn.
function layOutText(g, caption, pixels, alignment, box) {
  const pitch = Math.round((pixels * 10) / 9);
  const baseline = (pitch - pixels) / 2 + pixels * EM_ASCENT;
  const capacity = Math.max(1, Math.floor((box.height + LINE_SLACK) / pitch));
  const lines = [];
  const place = (text, width, squeeze = 1, spacing = 0) => {
    const x = alignment === 'centre' ? box.left + (box.width - width * squeeze) / 2 : box.left;
    lines.push({ text, x, y: box.top + lines.length * pitch + baseline, squeeze, spacing });
  };
  for (const paragraph of caption.replace(/\r\n?/g, '\n').split('\n')) {
    if (lines.length >= capacity) break;
    const natural = g.measureText(paragraph).width;
    // A line a little too long for a label with no room below is squeezed a few per cent rather than wrapped
    // out of sight.
    if (natural > box.width && natural <= box.width * MAX_SQUEEZE && lines.length + 1 >= capacity) {
      if (natural <= box.width * SPACING_SQUEEZE) {
        place(paragraph, box.width, 1, -(natural - box.width) / [...paragraph].length);
      } else {
        place(paragraph, natural, box.width / natural);
      }
      continue;
    }
    if (!paragraph) {
      lines.length < capacity && lines.push(null);
      continue;
    }
    for (const piece of wrap(g, paragraph, box.width)) {
      if (lines.length >= capacity) break;
      place(piece, g.measureText(piece).width);
    }
  }
  return lines.filter(Boolean);
}

// Japanese text wraps between any two characters; Latin text at spaces, or anywhere when a word is too long.
function wrap(g, text, width) {
  const japanese = /[\u3000-\u30ff\u3400-\u9fff\uf900-\ufaff\uff00-\uffef]/.test(text);
  const units = japanese ? [...text] : text.split(/(?<= )/);
  const pieces = [];
  let current = '';
  for (const unit of units) {
    if (current && g.measureText(current + unit).width > width) {
      pieces.push(current);
      current = '';
    }
    if (!japanese && g.measureText(unit).width > width) {
      for (const c of unit) {
        if (current && g.measureText(current + c).width > width) {
          pieces.push(current);
          current = '';
        }
        current += c;
      }
    } else {
      current += unit;
    }
  }
  if (current) pieces.push(current);
  return pieces;
}

// The single border: a sunken one-pixel edge, visible on dark and light grounds alike.
function drawBorder(g, box) {
  const right = box.left + box.width - 1;
  const bottom = box.top + box.height - 1;
  g.fillStyle = '#808080';
  g.fillRect(box.left, box.top, box.width, 1);
  g.fillRect(box.left, box.top, 1, box.height);
  g.fillStyle = '#fff';
  g.fillRect(box.left, bottom, box.width, 1);
  g.fillRect(right, box.top, 1, box.height);
}

// The window's own picture when the story has given it none: a dark evening gradient with a ribbon.
function drawDesignBackground(g) {
  const sky = g.createLinearGradient(0, 0, 0, STAGE_HEIGHT);
  sky.addColorStop(0, '#262a40');
  sky.addColorStop(0.6, '#121422');
  sky.addColorStop(1, '#06070c');
  g.fillStyle = sky;
  g.fillRect(0, 0, STAGE_WIDTH, STAGE_HEIGHT);
  g.fillStyle = 'rgba(160, 48, 64, 0.376)';
  g.beginPath();
  g.moveTo(560, 0);
  g.lineTo(592, 0);
  g.lineTo(592, 120);
  g.lineTo(576, 104);
  g.lineTo(560, 120);
  g.closePath();
  g.fill();
}

// What the comforts show over the stage: the history over a dimmed stage, or the focus and hover marks; the
// AUTO / SKIP indicator; a short notice.
function drawOverlay(g, model) {
  const overlay = model.overlay;
  g.save();
  if (overlay.backlogOpen) {
    drawBacklog(g, overlay);
  } else {
    drawMarks(g, model);
  }
  if (overlay.indicator) {
    drawTag(g, overlay.indicator === 'AUTO' ? 'AUTO ▶' : 'SKIP ▶▶', 12, 564, 374, 'right');
  }
  if (overlay.notice) drawTag(g, overlay.notice, 14, STAGE_WIDTH / 2, 340, 'centre');
  g.restore();
}

// A mark only on a widget the reader can act on now.
function markable(model, name) {
  const w = name && model.widgets[name];
  return w && w.visible && w.enabled && (!w.layer || model.layers[w.layer].visible) ? w : null;
}

function drawMarks(g, model) {
  const hovered = markable(model, model.overlay.hover);
  if (hovered) {
    g.fillStyle = 'rgba(255, 255, 255, 0.157)';
    g.fillRect(hovered.left, hovered.top, hovered.width, hovered.height);
  }
  const focused = markable(model, model.overlay.focus);
  if (focused) {
    g.strokeStyle = MARK_COLOUR;
    g.lineWidth = 2;
    g.beginPath();
    g.roundRect(focused.left - 3, focused.top - 3, focused.width + 6, focused.height + 6, 4);
    g.stroke();
  }
}

// A small rounded box of text: the indicator in the bottom right corner, the notice above the text's foot.
function drawTag(g, text, pixels, x, y, side) {
  g.font = `${pixels}px ${STAGE_FONT}`;
  const width = Math.min(g.measureText(text).width + 2 * pixels, STAGE_WIDTH - 16);
  const height = pixels * 1.8;
  const left = side === 'right' ? x - width : x - width / 2;
  g.fillStyle = 'rgba(0, 0, 0, 0.667)';
  g.beginPath();
  g.roundRect(left, y, width, height, height / 2);
  g.fill();
  g.fillStyle = '#fff';
  g.textAlign = 'center';
  g.textBaseline = 'middle';
  g.fillText(text, left + width / 2, y + height / 2, width - pixels);
  g.textAlign = 'left';
  g.textBaseline = 'alphabetic';
}

function drawBacklog(g, overlay) {
  g.fillStyle = 'rgba(0, 0, 16, 0.91)';
  g.fillRect(0, 0, STAGE_WIDTH, STAGE_HEIGHT);
  g.textBaseline = 'middle';
  g.font = `12px ${STAGE_FONT}`;
  g.fillStyle = '#c0c0d0';
  g.fillText('履歴', 16, 20);
  g.textAlign = 'right';
  g.fillText('ホイール・↑↓・PageUp/Down で読み返す　Esc・右クリックで戻る', 624, 382);
  g.textAlign = 'left';
  g.font = `20px ${STAGE_FONT}`;
  g.fillStyle = '#fff';
  overlay.backlogLines.forEach((line, i) => g.fillText(line, BACKLOG_LEFT, BACKLOG_TOP + i * BACKLOG_PITCH + BACKLOG_PITCH / 2));
  g.textBaseline = 'alphabetic';
  // Where the view lies in the whole history.
  const trackHeight = BACKLOG_VISIBLE_LINES * BACKLOG_PITCH;
  const thumb = 24;
  g.fillStyle = 'rgba(255, 255, 255, 0.196)';
  g.fillRect(620, BACKLOG_TOP, 4, trackHeight);
  g.fillStyle = MARK_COLOUR;
  g.fillRect(620, BACKLOG_TOP + (trackHeight - thumb) * overlay.backlogPosition, 4, thumb);
}
