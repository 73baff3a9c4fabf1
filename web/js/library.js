// Every game the reader opened, kept in the browser's storage (IndexedDB, beside the saves) so that it opens again
// with one click after a reload or a browser restart, and the library screen that lists them: the title screen as
// last seen, the name, when it was last played and when each bookmark was saved. The demo comes with the site and is
// always listed; its files are never stored.
import { complete, request } from './database.js';
import { GameFiles } from './gamefiles.js';
import { language, showWords, t } from './words.js';

export const DEMO = 'demo';
const GAMES = 'games'; // name -> Map of the game's files
const INFO = 'library'; // name -> { name, lastPlayed, bookmarks: {file: time}, picture: Blob }
const THUMBNAIL = [160, 100];

export class Library {
  constructor(db) {
    this.db = db;
  }

  // Keeps the files of `game`, which the reader has just opened. Rejects when the storage refuses.
  async keep(game) {
    await this.update(game.name, (info) => info, [[GAMES, game.name, game.files]]);
  }

  // The game of that name as it was kept, or null.
  async game(name) {
    const files = await request(this.db.transaction(GAMES).objectStore(GAMES).get(name));
    return files ? new GameFiles(name, files) : null;
  }

  async played(name) {
    await this.update(name, (info) => ({ ...info, lastPlayed: Date.now() }));
  }

  // The reader saved to these bookmark files of the game now.
  async bookmarked(name, files) {
    const now = Date.now();
    await this.update(name, (info) => ({ ...info, bookmarks: { ...info.bookmarks, ...Object.fromEntries(files.map((f) => [f, now])) } }));
  }

  // A small picture of the stage as it is now (the game's title screen), unless the game has one.
  async picture(name, canvas) {
    const info = await request(this.db.transaction(INFO).objectStore(INFO).get(name));
    if (info?.picture) return;
    const small = new OffscreenCanvas(...THUMBNAIL);
    small.getContext('2d').drawImage(canvas, 0, 0, ...THUMBNAIL);
    const picture = await small.convertToBlob({ type: 'image/png' });
    await this.update(name, (kept) => ({ ...kept, picture }));
  }

  // Every game kept, the demo first, then the last played first.
  async list() {
    const infos = await request(this.db.transaction(INFO).objectStore(INFO).getAll());
    const demo = infos.find((info) => info.name === DEMO) ?? blank(DEMO);
    const others = infos.filter((info) => info.name !== DEMO).sort((a, b) => (b.lastPlayed ?? 0) - (a.lastPlayed ?? 0));
    return [demo, ...others];
  }

  // Removes the game from the library; with `saves`, its saves as well, in the same transaction.
  remove(name, saves) {
    const stores = saves ? [GAMES, INFO, 'saves'] : [GAMES, INFO];
    return complete(this.db.transaction(stores, 'readwrite'), (tx) => {
      tx.objectStore(GAMES).delete(name);
      tx.objectStore(INFO).delete(name);
      if (saves) tx.objectStore('saves').delete(IDBKeyRange.bound([name, ''], [name, '\uffff']));
    });
  }

  // Changes the game's entry by `change(info)`, with `puts` ([store, key, value]) in the same transaction.
  update(name, change, puts = []) {
    return complete(this.db.transaction([INFO, ...new Set(puts.map(([store]) => store))], 'readwrite'), (tx) => {
      const info = tx.objectStore(INFO);
      info.get(name).onsuccess = (event) => info.put(change(event.target.result ?? blank(name)), name);
      for (const [store, key, value] of puts) tx.objectStore(store).put(value, key);
    });
  }
}

function blank(name) {
  return { name, lastPlayed: null, bookmarks: {}, picture: null };
}

// The library screen. `open(name)` opens a kept game (or the demo); `remove(name, saves)` removes one.
export class LibraryScreen {
  constructor(dialog, confirmDialog, library, { open }) {
    this.dialog = dialog;
    this.confirm = confirmDialog;
    this.library = library;
    this.openGame = open;
    this.urls = [];
    dialog.querySelector('.close').addEventListener('click', () => dialog.close());
    dialog.addEventListener('close', () => this.forgetPictures());
  }

