// The core in WebAssembly. The core keeps the story's clock (it starts with the first frame and stands still while
// a question waits) on the browser's own clock; the page sets one timer to the core's next wake-up, and nothing
// else runs: an idle page uses no processor.
import createShioriCore from '../shiori-web.mjs';

// The game folder is writable here, so it is also the save folder, as on a desktop where the game folder is
// writable: a game that ships its settings files uses them, and the saves lie beside the scenario.
const GAME_ROOT = '/game';
const OPENING = '/opening'; // a game being opened, until it has started
const PREVIOUS = '/previous'; // the game playing, while another one starts

export class Core {
  // `services`: play(file), stop(), volume(0 .. 1), warn(message), ask(text, title, defaultYes) -> Promise<boolean>,
  // say(text, rate (1: the voice's own speed), voice name), hush().
  static async load(services) {
    const module = await createShioriCore({ services: { ...services } });
    return new Core(module);
  }

  constructor(module) {
    this.module = module;
    this.fs = module.FS;
    this.clockStarted = false;
    this.busy = false; // a call is in progress (a question may be waiting for its answer)
    this.queue = Promise.resolve();
    this.wakeTimer = null;
    this.onSettled = () => {}; // after every call: the page redraws and saves what changed
    // Where the core's saves are kept before it hears they are saved: keep(path, bytes) -> Promise, kept(path).
    this.keeper = { keep: () => Promise.resolve(), kept: () => {} };
    module.services.keep = (path, bytes) => this.keeper.keep(path, bytes);
    module.services.kept = (path) => this.keeper.kept(path);
    // Every write to a file of the page's file system passes here: the page looks at the save files only after
    // one, not after every call (a typed character writes nothing).
    this.wrote = false;
    const write = this.fs.write;
    this.fs.write = (...args) => {
      this.wrote = true;
      return write.apply(this.fs, args);
    };
  }

  // Whether a file was written since this was last asked.
  takeWrites() {
    const wrote = this.wrote;
    this.wrote = false;
    return wrote;
  }

  // Opens `game` (GameFiles) with its saves (Map: name -> bytes), which take the place of any file of the same
  // name whatever its case, and the reader's `preferences` (the preferences file's text). All or nothing: the new
  // game is laid out apart, and takes the place of the one playing only once it has started; else the old one plays
  // on with its files as they were. `opened()` runs once the new game's files are in place, before anything it
  // wrote is looked at. Resolves to "" or the core's message naming the problem.
  open(game, saves, preferences, opened) {
    return this.enqueue(() => this.start(game, saves, preferences, opened));
  }

  async start(game, saves, preferences, opened) {
    const saved = new Set([...saves.keys()].map((name) => name.toLowerCase()));
    const files = [...game.files].filter(([path]) => !saved.has(path.toLowerCase()));
    removeTree(this.fs, OPENING);
    writeTree(this.fs, OPENING, [...files, ...saves]);
    // The core keeps its game folder's path: the new game is started under the same one, and the old one's files
    // step aside meanwhile.
    const playing = this.fs.analyzePath(GAME_ROOT).exists;
    if (playing) this.fs.rename(GAME_ROOT, PREVIOUS);
    this.fs.rename(OPENING, GAME_ROOT);
    const problem = await this.module.ccall(
      'shiori_open', 'string', ['string', 'string', 'string'], [GAME_ROOT, GAME_ROOT, preferences], { async: true });
    if (problem) {
      this.fs.rename(GAME_ROOT, OPENING);
      if (playing) this.fs.rename(PREVIOUS, GAME_ROOT);
      removeTree(this.fs, OPENING);
      return problem;
    }
    removeTree(this.fs, PREVIOUS);
    this.stopWaking();
    this.clockStarted = false;
    this.saveDir = GAME_ROOT;
    opened();
    this.settle();
    return '';
  }

  // Whether `bytes` make a save file of the kind `name` says: "" or the problem, naming the file.
  checkSave(name, bytes) {
    return this.enqueue(() =>
      this.module.ccall('shiori_check_save', 'string', ['string', 'array', 'number'], [name, bytes, bytes.length]));
  }

  // The keys beyond the menus' shortcuts: [{keys, action}].
  keysHelp() {
    return this.enqueue(() => JSON.parse(this.module.ccall('shiori_keys_help', 'string', [], [])));
  }

  // The page has drawn its first frame: the story's clock starts now.
  startClock() {
    if (this.clockStarted) return;
    this.clockStarted = true;
    this.call('shiori_first_frame');
  }

  // A screen of the page's own (the preferences) holds the story's clock while it is open.
  holdClock(held) {
    return this.call('shiori_pause_clock', ['number'], [held ? 1 : 0]);
  }

