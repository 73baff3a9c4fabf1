// Unpacks a checked zip: its table of contents must pass ziplist.js first, then each entry is inflated into exactly
// the room its declared size gives it (one byte more, to notice one that holds more), and an entry that inflates to
// another size, or to other bytes than its checksum says, stops the whole. Runs in the unpacking worker for what a
// reader brings, and on the page's thread for the site's own small demo.
import { inflateSync } from '../vendor/fflate.js';
import { listZip, STORED, ZipRefused } from './ziplist.js';

const PROGRESS_STEP = 0.01;

// [path, bytes] for every file of the zip `bytes`; `onProgress(share)` hears how far it got. Throws ZipRefused.
export function unpackEntries(bytes, onProgress = () => {}) {
  const entries = listZip(bytes);
  const total = entries.reduce((sum, entry) => sum + entry.size, 0);
  const files = [];
  let done = 0;
  let told = 0;
  for (const entry of entries) {
    files.push([entry.name, unpack(bytes, entry)]);
    done += entry.size;
    if (done / total - told >= PROGRESS_STEP) onProgress((told = done / total));
  }
  return files;
}

function unpack(bytes, entry) {
  const packed = bytes.subarray(entry.offset, entry.offset + entry.compressedSize);
  const content = entry.method === STORED ? packed.slice() : inflate(packed, entry);
  if (content.length !== entry.size) throw new ZipRefused('zip.sizeLies', {}, entry.name);
  if (crc32(content) !== entry.crc) throw new ZipRefused('zip.checksum', {}, entry.name);
  return content;
}

// The inflater never grows a room it is given: what would go past it is dropped, so memory stays bounded whatever
// the entry holds.
function inflate(packed, entry) {
  try {
    return inflateSync(packed, { out: new Uint8Array(entry.size + 1) });
  } catch {
    throw new ZipRefused('zip.damaged', {}, entry.name);
  }
}

const CRC_TABLE = Uint32Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c;
});

function crc32(bytes) {
  let crc = 0xffffffff;
  for (let i = 0; i < bytes.length; ++i) crc = CRC_TABLE[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}
