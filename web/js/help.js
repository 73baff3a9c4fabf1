// The help screen: the keys as the core gives them (its own list, and the shortcuts of the menus it gives the page),
// how the page's controls take the keyboard, and the touch gestures (touch.js).
import { showWords } from './words.js';

export class HelpScreen {
  constructor(dialog, core) {
    this.dialog = dialog;
    this.core = core;
    dialog.querySelector('.close').addEventListener('click', () => dialog.close());
  }

  async show() {
    showWords(this.dialog);
    const [keys, bar] = await Promise.all([this.core.keysHelp(), this.core.enqueue(() => this.core.menuBar())]);
    fill(this.dialog.querySelector('.keys'), keys.map(({ keys, action }) => [keys, action]));
    const shortcuts = bar.flatMap((top) => top.items.filter((item) => item.shortcut).map((item) => [item.shortcut, plain(item.caption)]));
    fill(this.dialog.querySelector('.menu-keys'), shortcuts);
    this.dialog.showModal();
  }
}

function fill(list, pairs) {
  list.replaceChildren(
    ...pairs.flatMap(([term, description]) => {
      const dt = document.createElement('dt');
      dt.textContent = term;
      const dd = document.createElement('dd');
      dd.textContent = description;
      return [dt, dd];
    }),
  );
}

// A caption without its mnemonic's marker: "設定(&P)..." -> "設定(P)...".
const plain = (caption) => caption.replace('&', '');
