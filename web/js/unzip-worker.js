// Unpacks a game's zip away from the page's thread (unpack.js), so that a large or hostile archive never freezes
// the page; the page hears how far it got, and may end the worker at any moment.
import { unpackEntries } from './unpack.js';
import { ZipRefused } from './ziplist.js';

onmessage = ({ data: { bytes } }) => {
  try {
    const files = unpackEntries(bytes, (progress) => postMessage({ progress }));
    postMessage({ files }, files.map(([, content]) => content.buffer));
  } catch (error) {
    const refused = error instanceof ZipRefused ? error : new ZipRefused('zip.unreadable', { message: error.message });
    postMessage({ refused: { reason: refused.reason, values: refused.values, entry: refused.entry } });
  }
};
