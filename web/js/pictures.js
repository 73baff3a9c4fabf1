// The game's pictures as the stage draws them: decoded by the browser from their bytes, whatever their name says,
// and kept for the next frames. A picture that cannot be read or decoded is kept as null: the stage shows black.

// A 640 x 400 picture decoded holds a megabyte; a stage shows at most the four layers' and the window's.
const KEPT = 8;

export class Pictures {
  // `read(name)`: a promise of the bytes of a game file by the name the story gave it (null when there is none).
  constructor(read) {
    this.read = read;
    this.decoded = new Map(); // name -> ImageBitmap or null, most recently used last
    this.pending = new Map(); // name -> Promise
    this.game = 0; // counts the games, so that a picture of the last one arriving late is dropped
  }

  // The decoded picture (undefined until ready() has brought it, null when it is no picture).
  get(name) {
    return this.decoded.get(name);
  }

  // Resolves once every picture of `names` is decoded or known to be none.
  async ready(names) {
    const missing = names.filter((name) => !this.decoded.has(name));
    for (const name of names) this.touch(name);
    if (missing.length) await Promise.all(missing.map((name) => this.decode(name)));
  }

  decode(name) {
    let pending = this.pending.get(name);
    if (!pending) {
      const game = this.game;
      pending = this.read(name)
        .then((bytes) => (bytes ? createImageBitmap(new Blob([bytes])) : null))
        .catch(() => null)
        .then((bitmap) => {
          if (game !== this.game) {
            bitmap?.close();
            return;
          }
          this.pending.delete(name);
          this.keep(name, bitmap);
        });
      this.pending.set(name, pending);
    }
    return pending;
  }

  touch(name) {
    if (!this.decoded.has(name)) return;
    const bitmap = this.decoded.get(name);
    this.decoded.delete(name);
    this.decoded.set(name, bitmap);
  }

  keep(name, bitmap) {
    this.decoded.delete(name);
    this.decoded.set(name, bitmap);
    while (this.decoded.size > KEPT) {
      const [oldest, old] = this.decoded.entries().next().value;
      this.decoded.delete(oldest);
      old?.close();
    }
  }

  // A new game: its pictures may have the same names.
  forget() {
    for (const bitmap of this.decoded.values()) bitmap?.close();
    this.decoded.clear();
    this.pending.clear();
    this.game += 1;
  }
}
