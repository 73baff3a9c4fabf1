// The saves of each game in the browser's persistent storage (IndexedDB). After every call into the core the page
// hands over the save files that changed; they are stored in one transaction, so the storage holds either all of
// them or none, and "saved" is said only once it holds them.
const DATABASE = 'shiori';
const STORE = 'saves';
// The files a desktop player keeps in the save folder: bookmarks, the read-page record, the settings.
export const SAVE_FILES = ['data2.rgd', 'data3.rgd', 'data4.rgd', 'data5.rgd', 'conf.rgd', 'conf2.rgd'];
const BOOKMARKS = new Set(['data2.rgd', 'data3.rgd', 'data4.rgd']);

export function isSaveFile(name) {
  return SAVE_FILES.includes(name.toLowerCase());
}

export class SaveStore {
  static async open() {
    const db = await request(
      Object.assign(indexedDB.open(DATABASE, 1), {
        onupgradeneeded: (event) => event.target.result.createObjectStore(STORE),
      }),
    );
    navigator.storage?.persist?.();
    return new SaveStore(db);
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

  // Stores every file of `files` (Map: name -> bytes) for `game`, all or none.
  store(game, files) {
    return new Promise((resolve, reject) => {
      let transaction;
      try {
        transaction = this.db.transaction(STORE, 'readwrite');
        const store = transaction.objectStore(STORE);
        for (const [name, bytes] of files) store.put(bytes, [game, name]);
      } catch (error) {
        transaction?.abort();
        reject(error);
        return;
      }
      transaction.oncomplete = () => resolve();
      transaction.onabort = transaction.onerror = () => reject(transaction.error ?? new Error('the storage refused'));
    });
  }
}

// Watches the core's save folder and stores what changed. `core.saveFiles()` lists the folder with times.
export class SaveSync {
  constructor(store, core, notify) {
    this.store = store;
    this.core = core;
    this.notify = notify; // (message, isError)
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

  // Stores the files that changed since they were last stored. Writes follow each other in order.
  sync() {
    if (!this.game) return this.writing;
    const changed = this.core.saveFiles(isSaveFile).filter((f) => this.stored.get(f.name) !== f.version);
    if (!changed.length) return this.writing;
    const files = new Map(changed.map((f) => [f.name.toLowerCase(), this.core.readFile(f.path)]));
    const game = this.game;
    for (const f of changed) this.stored.set(f.name, f.version);
    this.writing = this.writing.then(async () => {
      try {
        await this.store.store(game, files);
        if (changed.some((f) => BOOKMARKS.has(f.name))) this.notify('セーブしました', false);
      } catch (error) {
        // Not held: the next change tries these files again.
        for (const f of changed) this.stored.delete(f.name);
        this.notify(`セーブできませんでした: ${reason(error)}`, true);
      }
    });
    return this.writing;
  }
}

function reason(error) {
  if (error?.name === 'QuotaExceededError') return 'the browser has no room left for this site (storage quota exceeded)';
  return error?.message || String(error);
}

function request(req) {
  return new Promise((resolve, reject) => {
    req.onsuccess = () => resolve(req.result);
    req.onerror = () => reject(req.error);
  });
}