  async show() {
    showWords(this.dialog);
    await this.fill();
    if (!this.dialog.open) this.dialog.showModal();
  }

  async fill() {
    const list = this.dialog.querySelector('.games');
    this.forgetPictures();
    const games = this.library ? await this.library.list() : [blank(DEMO)];
    list.replaceChildren(...games.map((info) => this.entry(info)));
    this.dialog.querySelector('.storage').textContent = await storageWords();
  }

  entry(info) {
    const item = document.createElement('li');
    item.className = 'game';
    item.dataset.name = info.name;
    const picture = document.createElement('img');
    picture.alt = '';
    if (info.picture) picture.src = this.pictureUrl(info.picture);
    const name = document.createElement('h3');
    name.textContent = info.name === DEMO ? t('library.demo') : info.name;
    const dates = document.createElement('p');
    dates.className = 'dates';
    dates.textContent = datesWords(info);
    const play = button(t('library.play'), 'play', () => {
      this.dialog.close();
      this.openGame(info.name);
    });
    play.setAttribute('aria-label', `${t('library.play')}: ${name.textContent}`);
    const buttons = document.createElement('div');
    buttons.className = 'buttons';
    buttons.append(play);
    if (info.name !== DEMO) {
      const remove = button(t('library.remove'), 'remove', () => this.askRemove(info.name));
      remove.setAttribute('aria-label', `${t('library.remove')} ${info.name}`);
      buttons.append(remove);
    }
    item.append(picture, name, dates, buttons);
    return item;
  }

  pictureUrl(blob) {
    const url = URL.createObjectURL(blob);
    this.urls.push(url);
    return url;
  }

  forgetPictures() {
    for (const url of this.urls) URL.revokeObjectURL(url);
    this.urls = [];
  }

  // Asks before removing, saying whether the saves go too.
  askRemove(name) {
    const dialog = this.confirm;
    showWords(dialog);
    dialog.querySelector('.text').textContent = t('remove.text', { game: name });
    const alsoSaves = dialog.querySelector('[name=saves]');
    const consequence = dialog.querySelector('.consequence');
    const explain = () => (consequence.textContent = t(alsoSaves.checked ? 'remove.losesSaves' : 'remove.keepsSaves'));
    alsoSaves.checked = false;
    alsoSaves.onchange = explain;
    explain();
    dialog.returnValue = '';
    dialog.onclose = async () => {
      if (dialog.returnValue !== 'remove') return;
      await this.library.remove(name, alsoSaves.checked);
      await this.fill();
    };
    dialog.showModal();
    dialog.querySelector('.no').focus();
  }
}

function button(text, className, onClick) {
  const element = document.createElement('button');
  element.type = 'button';
  element.className = className;
  element.textContent = text;
  element.addEventListener('click', onClick);
  return element;
}

const when = (time) => new Date(time).toLocaleString(language(), { dateStyle: 'medium', timeStyle: 'short' });

function datesWords(info) {
  const lines = [];
  if (info.lastPlayed) lines.push(t('library.lastPlayed', { date: when(info.lastPlayed) }));
  const bookmarks = Object.entries(info.bookmarks ?? {}).sort(([a], [b]) => a.localeCompare(b));
  lines.push(bookmarks.length ? t('library.bookmarks', { dates: bookmarks.map(([, time]) => when(time)).join(' / ') }) : t('library.noBookmarks'));
  return lines.join('\n');
}

// How much of the browser's storage the site uses, and whether the browser may clear it.
async function storageWords() {
  const storage = navigator.storage;
  if (!storage?.estimate) return '';
  const [{ usage = 0, quota = 0 }, persisted] = await Promise.all([storage.estimate(), storage.persisted?.() ?? false]);
  const mb = (bytes) => (bytes / 1048576).toFixed(1);
  return `${t('library.usage', { used: mb(usage), quota: mb(quota) })}\n${t(persisted ? 'library.persisted' : 'library.evictable')}`;
}
