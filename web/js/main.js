// The page: loads the core and the demo, draws the stage whenever the window model changes, and turns the
// reader's mouse, touch and keys into the core's input.
import { zipSync, unzipSync } from '../vendor/fflate.js';
import { Music } from './audio.js';
import { Core } from './core.js';
import { ask } from './dialog.js';
import { fromDrop, fromFileList, fromZip, NotAGame } from './gamefiles.js';
import { MenuBar } from './menubar.js';
import { Pictures } from './pictures.js';
import { PreferencesScreen, storedPreferences } from './preferences.js';
import { isSaveFile, SaveStore, SaveSync } from './saves.js';
import { decodeFrame, paintFrame, STAGE_FONT, STAGE_HEIGHT, STAGE_WIDTH } from './stage.js';

const LEFT = 1;
const RIGHT = 2;
const MIDDLE = 4; // middle click hides the text
const LONG_PRESS_MS = 500;
const MOUSE_NOTCH_PIXELS = 50; // a wheel event at least this long is one notch of a mouse wheel
const TOUCHPAD_NOTCH_PIXELS = 100; // the travel in small steps that counts as one notch

const $ = (id) => document.getElementById(id);
const canvas = $('stage');

// What the page knows at any moment; also read by the browser tests (docs/web-page.md).
const page = (window.shioriPage = {
  game: null, // GameFiles
  frames: 0, // frames drawn
  firstFrameAt: null, // performance.now() when the first title frame was on screen
  warnings: [],
  // The window model as the headless driver's `dump` shows it, made when asked; while a question waits, the core
  // is suspended mid-call, and the model stays as it was last asked.
  get model() {
    if (core && !core.busy) lastModel = core.model();
    return lastModel;
  },
});

let core;
let lastModel = null;
let music;
let pictures;
let menuBar;
let saveSync;
let store;
let preferencesScreen;
let gameFileIndex = new Map(); // lower-case relative path -> bytes
let fetched = new Map(); // lower-case relative path -> address of the whole file, where the game holds its head only

function notify(message, isError = false) {
  const notice = $('notice');
  notice.textContent = message;
  notice.classList.toggle('error', isError);
  clearTimeout(notify.timer);
  if (!isError) notify.timer = setTimeout(() => (notice.textContent = ''), 4000);
}

// ---- drawing ----------------------------------------------------------------------------------------------

let shownChanges = -1;
let shownMenus = -1;
let framePending = false;
let painting = false;
let wholeNeeded = true; // the canvas lost its pixels
let scale = 1; // device pixels per stage pixel
const context = canvas.getContext('2d', { alpha: false, desynchronized: true });

function requestFrame() {
  if (framePending || painting) return;
  framePending = true;
  requestAnimationFrame(drawFrame);
}

// Draws what changed since the last frame, once the pictures it shows are decoded, so that a frame never shows a
// picture half there.
async function drawFrame() {
  framePending = false;
  if (core.busy) return; // the frame comes when the call has finished
  painting = true;
  try {
    shownChanges = core.changes();
    const words = core.frame(wholeNeeded);
    if (!words) return; // no game is open
    const frame = decodeFrame(words);
    wholeNeeded = false;
    showMenuBar();
    if (frame.pictures.length) await pictures.ready(frame.pictures);
    if (!frame.changed.length) return;
    paintFrame(context, frame, scale, pictures);
    performance.mark('shiori:painted');
    page.frames += 1;
    if (page.firstFrameAt === null) page.firstFrameAt = performance.now();
    core.startClock();
  } finally {
    painting = false;
    if (core.changes() !== shownChanges) requestFrame();
  }
}

// The menu bar is read again only when it changed: most frames (every typed character) leave it as it is.
function showMenuBar() {
  const changes = core.menuChanges();
  if (changes === shownMenus) return;
  shownMenus = changes;
  menuBar.show(core.menuBar());
}

// A whole multiple of the stage when one nearly fills the page, else the largest size that fits; letter-boxed;
// drawn at the screen's own pixel density, so text stays sharp at any size.
const WHOLE_MULTIPLE_FILLS = 0.85;

