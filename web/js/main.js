// The page: loads the core and the demo (or the game the address names), draws the stage whenever the window
// model changes, and turns the reader's mouse, touch and keys into the core's input.
import { Music } from './audio.js';
import { Core } from './core.js';
import { ask } from './dialog.js';
import { fromDrop, fromFileList, fromSiteZip, fromZip, NotAGame, OpeningCancelled } from './gamefiles.js';
import { HelpScreen } from './help.js';
import { DEMO, Library, LibraryScreen } from './library.js';
import { MenuBar } from './menubar.js';
import { OpeningProgress } from './opening.js';
import { Pictures } from './pictures.js';
import { PreferencesScreen, storedPreferences } from './preferences.js';
import { reason, SaveStore, SaveSync } from './saves.js';
import { offerText, Speech } from './speech.js';
import { decodeFrame, paintFrame, STAGE_FONT, STAGE_HEIGHT, STAGE_WIDTH } from './stage.js';
import { wireTouch } from './touch.js';
import { exportSaves, ImportRefused, savesToImport } from './transfer.js';
import { language, onLanguageChange, setLanguage, showWords, t } from './words.js';

const LEFT = 1;
const RIGHT = 2;
const MIDDLE = 4; // middle click hides the text
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
let library = null;
let libraryScreen;
let opening;
let preferencesScreen;
let helpScreen;
let speech = null;
// The files of the game playing: lower-case relative path -> bytes, and -> the address of the whole file where the
// game holds its head only (the packed demo). While another game starts, its files are read instead.
let playing = { index: new Map(), fetched: new Map() };
let starting = null;

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
    if (page.firstFrameAt === null) firstFrameShown();
    core.startClock();
  } finally {
    painting = false;
    if (core.changes() !== shownChanges) requestFrame();
  }
}