  // Input. Each resolves once the core has finished with it, questions answered.
  press(x, y, button) {
    return this.call('shiori_press', ['number', 'number', 'number'], [x, y, button]);
  }
  // The pointer over a stage point, or off the stage (no arguments).
  hover(x = -1, y = -1) {
    return this.call('shiori_hover', ['number', 'number'], [x, y]);
  }
  // A finger's tap on a stage point: the core decides what it does (it closes the open history).
  tap(x, y) {
    return this.call('shiori_tap', ['number', 'number'], [x, y]);
  }
  // Wheel notches, up negative.
  wheel(notches) {
    return this.call('shiori_wheel', ['number'], [notches]);
  }
  // A key by the browser's name for it, with the modifiers of `event`; resolves to what the page should do
  // besides: "none", "unused", "full-screen", "screenshot" or "copy-page-text".
  keyDown(event) {
    const { key, ctrlKey, altKey, shiftKey, repeat } = event;
    const flags = [ctrlKey, altKey, shiftKey, repeat].map(Number);
    return this.call('shiori_key_down', ['string', 'number', 'number', 'number', 'number'], [key, ...flags], 'string');
  }
  keyUp(key) {
    return this.call('shiori_key_up', ['string'], [key]);
  }
  keysLost() {
    return this.call('shiori_keys_lost');
  }
  // A menu bar entry by its name; resolves to what the page should do besides: "none" or "preferences".
  choose(name) {
    return this.call('shiori_choose', ['string'], [name], 'string');
  }
  // A short message on the stage.
  notice(text) {
    return this.call('shiori_notice', ['string'], [text]);
  }
  // Sets one preference by its name in the preferences file, at once. Resolves to "" or the problem.
  setPreference(name, value) {
    return this.call('shiori_set_preference', ['string', 'string'], [name, String(value)], 'string');
  }
  // Whether the browser has a Japanese voice to read with.
  voicesFound(japanese) {
    return this.call('shiori_voices_found', ['number'], [japanese ? 1 : 0]);
  }
  // The preferences file's text, as the page keeps it, once every call before has finished.
  preferences() {
    return this.enqueue(() => this.module.UTF8ToString(this.module._shiori_preferences()));
  }

  // What the page reads between calls (`busy` false): while a question waits, the core is suspended mid-call and
  // its model is half-way through a change.
  changes() {
    return this.module._shiori_changes();
  }
  ended() {
    return this.module._shiori_ended() !== 0;
  }
  menuChanges() {
    return this.module._shiori_menu_changes();
  }
  menuBar() {
    return JSON.parse(this.module.UTF8ToString(this.module._shiori_menu_bar()));
  }
  pageText() {
    return this.module.UTF8ToString(this.module._shiori_page_text());
  }
  // The story's text offered since this was last asked, in order: [{kind, text, copy, at_ms}].
  takeTextOut() {
    return JSON.parse(this.module.UTF8ToString(this.module._shiori_take_text_out()));
  }
  storyInProgress() {
    return this.module._shiori_story_in_progress() !== 0;
  }
  // The window model as the headless driver's `dump` shows it (without its logs of music and questions).
  model() {
    return JSON.parse(this.module.UTF8ToString(this.module._shiori_model()));
  }
  // The window model once every call before has finished.
  settledModel() {
    return this.enqueue(() => this.model());
  }
  // The next frame's words (`whole`: all of the stage), read in place: valid until the next call into the core.
  // Null while no game is open.
  frame(whole) {
    return this.words(this.module._shiori_frame(whole ? 1 : 0));
  }
  // A copy of the whole stage as last drawn, for a screenshot; null while no game is open.
  shownStage() {
    return this.words(this.module._shiori_shown_stage())?.slice() ?? null;
  }
  words(address) {
    return address ? new Uint32Array(this.module.HEAPU8.buffer, address, this.module._shiori_words()) : null;
  }

  // Calls follow each other: one that arrives while a question waits for its answer runs after it, as input
  // waits behind a modal box on the desktop (the dialog itself keeps the reader's presses off the stage).
  call(name, types = [], args = [], returns = null) {
    return this.enqueue(async () => {
      const result = await this.module.ccall(name, returns, types, args, { async: true });
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
    const wakeUp = this.module._shiori_next_wake_up();
    if (wakeUp < 0) return;
    // Never early: a wake-up before the deadline would find nothing due and only arm again.
    this.wakeTimer = setTimeout(() => {
      this.wakeTimer = null;
      this.call('shiori_wake');
    }, Math.max(0, Math.ceil(wakeUp - performance.now())));
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