function layOut() {
  const box = $('stage-box');
  const fit = Math.min(box.clientWidth / STAGE_WIDTH, box.clientHeight / STAGE_HEIGHT);
  const cssScale = fit >= 1 && Math.floor(fit) / fit >= WHOLE_MULTIPLE_FILLS ? Math.floor(fit) : fit;
  const width = Math.floor(STAGE_WIDTH * cssScale);
  const height = Math.floor(STAGE_HEIGHT * cssScale);
  canvas.style.width = `${width}px`;
  canvas.style.height = `${height}px`;
  const pixels = [Math.round(width * devicePixelRatio), Math.round(height * devicePixelRatio)];
  // Sizing a canvas clears it, even to the size it has: only a real change costs a whole frame.
  if (pixels[0] === canvas.width && pixels[1] === canvas.height) return;
  [canvas.width, canvas.height] = pixels;
  scale = canvas.width / STAGE_WIDTH;
  wholeNeeded = true;
  if (core) requestFrame();
}

// ---- the game -----------------------------------------------------------------------------------------------

async function openGame(game) {
  const saves = store ? await store.load(game.name).catch(() => new Map()) : new Map();
  music.stop();
  pictures.forget();
  gameFileIndex = new Map([...game.files].map(([path, bytes]) => [path.toLowerCase(), bytes]));
  fetched = game.fetched ?? new Map();
  performance.mark('shiori:saves-read');
  const problem = await core.open(game, saves, storedPreferences(), () => saveSync.begin(game.name));
  performance.mark('shiori:started');
  if (problem) {
    notify(problem, true);
    return;
  }
  page.game = game;
  page.firstFrameAt = null;
  $('ended').hidden = true;
  document.title = `${game.name} — shiori`;
  shownMenus = -1;
  wholeNeeded = true;
  requestFrame();
}

async function openFrom(load) {
  try {
    await openGame(await load());
  } catch (error) {
    notify(error instanceof NotAGame ? error.message : `The game could not be opened: ${error.message}`, true);
  }
}

function afterEveryCall() {
  if (core.takeWrites()) saveSync.sync();
  if (core.changes() !== shownChanges) requestFrame();
  if (core.ended()) {
    $('ended').hidden = false;
    music.stop();
  }
}

// ---- input --------------------------------------------------------------------------------------------------

function stagePoint(event) {
  const rect = canvas.getBoundingClientRect();
  return [
    Math.min(STAGE_WIDTH - 1, Math.floor(((event.clientX - rect.left) / rect.width) * STAGE_WIDTH)),
    Math.min(STAGE_HEIGHT - 1, Math.floor(((event.clientY - rect.top) / rect.height) * STAGE_HEIGHT)),
  ];
}

