// A game as the page receives it: from the packed demo, a folder the reader picks or drops, or a .zip. Each
// source becomes one list of files; the game is the folder in it that holds the scenario, found whatever the
// case of its names, as on the desktop.
import { unzipSync } from '../vendor/fflate.js';

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

// `entries`: [path, bytes] with '/' between folders; `sourceName`: the folder or file the reader chose.
export function findGame(entries, sourceName) {
  const scenario = entries
    .map(([path]) => path)
    .filter((path) => baseName(path).toLowerCase() === SCENARIO)
    .sort((a, b) => a.split('/').length - b.split('/').length)[0];
  if (scenario === undefined) throw new NotAGame(missingMessage(entries, sourceName));
  const root = scenario.slice(0, scenario.length - SCENARIO.length);
  const files = new Map();
  for (const [path, bytes] of entries) {
    if (path.startsWith(root) && !path.endsWith('/')) files.set(path.slice(root.length), bytes);
  }
  const name = root ? baseName(root.slice(0, -1)) : sourceName.replace(/\.zip$/i, '');
  return new GameFiles(name || 'game', files);
}

function baseName(path) {
  return path.slice(path.lastIndexOf('/') + 1);
}

function missingMessage(entries, sourceName) {
  const folders = new Set(entries.flatMap(([path]) => path.toLowerCase().split('/').slice(0, -1)));
  const missing = [`${SCENARIO} (the scenario)`];
  if (!folders.has('data')) missing.push('data/ (pictures and music)');
  return `“${sourceName}” is not a game folder: it has no ${missing.join(' and no ')}.`;
}

export function fromZip(bytes, sourceName) {
  let unpacked;
  try {
    unpacked = unzipSync(bytes);
  } catch (error) {
    throw new NotAGame(`“${sourceName}” cannot be read as a zip file (${error.message}).`);
  }
  return findGame(Object.entries(unpacked), sourceName);
}

// The files of an <input webkitdirectory>: each knows its path below the chosen folder.
export async function fromFileList(fileList) {
  const files = [...fileList];
  if (files.length === 1 && /\.zip$/i.test(files[0].name)) {
    return fromZip(new Uint8Array(await files[0].arrayBuffer()), files[0].name);
  }
  const entries = await Promise.all(
    files.map(async (file) => [file.webkitRelativePath || file.name, new Uint8Array(await file.arrayBuffer())]),
  );
  const top = entries.length ? entries[0][0].split('/')[0] : 'folder';
  return findGame(entries, top);
}

// A drop: one folder (read through its entries) or one .zip file.
export async function fromDrop(dataTransfer) {
  const item = [...dataTransfer.items].find((i) => i.kind === 'file');
  const entry = item?.webkitGetAsEntry?.();
  if (entry?.isDirectory) return findGame(await readDirectory(entry, entry.name), entry.name);
  const file = item?.getAsFile();
  if (!file) throw new NotAGame('Drop a game folder or a .zip of one here.');
  if (!/\.zip$/i.test(file.name)) throw new NotAGame(`“${file.name}” is neither a game folder nor a .zip file.`);
  return fromZip(new Uint8Array(await file.arrayBuffer()), file.name);
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
