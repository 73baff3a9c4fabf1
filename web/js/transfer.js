// Moving saves between this browser and elsewhere: the same files the desktop player keeps, as they are, in a .zip
// on the way out; on the way in, loose or in a .zip, each checked by the core to be a save of its kind before any
// of them takes the place of the saves that work.
import { zipSync } from '../vendor/fflate.js';
import { unpackZip } from './gamefiles.js';
import { isSaveFile } from './saves.js';
import { t } from './words.js';

// A file brought in is not a save of its kind; the message names it and what is wrong.
export class ImportRefused extends Error {}

// The saves of `game` (Map: name -> bytes) as a .zip download; false when there are none.
export function exportSaves(files, game, download) {
  if (!files.size) return false;
  download(new Blob([zipSync(Object.fromEntries(files))], { type: 'application/zip' }), `${game}-saves.zip`);
  return true;
}

// The save files among `chosen` (File objects: save files, or .zip files of them), checked: Map name -> bytes.
// Throws an Error naming the file and the problem when one is not a save of its kind; nothing is taken then.
export async function savesToImport(chosen, checkSave) {
  const files = new Map();
  for (const file of chosen) {
    const bytes = new Uint8Array(await file.arrayBuffer());
    const entries = isZip(bytes) ? await unpackZip(bytes, file.name) : [[file.name, bytes]];
    for (const [path, content] of entries) {
      const name = path.slice(path.lastIndexOf('/') + 1).toLowerCase();
      if (isSaveFile(name)) files.set(name, content);
    }
  }
  for (const [name, content] of files) {
    const problem = await checkSave(name, content);
    if (problem) throw new ImportRefused(t('saves.importRefused', { file: name, reason: problem }));
  }
  return files;
}

function isZip(bytes) {
  return bytes[0] === 0x50 && bytes[1] === 0x4b && bytes[2] === 0x03 && bytes[3] === 0x04;
}