function firstFrameShown() {
  page.firstFrameAt = performance.now();
  $('loading').hidden = true;
  const name = page.game.name;
  // The library shows each game by its title screen, as first seen: after this frame is on the screen.
  setTimeout(() => library?.picture(name, canvas).catch(() => {}), 0);
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

// Opens `game` (GameFiles) all or nothing: its saves are read first, and a game whose saves cannot be read is not
// opened at all, since its first page would write a fresh read-page record over the stored one; a game the core
// refuses leaves the one playing as it was. Throws NotAGame with the reason.
async function openGame(game) {
  performance.mark('shiori:unpacked');
  let saves = new Map();
  try {
    if (store) saves = await store.load(game.name);
  } catch (error) {
    throw new NotAGame(t('open.savesUnreadable', { game: game.name, reason: reason(error) }));
  }
  const files = { index: new Map([...game.files].map(([path, bytes]) => [path.toLowerCase(), bytes])), fetched: game.fetched ?? new Map() };
  starting = files;
  const problem = await core.open(game, saves, storedPreferences(), () => {
    playing = files;
    saveSync.begin(game.name);
  });
  starting = null;
  performance.mark('shiori:started');
  if (problem) throw new NotAGame(problem);
  shown(game);
}

function shown(game) {
  pictures.forget();
  page.game = game;
  page.firstFrameAt = null;
  $('ended').hidden = true;
  document.title = `${game.name} — shiori`;
  // The address names the game, so that a reload (or the browser's restart) opens it again from the library.
  history.replaceState(null, '', game.name === DEMO ? location.pathname : `#game=${encodeURIComponent(game.name)}`);
  shownMenus = -1;
  wholeNeeded = true;
  requestFrame();
  if (library) keepInLibrary(game);
}

async function keepInLibrary(game) {
  try {
    if (!game.fetched && !game.kept) await library.keep(game);
    game.kept = true;
    await library.played(game.name);
  } catch (error) {
    notify(t('library.storeFailed', { game: game.name, reason: reason(error) }), true);
  }
}

// Opens the game `load(options)` gives, showing how far it got and letting the reader stop it.
async function openFrom(source, load) {
  const options = opening.begin(source);
  try {
    await openGame(await load(options));
  } catch (error) {
    if (error instanceof OpeningCancelled) notify(error.message);
    else notify(error instanceof NotAGame ? error.message : t('open.failed', { reason: error.message }), true);
  } finally {
    opening.end(options);
  }
}

// A game of the library (the demo included) by its name.
function openKept(name) {
  if (name === DEMO) return openFrom('demo.zip', openDemo);
  return openFrom(name, async () => {
    const game = await library?.game(name);
    if (!game) throw new NotAGame(t('library.gone', { game: name }));
    game.kept = true;
    return game;
  });
}

// The demo's files, fetched once: at the start, beside the core, when the demo is what the page opens first.
let demoFetched = null;
const fetchDemo = () => (demoFetched ??= Promise.all(['demo.zip', 'demo-fetched.json'].map((file) => fetch(file))));

async function openDemo() {
  const [zip, list] = await fetchDemo();
  demoFetched = null; // a response's body is read once
  if (!zip.ok || !list.ok) throw new Error(`demo.zip: ${zip.status} ${list.status}`);
  const game = fromSiteZip(new Uint8Array(await zip.arrayBuffer()), 'demo.zip');
  game.fetched = new Map(Object.entries(await list.json()).map(([path, address]) => [path.toLowerCase(), address]));
  return game;
}

function afterEveryCall() {
  offerText($('text-out'), core.takeTextOut());
  if (core.takeWrites()) saveSync.sync();
  if (core.changes() !== shownChanges) requestFrame();
  if (core.ended() && $('ended').hidden) {
    $('ended').hidden = false;
    music.stop();
    $('ended').querySelector('.again').focus();
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
async function readGameFile(relative, files = playing) {
  const key = relative.replace(/\\/g, '/').replace(/^\//, '').toLowerCase();
  const address = files.fetched.get(key);
  if (!address) return files.index.get(key) ?? null;
  const response = await fetch(address);
  if (!response.ok) throw new Error(`${address}: ${response.status}`);
  return new Uint8Array(await response.arrayBuffer());
}

// The music file as the core names it, in the page's file system.
async function readMusic(file) {
  const relative = file.replace(/^\/game\//, '');
  const files = starting ?? playing;
  return files.fetched.has(relative.toLowerCase()) ? readGameFile(relative, files) : core.readFile(file);
}

function firstGesture() {
  music.unlock();
}

function wireStage() {
  canvas.addEventListener('pointerdown', (event) => {
    firstGesture();
    menuBar.closeMenus();
    closeTools();
    // Keys go to the story again, not to the page's button pressed last.
    canvas.focus({ preventScroll: true });
    if (event.pointerType === 'touch') return; // touch.js
    const button = [LEFT, MIDDLE, RIGHT][event.button];
    if (button) core.press(...stagePoint(event), button);
  });
  wireTouch(canvas, core, stagePoint);
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
  // Tab moves through the page's controls; only on the stage is it the story's (skipping read text), and Shift+Tab
  // always leaves it.
  if (event.key === 'Tab' && !chord && (event.shiftKey || event.target !== canvas)) return;
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
  return element instanceof HTMLElement && element.closest('button, input, label, dialog, #ended') !== null;
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

// ---- files and the page's tools -----------------------------------------------------------------------------

function wireFiles() {
  const picked = (input, open) =>
    $(input).addEventListener('change', (event) => {
      const files = [...event.target.files];
      event.target.value = '';
      if (files.length) open(files);
    });
  picked('open-folder', (files) => openFrom(files[0].webkitRelativePath.split('/')[0] || files[0].name, (options) => fromFileList(files, options)));
  picked('open-zip', ([file]) => openFrom(file.name, async (options) => fromZip(new Uint8Array(await file.arrayBuffer()), file.name, options)));
  picked('import-saves', importSaves);
  const box = $('stage-box');
  box.addEventListener('dragover', (event) => {
    event.preventDefault();
    box.classList.add('dropping');
  });
  box.addEventListener('dragleave', () => box.classList.remove('dropping'));
  box.addEventListener('drop', (event) => {
    event.preventDefault();
    box.classList.remove('dropping');
    const name = event.dataTransfer.items[0]?.webkitGetAsEntry?.()?.name ?? '';
    openFrom(name, (options) => fromDrop(event.dataTransfer, options));
  });
}

// Every tool is a button; the file pickers' inputs stay hidden behind theirs.
function wireTools() {
  const tools = {
    'show-library': () => libraryScreen.show(),
    'pick-folder': () => $('open-folder').click(),
    'pick-zip': () => $('open-zip').click(),
    'export-saves': downloadSaves,
    'pick-saves': () => $('import-saves').click(),
    screenshot: saveScreenshot,
    'full-screen': toggleFullScreen,
    'show-help': () => helpScreen.show(),
    'switch-language': () => setLanguage(language() === 'ja' ? 'en' : 'ja'),
  };
  for (const [id, use] of Object.entries(tools)) {
    $(id).addEventListener('click', () => {
      closeTools();
      use();
    });
  }
  $('more-tools').addEventListener('click', () => ($('page-tools').classList.contains('open') ? closeTools() : openTools()));
  $('page-tools').addEventListener('keydown', (event) => {
    if (event.key !== 'Escape') return;
    closeTools();
    $('more-tools').focus();
  });
  document.addEventListener('pointerdown', (event) => {
    if (!$('page-bar').contains(event.target)) closeTools();
  });
  $('ended').querySelector('.again').addEventListener('click', () => openGame(page.game).catch((error) => notify(error.message, true)));
  $('ended').querySelector('.library').addEventListener('click', () => libraryScreen.show());
}

function openTools() {
  $('page-tools').classList.add('open');
  $('more-tools').setAttribute('aria-expanded', 'true');
  $('page-tools').querySelector('button').focus();
}

function closeTools() {
  $('page-tools').classList.remove('open');
  $('more-tools').setAttribute('aria-expanded', 'false');
}

async function downloadSaves() {
  if (!page.game) return;
  try {
    await saveSync.sync();
    const files = store ? await store.load(page.game.name) : new Map();
    if (!exportSaves(files, page.game.name, download)) notify(t('saves.none'));
  } catch (error) {
    notify(t('saves.exportFailed', { reason: reason(error) }), true);
  }
}

// Takes save files (or a .zip of them) into this game's storage, each checked first, then starts the game again
// on them.
async function importSaves(chosen) {
  if (!page.game || !store) return;
  try {
    const files = await savesToImport(chosen, (name, bytes) => core.checkSave(name, bytes));
    if (!files.size) {
      notify(t('saves.noneFound'), true);
      return;
    }
    await store.store(page.game.name, files);
    await openGame(page.game);
    notify(t('saves.imported', { count: files.size }));
  } catch (error) {
    const told = error instanceof ImportRefused || error instanceof NotAGame;
    notify(told ? error.message : t('saves.importFailed', { reason: reason(error) }), true);
  }
}

// ---- start -------------------------------------------------------------------------------------------------

// The core, the saves' storage and the font, side by side. A core that cannot load says so where the title would be.
async function loadParts() {
  const services = {
    play: (file) => music.play(file),
    stop: () => music.stop(),
    volume: (volume) => music.setVolume(volume),
    warn: (message) => {
      page.warnings.push(message);
      console.warn(`shiori: ${message}`);
    },
    ask: (text, title, defaultYes) => ask($('question'), text, title, defaultYes),
    say: (text, rate, voice) => speech?.say(text, rate, voice),
    hush: () => speech?.hush(),
  };
  const fontLoaded = document.fonts.load(`27px ${STAGE_FONT}`, 'あ');
  // The font is the largest part of a first visit: the loading notice says when it is what the page waits for.
  const coreLoaded = Core.load(services).then((loaded) => {
    $('loading').querySelector('.text').textContent = t('page.loadingFont');
    return loaded;
  });
  const [loaded, opened] = await Promise.all([
    coreLoaded,
    SaveStore.open().catch((error) => {
      notify(t('page.noStorage', { reason: reason(error) }), true);
      return null;
    }),
    fontLoaded,
  ]);
  return [loaded, opened];
}

function engineFailed(error) {
  const message = t('page.engineFailed', { reason: error?.message ?? String(error) });
  $('loading').querySelector('.spinner').hidden = true;
  $('loading').querySelector('.text').textContent = message;
  $('loading').setAttribute('role', 'alert');
  notify(message, true);
}

function wireScreens() {
  preferencesScreen = new PreferencesScreen($('preferences'), core, () => speech.voiceNames());
  helpScreen = new HelpScreen($('help'), core);
  library = store ? new Library(store.db) : null;
  libraryScreen = new LibraryScreen($('library'), $('remove-game'), library, { open: openKept });
  menuBar = new MenuBar($('menubar'), async (name) => {
    document.activeElement?.blur?.();
    if ((await core.choose(name)) === 'preferences') preferencesScreen.open();
  });
  onLanguageChange(() => showWords());
}

function wireKeys() {
  addEventListener('keydown', onKey);
  addEventListener('keyup', (event) => core.keyUp(event.key));
  addEventListener('blur', () => core.keysLost());
  addEventListener('beforeunload', (event) => {
    // While a question waits, the reader is in the middle of something too.
    if (!core.busy && !core.storyInProgress()) return;
    event.preventDefault();
    event.returnValue = '';
  });
}

// The game the address names (a reload, a restart, a link), else the demo.
function gameOfAddress() {
  const named = /^#game=(.+)$/.exec(location.hash);
  return named ? decodeURIComponent(named[1]) : DEMO;
}

async function main() {
  showWords();
  layOut();
  pictures = page.pictures = new Pictures((name) => readGameFile(name));
  music = page.music = new Music(readMusic, (waiting) => ($('sound-hint').hidden = !waiting));
  opening = new OpeningProgress($('opening'));
  const name = gameOfAddress();
  if (name === DEMO) fetchDemo();
  let loaded;
  try {
    [loaded, store] = await loadParts();
  } catch (error) {
    engineFailed(error);
    return;
  }
  performance.mark('shiori:ready');
  core = page.core = loaded;
  saveSync = new SaveSync(store, core, notify, (game, files) => library?.bookmarked(game, files).catch(() => {}));
  if (store) core.keeper = saveSync;
  else saveSync.sync = () => Promise.resolve();
  core.onSettled = afterEveryCall;
  speech = new Speech((japanese) => core.voicesFound(japanese));
  wireScreens();
  wireStage();
  wireFiles();
  wireTools();
  wireKeys();
  // The stage follows its box, which changes with the window and with the menu bar's height.
  new ResizeObserver(layOut).observe($('stage-box'));
  matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener('change', layOut, { once: true });
  await openKept(name);
  if (!page.game && name !== DEMO) await openKept(DEMO);
  if (!page.game) $('loading').hidden = true; // the notice says why
  // Offline and installed: the service worker keeps the site once the title is up, not before.
  navigator.serviceWorker?.register('sw.js').catch((error) => console.warn(`shiori: no offline copy: ${error.message}`));
}

main();
