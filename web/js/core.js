// The core in WebAssembly and its clock. Every call into the core brings its scheduler up to the page's time; one
// timer wakes it at its next deadline, and nothing else runs: an idle page uses no processor. The clock starts
// with the first frame, so that nothing the title starts delays its drawing, and stands still while a question
// waits for the reader, as on the desktop.
import createShioriCore from '../shiori-web.mjs';

// The game folder is writable here, so it is also the save folder, as on a desktop where the game folder is
// writable: a game that ships its settings files uses them, and the saves lie beside the scenario.
const GAME_ROOT = '/game';

export class Core {
  // `services`: play(file), stop(), volume(0 .. 1), warn(message), ask(text, title, defaultYes) -> Promise<boolean>.
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
    this.queue = Promise.resolve();
    this.wakeTimer = null;
    this.onSettled = () => {}; // after every call: the page redraws and saves what changed
    module.services.pause = (paused) => this.pauseClock(paused);
    // Where the core's saves are kept before it hears they are saved: keep(path, bytes) -> Promise, kept(path).
    this.keeper = { keep: () => Promise.resolve(), kept: () => {} };
    module.services.keep = (path, bytes) => this.keeper.keep(path, bytes);
    module.services.kept = (path) => this.keeper.kept(path);
  }

  // Replaces the game in the page's file system with `game` (GameFiles) and its saves (Map: name -> bytes), which
  // take the place of any file of the same name whatever its case, and starts it with the reader's `preferences`
  // (the preferences file's text). `laidOut()` runs once the files are in place, before the game starts. Resolves
  // to "" or the core's message naming the problem.
  open(game, saves, preferences, laidOut) {
    return this.enqueue(() => this.start(game, saves, preferences, laidOut));
  }

  async start(game, saves, preferences, laidOut) {
    this.stopWaking();
    this.clockOrigin = null;
    this.pausedTotal = 0;
    removeTree(this.fs, GAME_ROOT);
    const saved = new Set([...saves.keys()].map((name) => name.toLowerCase()));
    const files = [...game.files].filter(([path]) => !saved.has(path.toLowerCase()));
    writeTree(this.fs, GAME_ROOT, [...files, ...saves]);
    this.saveDir = GAME_ROOT;
    laidOut();
    const problem = await this.module.ccall(
      'shiori_open', 'string', ['string', 'string', 'string'], [GAME_ROOT, GAME_ROOT, preferences], { async: true });
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

  // A screen of the page's own (the preferences) holds the story's clock while it is open. A call in progress
  // arms the timer again when it settles.
  holdClock(held) {
    this.pauseClock(held);
    if (!held && !this.busy) this.arm();
  }

  // Input. Each resolves once the core has finished with it, questions answered.
  pressAt(x, y, button) {
    return this.call('shiori_press_at', ['number', 'number', 'number'], [x, y, button]);
  }
  // A key by its name: "enter", "space", "escape", "pageup", "pagedown", "up", "down", "left", "right", "tab",
  // "delete", "a", "h", "1" .. "4".
  key(name) {
    return this.call('shiori_key', ['string'], [name]);
  }
  // Wheel notches, up negative.
  wheel(notches) {
    return this.call('shiori_wheel', ['number'], [notches]);
  }
  holdCtrl(held) {
    return this.call('shiori_hold_ctrl', ['number'], [held ? 1 : 0]);
  }
  // The pointer over a stage point, or off the stage (no arguments).
  hover(x = -1, y = -1) {
    return this.call('shiori_hover', ['number', 'number'], [x, y]);
  }
  choose(menuName) {
    return this.call('shiori_choose', ['string'], [menuName]);
  }
  close() {
    return this.call('shiori_close', [], []);
  }
  // The reading menu: "history", "hide", "auto" or "skip" (with `on`).
  comfort(name, on = false) {
    return this.call('shiori_comfort', ['string', 'number'], [name, on ? 1 : 0]);
  }
  // A short message on the stage.
  notice(text) {
    return this.call('shiori_notice', ['string'], [text]);
  }
  // Sets one preference by its name in the preferences file, at once. Resolves to "" or the problem.
  setPreference(name, value) {
    return this.call('shiori_set_preference', ['string', 'string'], [name, String(value)], 'string');
  }
  // The preferences file's text, as the page keeps it, once every call before has finished.
  preferences() {
    return this.enqueue(() => this.module.UTF8ToString(this.module._shiori_preferences()));
  }

  changes() {
    return this.module._shiori_changes();
  }
  ended() {
    return this.module._shiori_ended() !== 0;
  }
  // The window model: the members of the headless driver's dump (layers, widgets, menus, state ...) and the
  // comforts' overlay. Read it only between calls (`busy` false): while a question waits, the core is suspended
  // mid-call, and its model is half-way through a change.
  snapshot() {
    return JSON.parse(this.module.UTF8ToString(this.module._shiori_snapshot()));
  }
  // The window model once every call before has finished.
  settledSnapshot() {
    return this.enqueue(() => this.snapshot());
  }
  menuTree() {
    return JSON.parse(this.module.UTF8ToString(this.module._shiori_menu_tree()));
  }

  // Calls follow each other: one that arrives while a question waits for its answer runs after it, as input
  // waits behind a modal box on the desktop (the dialog itself keeps the reader's presses off the stage).
  call(name, types, args, returns = null) {
    return this.enqueue(async () => {
      const result = await this.module.ccall(name, returns, ['number', ...types], [this.now(), ...args], { async: true });
      this.settle();
      return result;
    });
  }

  // Runs `work` (which calls into the core) after every call before it has finished.
  enqueue(work) {
    const run = async () => {
      this.busy = true;
      try {
        return await work();
      } finally {
        this.busy = false;
      }
    };
    const result = this.queue.then(run, run);
    this.queue = result.catch(() => {});
    return result;
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

  // The files of the save folder that `wanted(name)` picks, each with a version that moves whenever the file is
  // written.
  saveFiles(wanted) {
    if (!this.saveDir) return [];
    return this.fs
      .readdir(this.saveDir)
      .filter(wanted)
      .map((name) => {
        const path = `${this.saveDir}/${name}`;
        const stat = this.fs.stat(path);
        return { name, path, version: `${stat.mtime.getTime()}:${stat.size}` };
      });
  }
}

// The clock stands still while the reader answers.
function wrapAsk(services) {
  const wrapped = { ...services };
  wrapped.ask = async (text, title, defaultYes) => {
    wrapped.pause(true);
    try {
      return await services.ask(text, title, defaultYes);
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

// `files`: [relative path, bytes] pairs.
function writeTree(fs, root, files) {
  fs.mkdirTree(root);
  for (const [relative, bytes] of files) {
    const path = `${root}/${relative}`;
    fs.mkdirTree(path.slice(0, path.lastIndexOf('/')));
    fs.writeFile(path, bytes, { canOwn: true }); // the file system keeps the bytes, not a copy
  }
}
