// The page's side of self-voicing and of the text the core offers to the reader's tools. The core decides what is
// said, when it is cut short and what goes to the clipboard; this only carries it to the browser's speech, to a
// live region for screen readers and to the clipboard.

// Only a Japanese voice ever reads: another language's would read kanji as "Chinese letter".
const isJapanese = (voice) => /^ja([-_]|$)/i.test(voice.lang);

// The browser's Japanese voices. Chromium lists none until its voices have loaded (`voiceschanged`); `found(has)`
// is told whether there is one as soon as the list is known, and again whenever it changes.
export class Speech {
  constructor(found) {
    this.synthesis = globalThis.speechSynthesis ?? null;
    this.voices = [];
    if (!this.synthesis) {
      found(false);
      return;
    }
    const look = () => {
      const all = this.synthesis.getVoices();
      this.voices = all.filter(isJapanese);
      if (all.length) found(this.voices.length > 0);
    };
    this.synthesis.addEventListener?.('voiceschanged', look);
    look();
  }

  // The names of the Japanese voices, for the preferences' choice of voice.
  voiceNames() {
    return this.voices.map((voice) => voice.name);
  }

  // Says `text` at `rate` (1: the voice's own speed) in the voice named `name`, or the first Japanese one.
  say(text, rate, name) {
    const voice = this.voices.find((v) => v.name === name) ?? this.voices[0];
    if (!voice) return;
    const utterance = new SpeechSynthesisUtterance(text);
    utterance.voice = voice;
    utterance.lang = voice.lang;
    utterance.rate = rate;
    this.synthesis.speak(utterance);
  }

  hush() {
    this.synthesis?.cancel();
  }
}

// How many texts the live region keeps: it is there to be announced, not read back (the history is).
const LIVE_KEPT = 50;

// Shows each offered text in `region` (aria-live), in order, and puts those marked `copy` on the clipboard.
export function offerText(region, texts) {
  for (const { text, copy } of texts) {
    const line = document.createElement('p');
    line.textContent = text;
    region.append(line);
    // The clipboard may refuse (the page not focused, permission denied): the text is still announced.
    if (copy) navigator.clipboard?.writeText(text).catch(() => {});
  }
  while (region.childElementCount > LIVE_KEPT) region.firstElementChild.remove();
}
