// A game as the page receives it: from the packed demo, a folder the reader picks or drops, or a .zip. Each
// source becomes one list of files; the game is the folder in it that holds the scenario, found whatever the
// case of its names, as on the desktop. A zip is checked and unpacked in a worker (unzip-worker.js), apart from
// the game that plays, which nothing here touches.
import { unpackEntries } from './unpack.js';
import { safePath, ZipRefused } from './ziplist.js';
import { hasWords, t } from './words.js';

const SCENARIO = 'data1.rgd';

// A game ready to load: its name (for its saves) and its files, by path relative to the game folder.
export class GameFiles {
  constructor(name, files) {
    this.name = name;
    this.files = files; // Map: relative path (original case) -> Uint8Array
  }
}

// Why a source is not a game, in words the reader can act on.
export class NotAGame extends Error {}

// The reader stopped the opening.
export class OpeningCancelled extends Error {}

// `entries`: [path, bytes] with '/' between folders; `sourceName`: the folder or file the reader chose.
export function findGame(entries, sourceName) {
  entries = entries.map(([path, bytes]) => [checkedPath(path, sourceName), bytes]);
  const scenario = entries
    .map(([path]) => path)
    .filter((path) => baseName(path).toLowerCase() === SCENARIO)
    .sort((a, b) => a.split('/').length - b.split('/').length)[0];
  if (scenario === undefined) throw new NotAGame(missingMessage(entries, sourceName));
  const root = scenario.slice(0, scenario.length - SCENARIO.length);
  const files = new Map();
  for (const [path, bytes] of entries) {
    if (path.startsWith(root)) files.set(path.slice(root.length), bytes);
  }
  return new GameFiles(gameName(root ? baseName(root.slice(0, -1)) : sourceName.replace(/\.zip$/i, '')), files);
}

function checkedPath(path, sourceName) {
  try {
    return safePath(path);
  } catch (error) {
    throw error instanceof ZipRefused ? zipRefusal(error, sourceName) : error;
  }
}

// The name the game's saves and library entry go by: never empty, never a path of its own.
export function gameName(name) {
  const cleaned = name.replace(/[\0-\x1f/\\]/g, '').trim();
  return cleaned === '' || /^\.+$/.test(cleaned) ? 'game' : cleaned;
}

function baseName(path) {
  return path.slice(path.lastIndexOf('/') + 1);
}

function missingMessage(entries, sourceName) {
  const folders = new Set(entries.flatMap(([path]) => path.toLowerCase().split('/').slice(0, -1)));
  const missing = [t('open.missingScenario')];
  if (!folders.has('data')) missing.push(t('open.missingData'));
  return t('open.notAGame', { source: sourceName, missing: missing.join(t('open.and')) });
}

function zipRefusal({ reason, values, entry }, source) {
  if (reason === 'zip.notZip') return new NotAGame(t('open.notZip', { source, reason: t(reason) }));
  const why = hasWords(reason) ? t(reason, values) : reason;
  return new NotAGame(entry ? t('open.refusedEntry', { source, entry, reason: why }) : t('open.refused', { source, reason: why }));
}

// Unpacks `bytes` (a zip; given up to the worker) in a worker into [path, bytes] pairs, every path checked.
// `onProgress(share)` hears how far it got; `signal` (an AbortSignal) stops it, rejecting with OpeningCancelled.
export function unpackZip(bytes, sourceName, { onProgress = () => {}, signal } = {}) {
  return new Promise((resolve, reject) => {
    const worker = new Worker(new URL('./unzip-worker.js', import.meta.url), { type: 'module' });
    const finish = (settle, value) => {
      worker.terminate();
      signal?.removeEventListener('abort', cancel);
      settle(value);
    };
    const cancel = () => finish(reject, new OpeningCancelled(t('open.cancelled', { source: sourceName })));
    signal?.addEventListener('abort', cancel);
    worker.onerror = (event) => finish(reject, new Error(event.message || 'the unpacking worker failed'));
    worker.onmessage = ({ data }) => {
      if (data.progress !== undefined) onProgress(data.progress);
      else if (data.refused) finish(reject, zipRefusal(data.refused, sourceName));
      else finish(resolve, data.files);
    };
    worker.postMessage({ bytes }, [bytes.buffer]);
  });
}

export async function fromZip(bytes, sourceName, options) {
  return findGame(await unpackZip(bytes, sourceName, options), sourceName);
}

// The site's own demo, small and trusted, is unpacked by the same code on the page's thread: a worker's start
// would cost the title more than the unpacking itself.
export function fromSiteZip(bytes, sourceName) {
  try {
    return findGame(unpackEntries(bytes), sourceName);
  } catch (error) {
    throw error instanceof ZipRefused ? zipRefusal(error, sourceName) : error;
  }
}

const isZipName = (name) => /\.zip$/i.test(name);

// The files of an <input webkitdirectory>: each knows its path below the chosen folder.
export async function fromFileList(fileList, options) {
  const files = [...fileList];
  if (files.length === 1 && isZipName(files[0].name)) {
    return fromZip(new Uint8Array(await files[0].arrayBuffer()), files[0].name, options);
  }
  const entries = await Promise.all(
    files.map(async (file) => [file.webkitRelativePath || file.name, new Uint8Array(await file.arrayBuffer())]),
  );
  const top = entries.length ? entries[0][0].split('/')[0] : 'folder';
  return findGame(entries, top);
}

// A drop: one folder (read through its entries) or one .zip file.
export async function fromDrop(dataTransfer, options) {
  const item = [...dataTransfer.items].find((i) => i.kind === 'file');
  const entry = item?.webkitGetAsEntry?.();
  if (entry?.isDirectory) return findGame(await readDirectory(entry, entry.name), entry.name);
  const file = item?.getAsFile();
  if (!file) throw new NotAGame(t('open.dropHere'));
  if (!isZipName(file.name)) throw new NotAGame(t('open.neither', { source: file.name }));
  return fromZip(new Uint8Array(await file.arrayBuffer()), file.name, options);
}

async function readDirectory(directory, prefix) {
  const children = await new Promise((resolve, reject) => {
    const reader = directory.createReader();
    const all = [];
    const next = () =>
      reader.readEntries((batch) => (batch.length ? (all.push(...batch), next()) : resolve(all)), reject);
    next();
  });
  const nested = await Promise.all(
    children.map(async (child) => {
      const path = `${prefix}/${child.name}`;
      if (child.isDirectory) return readDirectory(child, path);
      const file = await new Promise((resolve, reject) => child.file(resolve, reject));
      return [[path, new Uint8Array(await file.arrayBuffer())]];
    }),
  );
  return nested.flat();
}
