// The game's music through Web Audio, with the wave device's semantics: "play" starts a piece from its beginning,
// once; "stop" silences it. Browsers allow sound only after the reader's first click or key: a piece asked for
// before then starts at that moment.
export class Music {
  // `readMusic(path)`: a promise of the bytes of a music file of the page's file system.
  constructor(readMusic, onWaiting) {
    this.readMusic = readMusic;
    this.onWaiting = onWaiting; // told true while a piece waits for the first gesture, false once sound may play
    this.context = null;
    this.gain = null;
    this.source = null;
    this.pending = null; // the file asked for before sound was allowed
    this.volume = 1;
    this.decoded = new Map(); // file -> Promise<AudioBuffer|null>, the last few pieces
  }

  // The reader's first gesture: sound is allowed from now on.
  unlock() {
    if (this.context) return;
    this.context = new AudioContext();
    this.gain = this.context.createGain();
    this.gain.gain.value = this.volume;
    this.gain.connect(this.context.destination);
    this.onWaiting(false);
    if (this.pending) this.play(this.pending);
    this.pending = null;
  }

  setVolume(volume) {
    this.volume = volume;
    if (this.gain) this.gain.gain.value = volume;
  }

  play(file) {
    this.stop();
    if (!this.context) {
      this.pending = file;
      this.onWaiting(true);
      return;
    }
    const token = (this.token = {});
    this.buffer(file).then((buffer) => {
      if (!buffer || token !== this.token) return;
      const source = this.context.createBufferSource();
      source.buffer = buffer;
      source.connect(this.gain);
      source.onended = () => this.source === source && (this.source = null);
      source.start();
      this.source = source;
    });
  }

  stop() {
    this.token = null;
    this.pending = null;
    if (this.source) {
      this.source.onended = null;
      this.source.stop();
      this.source = null;
    }
  }

  // Whether a piece is sounding now (for the page's own checks).
  get playing() {
    return Boolean(this.source) && this.context?.state === 'running';
  }

  buffer(file) {
    let found = this.decoded.get(file);
    if (!found) {
      // A missing or broken file stays silent; the core has warned of a missing one already.
      found = this.readMusic(file)
        .then((bytes) => this.context.decodeAudioData(bytes.slice().buffer))
        .catch(() => null);
      this.decoded.set(file, found);
      if (this.decoded.size > 3) this.decoded.delete(this.decoded.keys().next().value);
    }
    return found;
  }
}
