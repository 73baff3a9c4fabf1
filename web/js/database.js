// The page's one IndexedDB database: the saves of every game, the games of the library and what the library shows
// of each. Version 2 added the library's stores beside the saves, which stay as they were.
const NAME = 'shiori';
const VERSION = 2;
const STORES = ['saves', 'games', 'library'];

export function openDatabase() {
  const opening = indexedDB.open(NAME, VERSION);
  opening.onupgradeneeded = () => {
    for (const store of STORES) if (!opening.result.objectStoreNames.contains(store)) opening.result.createObjectStore(store);
  };
  return request(opening);
}

export function request(req) {
  return new Promise((resolve, reject) => {
    req.onsuccess = () => resolve(req.result);
    req.onerror = () => reject(req.error);
  });
}

// Runs `work(transaction)`; resolves once the storage holds all of it, rejects when it refused any of it.
export function complete(transaction, work) {
  return new Promise((resolve, reject) => {
    transaction.oncomplete = () => resolve();
    transaction.onabort = transaction.onerror = () => reject(transaction.error ?? new Error('the storage refused'));
    try {
      work(transaction);
    } catch (error) {
      transaction.abort();
      reject(error);
    }
  });
}
