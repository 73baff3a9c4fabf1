// The core in WebAssembly and its clock. Every call into the core brings its scheduler up to the page's time; one
// timer wakes it at its next deadline, and nothing else runs: an idle page uses no processor. The clock starts
// with the first frame, so that nothing the title starts delays its drawing, and stands still while a question
// waits for the reader, as on the desktop.
import createShioriCore from '../shiori-web.mjs';

const GAME_ROOT = '/game';
export const SAVE_ROOT = '/saves';

export class Core {
  // `services`: play(file), stop(), warn(message), ask(text, title) -> Promise<boolean>.
  static async load(services) {
    const module = await createShioriCore({ services: wrapAsk(services) });
    return new Core(module);
  }

  constructor(module) {
    this.module = module;
    this.fs = module.FS;
    this.clockOrigin = null; // performance.now() at the first frame
    this.pausedSince = null;
    this.pausedTotal = 0;
    this.busy = false; // a call is in progress (a question may be waiting for its answer)
    this.wakeTimer = null;
    this.onSettled = () => {}; // after every call: the page redraws and saves what changed
    module.services.pause = (paused) => this.pauseClock(paused);
  }

  // Replaces the game in the page's file system with `game` (GameFiles) and its saves, and starts it.
  // Returns "" or the core's message naming the problem.
  open(game, saves) {
    this.stopWaking();
    this.clockOrigin = null;
    this.pausedTotal = 0;
    removeTree(this.fs, GAME_ROOT);
    writeTree(this.fs, GAME_ROOT, game.files);
    this.saveDir = `${SAVE_ROOT}/${game.name.replace(/[\/\0]/g, '_')}`;
    removeTree(this.fs, this.saveDir);
    writeTree(this.fs, this.saveDir, saves);
    const problem = this.module.ccall('shiori_open', 'string', ['string', 'string'], [GAME_ROOT, this.saveDir]);
    if (!problem) this.settle();
    return problem;
  }

  // The page has drawn its first frame: the core's clock starts now.
  startClock() {
    if (this.clockOrigin !== null) return;
    this.clockOrigin = performance.now();
    this.settle();
  }

  now() {
    if (this.clockOrigin === null) return 0;
    const at = this.pausedSince ?? performance.now();
    return at - this.clockOrigin - this.pausedTotal;
  }

  pauseClock(paused) {
    if (paused && this.pausedSince === null) {
      this.pausedSince = performance.now();
      this.stopWaking();
    } else if (!paused && this.pausedSince !== null) {
      this.pausedTotal += performance.now() - this.pausedSince;
      this.pausedSince = null;
    }
  }

  // Input. Each resolves once the core has finished with it, questions answered.
  pressAt(x, y, button) {
    return this.call('shiori_press_at', ['number', 'number', 'number'], [x, y, button]);
  }
  pressStory(button) {
    return this.call('shiori_press_story', ['number'], [button]);
  }
  choose(menuName) {
    return this.call('shiori_choose', ['string'], [menuName]);
  }
  close() {
    return this.call('shiori_close', [], []);
  }

  changes() {
    return this.module._shiori_changes();
  }
  ended() {
    return this.module._shiori_ended() !== 0;
  }
  // The window model: the members of the headless driver's dump (layers, widgets, menus, state ...).
  snapshot() {
    return JSON.parse(this.module.ccall('shiori_snapshot', 'string', [], []));
  }
  menuTree() {
    return JSON.parse(this.module.ccall('shiori_menu_tree', 'string', [], []));
  }

  // Input arriving while a question waits is dropped, as a modal box on the desktop drops it.
  async call(name, types, args) {
    if (this.busy) return;
    this.busy = true;
    try {
      await this.module.ccall(name, null, ['number', ...types], [this.now(), ...args], { async: true });
    } finally {
      this.busy = false;
    }
    this.settle();
  }

  settle() {
    this.onSettled();
    this.arm();
  }

  arm() {
    this.stopWaking();
    if (this.clockOrigin === null || this.pausedSince !== null) return;
    const deadline = this.module._shiori_next_deadline();
    if (deadline < 0) return;
    // Never early: a wake-up before the deadline would find nothing due and only arm again.
    const wait = Math.max(0, Math.ceil(deadline - this.now()));
    this.wakeTimer = setTimeout(() => {
      this.wakeTimer = null;
      this.call('shiori_advance', [], []);
    }, wait);
  }

  stopWaking() {
    if (this.wakeTimer !== null) clearTimeout(this.wakeTimer);
    this.wakeTimer = null;
  }

  readFile(path) {
    return this.fs.readFile(path);
  }

  // The save folder's files with their modification times.
  saveFiles() {
    if (!this.saveDir) return [];
    return this.fs
      .readdir(this.saveDir)
      .filter((name) => name !== '.' && name !== '..')
      .map((name) => ({ name, path: `${this.saveDir}/${name}`, time: this.fs.stat(`${this.saveDir}/${name}`).mtime.getTime() }))
      .filter((file) => this.fs.isFile(this.fs.stat(file.path).mode));
  }
}

// The clock stands still while the reader answers.
function wrapAsk(services) {
  const wrapped = { ...services };
  wrapped.ask = async (text, title) => {
    wrapped.pause(true);
    try {
      return await services.ask(text, title);
    } finally {
      wrapped.pause(false);
    }
  };
  return wrapped;
}

function removeTree(fs, path) {
  if (!fs.analyzePath(path).exists) return;
  for (const name of fs.readdir(path)) {
    if (name === '.' || name === '..') continue;
    const child = `${path}/${name}`;
    if (fs.isDir(fs.stat(child).mode)) removeTree(fs, child);
    else fs.unlink(child);
  }
  fs.rmdir(path);
}

// `files`: Map of relative path -> bytes.
function writeTree(fs, root, files) {
  fs.mkdirTree(root);
  for (const [relative, bytes] of files) {
    const path = `${root}/${relative}`;
    fs.mkdirTree(path.slice(0, path.lastIndexOf('/')));
    fs.writeFile(path, bytes);
  }
}
