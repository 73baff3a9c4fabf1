// The menu bar above the stage, as the core gives it: the game's menus and the reader's 読書 menu, with their
// captions, checks, enabled states and keys (a browser's own keys already replaced by others). The keys themselves
// go to the core; the bar handles only Alt and a menu's underlined letter, and moving through an open menu.

// Whether a keydown `event` is `chord`, a key as the core names it with Ctrl and Alt as held: the core gives each
// entry's keys that way, so that the page names no key of its own.
function pressed(event, chord) {
  return Boolean(chord) && event.key.toLowerCase() === chord.key && event.ctrlKey === chord.ctrl &&
    event.altKey === chord.alt;
}

export class MenuBar {
  // `choose(name)`: the reader chose the entry of that name.
  constructor(element, choose) {
    this.element = element;
    this.choose = choose;
    this.shape = '';
    this.items = new Map(); // name -> {element, kind}
    this.accelerators = []; // the chords of the entries' shortcuts
    this.mnemonics = []; // [chord, name] of the menus of the bar
    this.open = null;
    document.addEventListener('pointerdown', (event) => {
      if (this.open && !this.open.contains(event.target)) this.closeMenus();
    });
  }

  // Shows `bar`, the core's menu bar: [{name, caption, enabled, checkable, checked, shortcut, accelerator, mnemonic,
  // items: [...]}] from left to right, a separator having no name. The elements are made again only when the entries
  // are others.
  show(bar) {
    const shape = JSON.stringify(bar.map((top) => [top.name, top.items.map((item) => item.name)]));
    if (shape !== this.shape) this.build(bar);
    this.shape = shape;
    this.accelerators = [];
    this.mnemonics = [];
    for (const top of bar) {
      this.update(top, 'top');
      for (const entry of top.items) if (entry.name) this.update(entry, 'item');
    }
  }

  build(bar) {
    this.closeMenus();
    this.items.clear();
    this.element.replaceChildren();
    for (const top of bar) this.addTop(top);
  }

  addTop(top) {
    const button = document.createElement('button');
    button.className = 'top';
    button.type = 'button';
    button.dataset.name = top.name;
    button.setAttribute('role', 'menuitem');
    this.items.set(top.name, button);
    if (!top.items.length) {
      this.element.append(button);
      button.addEventListener('click', () => this.choose(top.name));
      return;
    }
    const holder = document.createElement('div');
    holder.className = 'menu';
    const list = document.createElement('div');
    list.className = 'items';
    list.setAttribute('role', 'menu');
    list.id = `menu-${top.name}`;
    holder.append(button, list);
    this.element.append(holder);
    button.setAttribute('aria-haspopup', 'menu');
    button.setAttribute('aria-expanded', 'false');
    button.setAttribute('aria-controls', list.id);
    button.addEventListener('click', () => (this.open === holder ? this.closeMenus() : this.openMenu(holder)));
    button.addEventListener('pointerenter', () => this.open && this.open !== holder && this.openMenu(holder));
    for (const entry of top.items) list.append(entry.name ? this.addItem(entry.name) : separator());
  }

  addItem(name) {
    const item = document.createElement('button');
    item.className = 'item';
    item.type = 'button';
    item.dataset.name = name;
    item.setAttribute('role', 'menuitem');
    item.innerHTML = '<span class="check"></span><span class="caption"></span><span class="keys"></span>';
    item.addEventListener('click', () => {
      this.closeMenus();
      this.choose(name);
    });
    this.items.set(name, item);
    return item;
  }

  update(entry, kind) {
    const element = this.items.get(entry.name);
    element.disabled = !entry.enabled;
    if (kind === 'top') {
      showCaption(element, entry.caption);
      if (entry.mnemonic) this.mnemonics.push([entry.mnemonic, entry.name]);
      element.nextElementSibling?.setAttribute('aria-label', element.textContent);
      return;
    }
    showCaption(element.querySelector('.caption'), entry.caption);
    element.querySelector('.check').textContent = entry.checked ? '✓' : '';
    element.setAttribute('role', entry.checkable ? 'menuitemcheckbox' : 'menuitem');
    if (entry.checkable) element.setAttribute('aria-checked', String(entry.checked));
    element.querySelector('.keys').textContent = entry.shortcut;
    if (entry.accelerator) this.accelerators.push(entry.accelerator);
  }

  // `byKey`: the focus goes to the first item, for the arrow keys to move on from there.
  openMenu(holder, byKey = false) {
    this.closeMenus();
    holder.classList.add('open');
    holder.firstChild.setAttribute('aria-expanded', 'true');
    this.open = holder;
    place(holder.querySelector('.items'), holder.getBoundingClientRect());
    if (byKey) holder.querySelector('.item:not(:disabled)')?.focus();
  }

  closeMenus() {
    if (this.open?.contains(document.activeElement)) document.activeElement.blur(); // keys go to the story again
    this.open?.classList.remove('open');
    this.open?.firstChild.setAttribute('aria-expanded', 'false');
    this.open = null;
  }

  // Whether the key of `event` is one the menus show beside an entry (the core takes it).
  listsShortcut(event) {
    return this.accelerators.some((chord) => pressed(event, chord));
  }

  // Handles a key that opens a menu (Alt and its underlined letter, unless an entry has that key) or moves through
  // the open one. True when the key was the menu bar's.
  handleKey(event) {
    const name = !this.listsShortcut(event) && this.mnemonics.find(([chord]) => pressed(event, chord))?.[1];
    if (!name) return this.open !== null && this.moveThroughMenu(event.key);
    const button = this.items.get(name);
    if (button.disabled) return true;
    if (button.hasAttribute('aria-haspopup')) this.openMenu(button.parentElement, true);
    else this.choose(name);
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

// A menu opens below its title, moved left as far as it must to stay on the screen, which a phone's is not wide
// enough for at the bar's right end; the bar may scroll sideways, so the menu is placed on the screen itself.
function place(list, under) {
  list.style.top = `${under.bottom}px`;
  list.style.left = `${Math.max(0, Math.min(under.left, document.documentElement.clientWidth - list.offsetWidth))}px`;
}

function separator() {
  const line = document.createElement('div');
  line.className = 'separator';
  line.setAttribute('role', 'separator');
  return line;
}

// Shows a caption with its mnemonic ("環境設定(&C)") underlined.
function showCaption(element, caption) {
  const at = caption.indexOf('&');
  if (at < 0 || at + 1 >= caption.length) {
    element.textContent = caption;
    return;
  }
  const letter = document.createElement('u');
  letter.textContent = caption[at + 1];
  element.replaceChildren(caption.slice(0, at), letter, caption.slice(at + 2));
}
