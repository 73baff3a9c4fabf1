// Reads a zip's table of contents and decides, before a byte is inflated, whether it may be unpacked: every name
// is made a safe path inside the game folder, and the archive's totals are capped, so that neither a hostile name
// nor a zip bomb reaches the page's file system or its memory. Imports nothing: the unpacking worker and the
// tests load it as it is.

// Far above any game of this kind (its pictures and music take tens of megabytes), far below what a browser tab
// can hold twice over (the zip's bytes and the files unpacked from them).
export const LIMITS = {
  totalBytes: 1024 * 1024 * 1024,
  entries: 20000,
  // Pictures and music compress a few times at most; silence and flat colour more. A bomb packs a thousand to one.
  ratio: 200,
  // Below this the ratio does not matter: a few small files of one byte repeated are no threat.
  ratioFreeBytes: 16 * 1024 * 1024,
};

const END_SIGNATURE = 0x06054b50;
const CENTRAL_SIGNATURE = 0x02014b50;
const LOCAL_SIGNATURE = 0x04034b50;
const END_SIZE = 22;
const LOCAL_SIZE = 30;
const UTF8_FLAG = 0x800;
const ENCRYPTED_FLAG = 0x1;
export const STORED = 0;
export const DEFLATED = 8;

// Why an archive is not unpacked: `reason` is the key of the reason's words (web/js/words.js) and `values` what
// they name; `entry` names the entry at fault, when one is.
export class ZipRefused extends Error {
  constructor(reason, values = {}, entry = null) {
    super(`${reason} ${JSON.stringify(values)}${entry ? ` (${entry})` : ''}`);
    this.reason = reason;
    this.values = values;
    this.entry = entry;
  }
}

// The entries of `bytes` (a Uint8Array holding a whole zip) that hold files, each { name, method, offset (of its
// compressed data), compressedSize, size, crc }, names made safe (safePath). Folders are checked, then left out.
// Throws ZipRefused naming the entry and the reason.
export function listZip(bytes, limits = LIMITS) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const end = findEnd(view);
  const count = view.getUint16(end + 10, true);
  const directorySize = view.getUint32(end + 12, true);
  const directoryOffset = view.getUint32(end + 16, true);
  if (count === 0xffff || directorySize === 0xffffffff || directoryOffset === 0xffffffff) throw zip64();
  if (count > limits.entries) throw new ZipRefused('zip.entries', { count, limit: limits.entries });
  if (directoryOffset + directorySize > end) throw new ZipRefused('zip.damaged');
  const entries = [];
  let at = directoryOffset;
  for (let i = 0; i < count; ++i) {
    const entry = centralEntry(view, bytes, at);
    at = entry.next;
    entries.push(entry);
  }
  checkNames(entries);
  const files = entries.filter((entry) => !entry.folder);
  checkTotals(files, bytes.length, limits);
  for (const file of files) file.offset = dataOffset(view, file);
  checkNoOverlap(files, directoryOffset);
  return files.map(({ name, method, offset, compressedSize, size, crc }) => ({ name, method, offset, compressedSize, size, crc }));
}

function zip64(entry = null) {
  return new ZipRefused('zip.zip64', {}, entry);
}

// The end-of-directory record lies in the last 64 KB (its comment can be that long).
function findEnd(view) {
  const last = view.byteLength - END_SIZE;
  for (let at = last; at >= 0 && at >= last - 0xffff; --at) {
    if (view.getUint32(at, true) === END_SIGNATURE) return at;
  }
  throw new ZipRefused('zip.notZip');
}

function centralEntry(view, bytes, at) {
  if (at + 46 > view.byteLength || view.getUint32(at, true) !== CENTRAL_SIGNATURE) {
    throw new ZipRefused('zip.damaged');
  }
  const flags = view.getUint16(at + 8, true);
  const nameLength = view.getUint16(at + 28, true);
  const extraLength = view.getUint16(at + 30, true);
  const commentLength = view.getUint16(at + 32, true);
  const rawName = bytes.subarray(at + 46, at + 46 + nameLength);
  const original = decodeName(rawName, (flags & UTF8_FLAG) !== 0);
  const entry = {
    original,
    folder: original.endsWith('/') || original.endsWith('\\'),
    method: view.getUint16(at + 10, true),
    crc: view.getUint32(at + 16, true),
    compressedSize: view.getUint32(at + 20, true),
    size: view.getUint32(at + 24, true),
    localHeader: view.getUint32(at + 42, true),
    next: at + 46 + nameLength + extraLength + commentLength,
  };
  if ([entry.compressedSize, entry.size, entry.localHeader].includes(0xffffffff)) throw zip64(original);
  entry.name = safePath(original);
  if (entry.folder) return entry;
  if (flags & ENCRYPTED_FLAG) throw new ZipRefused('zip.encrypted', {}, original);
  if (entry.method !== STORED && entry.method !== DEFLATED) {
    throw new ZipRefused('zip.method', { method: entry.method }, original);
  }
  return entry;
}

