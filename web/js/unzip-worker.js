// Unpacks a game's zip away from the page's thread, so that a large or hostile archive never freezes the page: the
// table of contents is checked first (ziplist.js), then each entry is inflated by the browser's own decompressor
// into exactly the room its declared size gives it, and an entry that inflates to more, or to other bytes than its
// checksum says, stops the whole. The page hears how far it got, and may end the worker at any moment.
import { listZip, STORED, ZipRefused } from './ziplist.js';

const PROGRESS_STEP = 0.01;

onmessage = async ({ data: { bytes } }) => {
  try {
    const entries = listZip(bytes);
    const total = entries.reduce((sum, entry) => sum + entry.size, 0);
    const files = [];
    let done = 0;
    let told = 0;
    for (const entry of entries) {
      files.push([entry.name, await unpack(bytes, entry)]);
      done += entry.size;
      if (done / total - told >= PROGRESS_STEP) postMessage({ progress: (told = done / total) });
    }
    postMessage({ files }, files.map(([, content]) => content.buffer));
  } catch (error) {
    const refused = error instanceof ZipRefused ? error : new ZipRefused('zip.unreadable', { message: error.message });
    postMessage({ refused: { reason: refused.reason, values: refused.values, entry: refused.entry } });
  }
};

async function unpack(bytes, entry) {
  const packed = bytes.subarray(entry.offset, entry.offset + entry.compressedSize);
  const content = new Uint8Array(entry.size);
  if (entry.method === STORED) {
    if (entry.compressedSize !== entry.size) throw new ZipRefused('zip.sizeLies', {}, entry.name);
    content.set(packed);
  } else {
    await inflateInto(packed, content, entry.name);
  }
  if (crc32(content) !== entry.crc) throw new ZipRefused('zip.checksum', {}, entry.name);
  return content;
}

async function inflateInto(packed, content, name) {
  const reader = new Blob([packed]).stream().pipeThrough(new DecompressionStream('deflate-raw')).getReader();
  let at = 0;
  try {
    for (let part = await reader.read(); !part.done; part = await reader.read()) {
      if (at + part.value.length > content.length) throw new ZipRefused('zip.sizeLies', {}, name);
      content.set(part.value, at);
      at += part.value.length;
    }
  } catch (error) {
    reader.cancel().catch(() => {});
    throw error instanceof ZipRefused ? error : new ZipRefused('zip.damaged', {}, name);
  }
  if (at !== content.length) throw new ZipRefused('zip.sizeLies', {}, name);
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
