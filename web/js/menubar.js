// The menu bar above the stage, built from the window model: the same items, captions, checks and enabled states
// as the desktop's. Shortcuts a browser keeps for itself get other keys, shown beside the item.
const BROWSER_KEEPS = new Map([['ctrl+w', 'Alt+W']]); // Ctrl+W closes the tab before the page hears it

export function pageShortcut(shortcut) {
  return BROWSER_KEEPS.get(shortcut.toLowerCase()) ?? shortcut;
}

// "Ctrl+S" for a keydown event, in the form menu shortcuts are written.
export function keyName(event) {
  const key = event.key.length === 1 ? event.key.toUpperCase() : event.key;
  return [event.ctrlKey && 'Ctrl', event.altKey && 'Alt', event.shiftKey && 'Shift', key].filter(Boolean).join('+');
}

export class MenuBar {
  // `choose(name)`: the reader chose the item of that name.
  constructor(element, choose) {
    this.element = element;
    this.choose = choose;
    this.items = new Map(); // name -> {element, kind}
    this.shortcuts = new Map(); // page shortcut, lower case -> item name
    this.mnemonics = new Map(); // "Alt+J", lower case -> top-level name
    this.open = null;
    document.addEventListener('pointerdown', (event) => {
      if (this.open && !this.open.contains(event.target)) this.closeMenus();
    });
  }

  // Builds the bar for a game: `tree` is the core's menu bar, [{name, items: [names]}] from left to right, and the
  // page's own menus in the same form (null among the items is a separator).
  build(tree) {
    this.closeMenus();
    this.items.clear();
    this.element.replaceChildren();
    for (const top of tree) this.addTop(top);
  }

  addTop(top) {
    const button = document.createElement('button');
    button.className = 'top';
    button.dataset.name = top.name;
    this.element.append(button);
    if (!top.items.length) {
      button.addEventListener('click', () => this.choose(top.name));
      this.items.set(top.name, { element: button, kind: 'command' });
      return;
    }
    const holder = document.createElement('div');
    holder.className = 'menu';
    const list = document.createElement('div');
    list.className = 'items';
    list.setAttribute('role', 'menu');
    holder.append(button, list);
    this.element.append(holder);
    button.setAttribute('aria-haspopup', 'menu');
    button.addEventListener('click', () => (this.open === holder ? this.closeMenus() : this.openMenu(holder)));
    button.addEventListener('pointerenter', () => this.open && this.open !== holder && this.openMenu(holder));
    this.items.set(top.name, { element: button, kind: 'menu' });
    for (const name of top.items) {
      if (name === null) {
        const line = document.createElement('div');
        line.className = 'separator';
        line.setAttribute('role', 'separator');
        list.append(line);
        continue;
      }
      const item = document.createElement('button');
      item.className = 'item';
      item.dataset.name = name;
      item.setAttribute('role', 'menuitem');
      item.innerHTML = '<span class="check"></span><span class="caption"></span><span class="keys"></span>';
      item.addEventListener('click', () => {
        this.closeMenus();
        this.choose(name);
      });
      list.append(item);
      this.items.set(name, { element: item, kind: 'item' });
    }
  }

  // `byKey`: the focus goes to the first item, for the arrow keys to move on from there.
  openMenu(holder, byKey = false) {
    this.closeMenus();
    holder.classList.add('open');
    this.open = holder;
    if (byKey) holder.querySelector('.item:not(:disabled)')?.focus();
  }

  closeMenus() {
    if (this.open?.contains(document.activeElement)) document.activeElement.blur(); // keys go to the story again
    this.open?.classList.remove('open');
    this.open = null;
  }

  // Brings every item in step with the model's menus: {caption, enabled, checked, shortcut}, or for the page's own
  // items a `hint` instead of a shortcut, a key shown beside the item that the page handles elsewhere.
  update(menus) {
    this.shortcuts.clear();
    this.mnemonics.clear();
    for (const [name, { element, kind }] of this.items) {
      const model = menus[name];
      if (!model) continue;
      element.disabled = !model.enabled;
      if (kind !== 'item') {
        const letter = showCaption(element, model.caption);
        if (letter) this.mnemonics.set(`alt+${letter.toLowerCase()}`, name);
        continue;
      }
      showCaption(element.querySelector('.caption'), model.caption);
      element.querySelector('.check').textContent = model.checked ? '✓' : '';
      element.setAttribute('aria-checked', String(model.checked));
      const keys = model.shortcut ? pageShortcut(model.shortcut) : '';
      element.querySelector('.keys').textContent = keys || (model.hint ?? '');
      if (keys) this.shortcuts.set(keys.toLowerCase(), name);
    }
  }

  // Handles a key that chooses an item (its shortcut), opens a menu (Alt and its underlined letter) or moves
  // through the open one. True when the key was the menu bar's.
  handleKey(event) {
    const keys = keyName(event).toLowerCase();
    const name = this.shortcuts.get(keys) ?? this.mnemonics.get(keys);
    if (!name) return this.open !== null && this.moveThroughMenu(event.key);
    const { element, kind } = this.items.get(name);
    if (kind === 'menu') {
      if (!element.disabled) this.openMenu(element.parentElement, true);
    } else {
      this.choose(name);
    }
    return true;
  }

  // As in the desktop's menus: up and down go through the open menu's items, left and right to the next menu,
  // Escape closes it; Enter presses the item that has the focus (a button).
  moveThroughMenu(key) {
    if (key === 'Escape') {
      this.closeMenus();
    } else if (key === 'ArrowDown' || key === 'ArrowUp') {
      const items = [...this.open.querySelectorAll('.item:not(:disabled)')];
      const at = items.indexOf(document.activeElement);
      const step = key === 'ArrowDown' ? 1 : -1;
      items[at < 0 && step < 0 ? items.length - 1 : (at + step + items.length) % items.length]?.focus();
    } else if (key === 'ArrowLeft' || key === 'ArrowRight') {
      const menus = [...this.element.querySelectorAll('.menu')].filter((menu) => !menu.firstChild.disabled);
      const at = menus.indexOf(this.open);
      this.openMenu(menus[(at + (key === 'ArrowRight' ? 1 : -1) + menus.length) % menus.length], true);
    } else {
      return false;
    }
    return true;
  }
}

// Shows a caption with its mnemonic ("環境設定(&C)") underlined; returns the mnemonic letter, if any.
function showCaption(element, caption) {
  const at = caption.indexOf('&');
  if (at < 0 || at + 1 >= caption.length) {
    element.textContent = caption;
    return null;
  }
  const letter = document.createElement('u');
  letter.textContent = caption[at + 1];
  element.replaceChildren(caption.slice(0, at), letter, caption.slice(at + 2));
  return caption[at + 1];
}