// Names without the UTF-8 flag are in the packing system's code page: on the systems these games come from,
// Shift-JIS as Windows extends it (the browser's 'shift_jis' decoder is that code page, CP932).
export function decodeName(raw, utf8) {
  return new TextDecoder(utf8 ? 'utf-8' : 'shift_jis').decode(raw);
}

// A path inside the game folder for an entry's name: '\' is a folder separator too, '.' and empty steps go,
// '..' goes up; a name that is absolute (from the root or a drive) or that goes above the folder is refused.
export function safePath(name) {
  const unified = name.replace(/\\/g, '/');
  if (unified.startsWith('/') || /^[A-Za-z]:/.test(unified)) throw new ZipRefused('zip.absolute', {}, name);
  if (/[\0-\x1f]/.test(unified)) throw new ZipRefused('zip.control', {}, name);
  const steps = [];
  for (const step of unified.split('/')) {
    if (step === '' || step === '.') continue;
    if (step !== '..') steps.push(step);
    else if (!steps.pop()) throw new ZipRefused('zip.escapes', {}, name);
  }
  if (!steps.length) throw new ZipRefused('zip.empty', {}, name);
  return steps.join('/');
}

// Two entries of one name (in any case: the player looks names up without regard to case), or one file that is
// also a folder of others, would make the game depend on which came last.
function checkNames(entries) {
  const files = new Map();
  const folders = new Set();
  for (const entry of entries) {
    const key = entry.name.toLowerCase();
    if (!entry.folder) {
      if (files.has(key)) throw new ZipRefused('zip.twice', { other: files.get(key) }, entry.original);
      files.set(key, entry.original);
    }
    const steps = key.split('/');
    for (let i = 1; i < steps.length; ++i) folders.add(steps.slice(0, i).join('/'));
    if (entry.folder) folders.add(key);
  }
  for (const [key, original] of files) {
    if (folders.has(key)) throw new ZipRefused('zip.fileAndFolder', {}, original);
  }
}

function checkTotals(files, zipSize, limits) {
  const total = files.reduce((sum, file) => sum + file.size, 0);
  const mb = (bytes) => Math.ceil(bytes / 1048576);
  if (total > limits.totalBytes) throw new ZipRefused('zip.tooBig', { size: mb(total), limit: mb(limits.totalBytes) });
  if (total > limits.ratioFreeBytes && total > zipSize * limits.ratio) {
    throw new ZipRefused('zip.bomb', { size: mb(total), packed: mb(zipSize), ratio: limits.ratio });
  }
}

// Where an entry's compressed bytes start: after its local header, whose own name and extra fields may differ in
// length from the table of contents'.
function dataOffset(view, file) {
  const at = file.localHeader;
  if (at + LOCAL_SIZE > view.byteLength || view.getUint32(at, true) !== LOCAL_SIGNATURE) {
    throw new ZipRefused('zip.damaged', {}, file.original);
  }
  const offset = at + LOCAL_SIZE + view.getUint16(at + 26, true) + view.getUint16(at + 28, true);
  if (offset + file.compressedSize > view.byteLength) throw new ZipRefused('zip.truncated', {}, file.original);
  return offset;
}

// Entries that share compressed bytes let a small zip name the same bomb thousands of times.
function checkNoOverlap(files, directoryOffset) {
  const byPlace = [...files].sort((a, b) => a.localHeader - b.localHeader);
  for (let i = 0; i < byPlace.length; ++i) {
    const end = byPlace[i].offset + byPlace[i].compressedSize;
    const next = i + 1 < byPlace.length ? byPlace[i + 1].localHeader : directoryOffset;
    if (end > next) throw new ZipRefused('zip.overlap', {}, byPlace[i].original);
  }
}
