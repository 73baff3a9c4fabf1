// The saves of each game in the browser's persistent storage (IndexedDB). After every call into the core the page
// hands over the save files that changed; they are stored in one transaction, so the storage holds either all of
// them or none, and "saved" is said only once it holds them.
import { complete, openDatabase, request } from './database.js';
import { t } from './words.js';

const STORE = 'saves';
// The files a desktop player keeps in the save folder: bookmarks, the read-page record, the settings.
export const SAVE_FILES = ['data2.rgd', 'data3.rgd', 'data4.rgd', 'data5.rgd', 'conf.rgd', 'conf2.rgd'];
export const BOOKMARKS = new Set(['data2.rgd', 'data3.rgd', 'data4.rgd']);

export function isSaveFile(name) {
  return SAVE_FILES.includes(name.toLowerCase());
}

export class SaveStore {
  static async open() {
    return new SaveStore(await openDatabase());
  }

  constructor(db) {
    this.db = db;
  }

  // Map: file name -> bytes, of one game.
  async load(game) {
    const store = this.db.transaction(STORE).objectStore(STORE);
    const range = IDBKeyRange.bound([game, ''], [game, '\uffff']);
    const [keys, values] = await Promise.all([request(store.getAllKeys(range)), request(store.getAll(range))]);
    return new Map(keys.map((key, i) => [key[1], values[i]]));
  }

  // Stores every file of `files` (Map: name -> bytes) for `game`, all or none. The first save asks the browser
  // to keep the site's storage when space runs low (it may ask the reader, or decide alone).
  async store(game, files) {
    await complete(this.db.transaction(STORE, 'readwrite'), (transaction) => {
      const store = transaction.objectStore(STORE);
      for (const [name, bytes] of files) store.put(bytes, [game, name]);
    });
    if (!this.persistAsked) navigator.storage?.persist?.().catch(() => false);
    this.persistAsked = true;
  }
}

// Keeps the core's save files in the storage. A save written whole (a bookmark, the settings) is stored before
// the core's replacement of the file completes (`keep`), so the core reports it saved only once the storage holds
// it; the read-page record, which the core changes in place, is stored after the call that changed it (`sync`).
export class SaveSync {
  constructor(store, core, notify, bookmarked = () => {}) {
    this.store = store;
    this.core = core;
    this.notify = notify; // (message, isError)
    this.bookmarked = bookmarked; // (game, [bookmark file names]) once they are stored
    this.game = null;
    this.stored = new Map(); // name -> version the storage holds
    this.writing = Promise.resolve();
  }

  begin(game) {
    this.game = game;
    this.stored = new Map();
    // What the game folder holds now is either in the storage already or shipped with the game.
    for (const file of this.core.saveFiles(isSaveFile)) this.stored.set(file.name, file.version);
  }

  // The core replaces `path` with `bytes`: resolves once the storage holds them, rejects when it refuses.
  keep(path, bytes) {
    const name = path.slice(path.lastIndexOf('/') + 1).toLowerCase();
    if (!this.game || !isSaveFile(name) || path.slice(0, path.lastIndexOf('/')) !== this.core.saveDir) {
      return Promise.resolve();
    }
    const stored = this.write(this.game, new Map([[name, bytes]]), [name]);
    this.writing = stored.catch(() => {});
    return stored;
  }

  // The replacement is done: the file as it is now is the one the storage holds.
  kept(path) {
    const name = path.slice(path.lastIndexOf('/') + 1);
    for (const file of this.core.saveFiles((n) => n === name)) this.stored.set(file.name, file.version);
  }

  // Stores the files that changed since they were last stored. Writes follow each other in order.
  sync() {
    if (!this.game) return this.writing;
    const changed = this.core.saveFiles(isSaveFile).filter((f) => this.stored.get(f.name) !== f.version);
    if (!changed.length) return this.writing;
    const files = new Map(changed.map((f) => [f.name.toLowerCase(), this.core.readFile(f.path)]));
    for (const f of changed) this.stored.set(f.name, f.version);
    this.writing = this.write(this.game, files, changed.map((f) => f.name)).catch(() => {});
    return this.writing;
  }

  // One transaction after the writes before it; says "saved" for a bookmark once it is held. On a refusal, the
  // files named count as not stored, so the next change tries them again.
  write(game, files, names) {
    return this.writing.then(async () => {
      try {
        await this.store.store(game, files);
      } catch (error) {
        for (const name of names) this.stored.delete(name);
        this.notify(t('saves.refused', { reason: reason(error) }), true);
        throw error;
      }
      const bookmarks = [...files.keys()].filter((name) => BOOKMARKS.has(name));
      if (!bookmarks.length) return;
      this.notify('セーブしました', false);
      this.bookmarked(game, bookmarks);
    });
  }
}

export function reason(error) {
  if (error?.name === 'QuotaExceededError') return t('saves.quota');
  return error?.message || String(error);
}
