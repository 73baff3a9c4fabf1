// What the page shows while a game opens: how far the unpacking got, and a way to stop it. One opening at a time: a
// new one stops the one before.
import { t } from './words.js';

// An opening quicker than this shows nothing, rather than a flash.
const SHOWN_AFTER_MS = 300;

export class OpeningProgress {
  constructor(element) {
    this.element = element;
    this.text = element.querySelector('.text');
    this.bar = element.querySelector('progress');
    this.controller = null;
    element.querySelector('.cancel').addEventListener('click', () => this.controller?.abort());
  }

  // Starts showing the opening of `source`; gives the options the unpacking takes (progress, signal).
  begin(source) {
    this.controller?.abort();
    const controller = (this.controller = new AbortController());
    const show = (share) => {
      if (this.controller !== controller) return;
      this.text.textContent = t('open.progress', { source, percent: Math.floor(share * 100) });
      this.bar.value = share;
    };
    show(0);
    this.timer = setTimeout(() => (this.element.hidden = false), SHOWN_AFTER_MS);
    return { onProgress: show, signal: controller.signal };
  }

  // The opening begun with `options` is over, whichever way.
  end(options) {
    if (this.controller?.signal !== options.signal) return;
    this.controller = null;
    clearTimeout(this.timer);
    this.element.hidden = true;
  }
}
