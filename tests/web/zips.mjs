// Zip files made byte by byte, so that a test can make the ones no honest tool writes: names that leave the folder,
// names in Shift-JIS without the UTF-8 flag, sizes that lie, entries that share their bytes, zip64 markers.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { deflateRawSync } from 'node:zlib';

const CRC_TABLE = Uint32Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c;
});

export function crc32(bytes) {
  let crc = 0xffffffff;
  for (const byte of bytes) crc = CRC_TABLE[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

// `entries`: [{ name (string or Buffer of raw bytes), content (Buffer), utf8 = true, deflate = true,
// size (declared, default the content's), compressedSize, sharesWith (index of an entry whose bytes it points at),
// }]. Gives the zip's bytes.
export function makeZip(entries) {
  const locals = [];
  const central = [];
  const placed = [];
  let offset = 0;
  entries.forEach((entry, index) => {
    const name = Buffer.isBuffer(entry.name) ? entry.name : Buffer.from(entry.name);
    const flags = entry.utf8 === false ? 0 : 0x800;
    const method = entry.deflate === false ? 0 : 8;
    const data = method ? deflateRawSync(entry.content) : entry.content;
    const fields = {
      flags, method, name,
      crc: entry.crc ?? crc32(entry.content),
      compressedSize: entry.compressedSize ?? data.length,
      size: entry.size ?? entry.content.length,
    };
    if (entry.sharesWith !== undefined) {
      placed.push(placed[entry.sharesWith]);
      central.push(header(0x02014b50, { ...fields, offset: placed[entry.sharesWith] }));
      return;
    }
    const local = header(0x04034b50, fields);
    placed.push(offset);
    central.push(header(0x02014b50, { ...fields, offset }));
    locals.push(local, data);
    offset += local.length + data.length;
  });
  const directory = Buffer.concat(central);
  const end = Buffer.alloc(22);
  end.writeUInt32LE(0x06054b50, 0);
  end.writeUInt16LE(Math.min(entries.length, 0xffff), 8);
  end.writeUInt16LE(Math.min(entries.length, 0xffff), 10);
  end.writeUInt32LE(directory.length, 12);
  end.writeUInt32LE(offset, 16);
  return Buffer.concat([...locals, directory, end]);
}

function header(signature, { flags, method, name, crc, compressedSize, size, offset }) {
  const central = signature === 0x02014b50;
  const fixed = Buffer.alloc(central ? 46 : 30);
  fixed.writeUInt32LE(signature, 0);
  let at = central ? 6 : 4; // a central header has the version made by first
  fixed.writeUInt16LE(20, at);
  fixed.writeUInt16LE(flags, at + 2);
  fixed.writeUInt16LE(method, at + 4);
  fixed.writeUInt32LE(crc, at + 10);
  fixed.writeUInt32LE(compressedSize, at + 14);
  fixed.writeUInt32LE(size, at + 18);
  fixed.writeUInt16LE(name.length, at + 22);
  if (central) fixed.writeUInt32LE(offset, 42);
  return Buffer.concat([fixed, name]);
}

// The demo's smallest playable part: its scenario and title picture, under `folder/`.
export function gameEntries(demo, folder) {
  return [
    { name: `${folder}/data1.rgd`, content: readFileSync(join(demo, 'data1.rgd')) },
    { name: `${folder}/data/op01.rgd`, content: readFileSync(join(demo, 'data/op01.rgd')) },
  ];
}