// The bytes of a game file by its relative path, in any case: from the game's files, or fetched whole where the
// game holds its head only (the packed demo), or null.
async function readGameFile(relative) {
  const key = relative.replace(/\\/g, '/').replace(/^\//, '').toLowerCase();
  const address = fetched.get(key);
  if (!address) return gameFileIndex.get(key) ?? null;
  const response = await fetch(address);
  if (!response.ok) throw new Error(`${address}: ${response.status}`);
  return new Uint8Array(await response.arrayBuffer());
}

// The music file as the core names it, in the page's file system.
async function readMusic(file) {
  const relative = file.replace(/^\/game\//, '');
  return fetched.has(relative.toLowerCase()) ? readGameFile(relative) : core.readFile(file);
}

function firstGesture() {
  music.unlock();
}

function wireStage() {
  let longPress = null;
  canvas.addEventListener('pointerdown', (event) => {
    firstGesture();
    menuBar.closeMenus();
    // Keys go to the story again, not to the page's button pressed last.
    if (document.activeElement instanceof HTMLElement) document.activeElement.blur();
    const [x, y] = stagePoint(event);
    if (event.pointerType === 'touch') {
      // A tap reads on; a long press is the right click.
      longPress = {
        id: event.pointerId,
        timer: setTimeout(() => {
          longPress = null;
          core.press(x, y, RIGHT);
        }, LONG_PRESS_MS),
        x,
        y,
      };
      return;
    }
    const button = [LEFT, MIDDLE, RIGHT][event.button];
    if (button) core.press(x, y, button);
  });
  canvas.addEventListener('pointerup', (event) => {
    if (!longPress || longPress.id !== event.pointerId) return;
    clearTimeout(longPress.timer);
    core.press(longPress.x, longPress.y, LEFT);
    longPress = null;
  });
  canvas.addEventListener('pointercancel', () => {
    if (longPress) clearTimeout(longPress.timer);
    longPress = null;
  });
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  let hovered = '';
  canvas.addEventListener('pointermove', (event) => {
    if (event.pointerType !== 'mouse') return;
    const point = stagePoint(event);
    if (String(point) !== hovered) core.hover(...point);
    hovered = String(point);
  });
  canvas.addEventListener('pointerleave', () => {
    hovered = '';
    core.hover();
  });
  // A mouse wheel's notch comes as one event (its size differs between systems); a touchpad sends small steps,
  // which add up to a notch.
  let wheelTravel = 0;
  canvas.addEventListener(
    'wheel',
    (event) => {
      event.preventDefault();
      const pixels = event.deltaMode === WheelEvent.DOM_DELTA_LINE ? event.deltaY * 33 : event.deltaY;
      if (Math.abs(pixels) >= MOUSE_NOTCH_PIXELS) {
        wheelTravel = 0;
        core.wheel(Math.sign(pixels));
        return;
      }
      if (Math.sign(pixels) !== Math.sign(wheelTravel)) wheelTravel = 0;
      wheelTravel += pixels;
      if (Math.abs(wheelTravel) < TOUCHPAD_NOTCH_PIXELS) return;
      core.wheel(Math.sign(wheelTravel));
      wheelTravel = 0;
    },
    { passive: false },
  );
}

// Keys go to the core by the browser's names for them; it answers what the page should do besides.
async function onKey(event) {
  if (document.querySelector('dialog[open]')) return; // a question or the preferences have the keys
  firstGesture();
  if (menuBar.handleKey(event)) {
    event.preventDefault(); // Alt and a menu's letter, or moving through the open menu
    return;
  }
  const chord = event.ctrlKey || event.altKey || event.metaKey;
  if (!chord && !/^F\d+$/.test(event.key) && isPageControl(event.target)) return;
  // The stage takes the key from the browser (no scrolling, no focus moving on, no saving the page for Ctrl+S),
  // unless it is a chord the menu bar does not list: Ctrl+R, Ctrl+T and the like keep their browser meaning.
  if (!chord || menuBar.listsShortcut(event)) event.preventDefault();
  const action = await core.keyDown(event);
  if (action === 'full-screen') toggleFullScreen();
  else if (action === 'screenshot') saveScreenshot();
  else if (action === 'copy-page-text') copyPageText();
}

// A button or field of the page keeps its own keys (Enter on a focused button presses it).
function isPageControl(element) {
  return element instanceof HTMLElement && element.closest('button, input, label, dialog') !== null;
}

async function copyPageText() {
  const text = await core.enqueue(() => core.pageText());
  if (text) navigator.clipboard?.writeText(text);
}

// Downloads the stage as a PNG at the page's own resolution, in whole multiples of the stage, and says so on it.
async function saveScreenshot() {
  const words = await core.enqueue(() => core.shownStage());
  if (!words) return;
  const frame = decodeFrame(words);
  await pictures.ready(frame.pictures);
  const shotScale = Math.max(1, Math.floor(scale));
  const shot = new OffscreenCanvas(STAGE_WIDTH * shotScale, STAGE_HEIGHT * shotScale);
  paintFrame(shot.getContext('2d', { alpha: false }), frame, shotScale, pictures);
  const blob = await shot.convertToBlob({ type: 'image/png' }).catch(() => null);
  if (!blob) {
    core.notice('スクリーンショットを保存できませんでした');
    return;
  }
  const pad = (n) => String(n).padStart(2, '0');
  const now = new Date();
  const stamp = `${now.getFullYear()}${pad(now.getMonth() + 1)}${pad(now.getDate())}-${pad(now.getHours())}${pad(now.getMinutes())}${pad(now.getSeconds())}`;
  download(blob, `shiori-${stamp}.png`);
  core.notice(`スクリーンショットを保存しました: shiori-${stamp}.png`);
}

function download(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else document.documentElement.requestFullscreen?.();
}

// ---- files --------------------------------------------------------------------------------------------------

function wireFiles() {
  $('open-folder').addEventListener('change', (event) => {
    const files = event.target.files;
    if (files.length) openFrom(() => fromFileList(files));
    event.target.value = '';
  });
  $('open-zip').addEventListener('change', (event) => {
    const [file] = event.target.files;
    if (file) openFrom(async () => fromZip(new Uint8Array(await file.arrayBuffer()), file.name));
    event.target.value = '';
  });
  const box = $('stage-box');
  box.addEventListener('dragover', (event) => {
    event.preventDefault();
    box.classList.add('dropping');
  });
  box.addEventListener('dragleave', () => box.classList.remove('dropping'));
  box.addEventListener('drop', (event) => {
    event.preventDefault();
    box.classList.remove('dropping');
    openFrom(() => fromDrop(event.dataTransfer));
  });
  $('export-saves').addEventListener('click', exportSaves);
  $('import-saves').addEventListener('change', (event) => {
    importSaves([...event.target.files]);
    event.target.value = '';
  });
  $('full-screen').addEventListener('click', toggleFullScreen);
  $('screenshot').addEventListener('click', saveScreenshot);
}

async function exportSaves() {
  if (!page.game) return;
  await saveSync.sync();
  const files = store ? await store.load(page.game.name) : new Map();
  if (!files.size) {
    notify('There are no saves of this game yet.');
    return;
  }
  const zip = zipSync(Object.fromEntries(files));
  download(new Blob([zip], { type: 'application/zip' }), `${page.game.name}-saves.zip`);
}

// Takes save files (or a .zip of them) into this game's storage, then starts the game again on them.
async function importSaves(chosen) {
  if (!page.game || !store) return;
  const files = new Map();
  for (const file of chosen) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    const entries = isZip(bytes) ? Object.entries(unzipSync(bytes)) : [[file.name, bytes]];
    for (const [path, content] of entries) {
      const name = path.slice(path.lastIndexOf('/') + 1).toLowerCase();
      if (isSaveFile(name)) files.set(name, content);
    }
  }
  if (!files.size) {
    notify('No save files there: they are named data2.rgd … data5.rgd, conf.rgd and conf2.rgd.', true);
    return;
  }
  try {
    await store.store(page.game.name, files);
  } catch (error) {
    notify(`セーブできませんでした: ${error.message}`, true);
    return;
  }
  await openGame(page.game);
  notify(`Imported ${files.size} save file${files.size > 1 ? 's' : ''}.`);
}

function isZip(bytes) {
  return bytes[0] === 0x50 && bytes[1] === 0x4b && bytes[2] === 0x03 && bytes[3] === 0x04;
}

// ---- start --------------------------------------------------------------------------------------------------

async function main() {
  layOut();
  pictures = page.pictures = new Pictures(readGameFile);
  music = page.music = new Music(readMusic, (waiting) => ($('sound-hint').hidden = !waiting));
  const demo = Promise.all(['demo.zip', 'demo-fetched.json'].map((file) => fetch(file)));
  const [loaded, opened] = await Promise.all([
    Core.load({
      play: (file) => music.play(file),
      stop: () => music.stop(),
      volume: (volume) => music.setVolume(volume),
      warn: (message) => {
        page.warnings.push(message);
        console.warn(`shiori: ${message}`);
      },
      ask: (text, title, defaultYes) => ask($('question'), text, title, defaultYes),
    }),
    SaveStore.open().catch((error) => {
      notify(`Saves cannot be kept in this browser: ${error.message}`, true);
      return null;
    }),
    document.fonts.load(`27px ${STAGE_FONT}`, 'あ'),
  ]);
  performance.mark('shiori:ready');
  core = page.core = loaded;
  store = opened;
  saveSync = new SaveSync(store, core, notify);
  if (store) core.keeper = saveSync;
  else saveSync.sync = () => Promise.resolve();
  core.onSettled = afterEveryCall;
  preferencesScreen = new PreferencesScreen($('preferences'), core);
  menuBar = new MenuBar($('menubar'), async (name) => {
    document.activeElement?.blur?.();
    if ((await core.choose(name)) === 'preferences') preferencesScreen.open();
  });
  wireStage();
  wireFiles();
  addEventListener('keydown', onKey);
  addEventListener('keyup', (event) => core.keyUp(event.key));
  addEventListener('blur', () => core.keysLost());
  // The stage follows its box, which changes with the window and with the menu bar's height.
  new ResizeObserver(layOut).observe($('stage-box'));
  matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener('change', layOut, { once: true });
  addEventListener('beforeunload', (event) => {
    // While a question waits, the reader is in the middle of something too.
    if (!core.busy && !core.storyInProgress()) return;
    event.preventDefault();
    event.returnValue = '';
  });
  await openFrom(async () => {
    const [zip, fetchedList] = await demo;
    const bytes = new Uint8Array(await zip.arrayBuffer());
    performance.mark('shiori:demo-fetched');
    const game = fromZip(bytes, 'demo.zip');
    performance.mark('shiori:demo-unpacked');
    game.fetched = new Map(Object.entries(await fetchedList.json()).map(([path, address]) => [path.toLowerCase(), address]));
    return game;
  });
}

main();
