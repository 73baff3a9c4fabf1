// The reading menu, the page's own beside the game's: the text history, auto and skip reading, hidden text and the
// preferences screen, with the desktop's captions and keys. Its checks follow the core's reading modes.

const TOP = 'reading';
// `command`: the core's name for the entry; `mode`: the reading mode its check shows.
const ENTRIES = [
  { command: 'history', caption: 'テキスト履歴(&H)', keys: 'PageUp' },
  { command: 'auto', caption: 'オートモード(&A)', keys: 'A', mode: 'auto' },
  { command: 'skip', caption: '既読スキップ(&S)', keys: 'Tab / Ctrl', mode: 'skipRead' },
  { command: 'hide', caption: '文字を隠す(&T)', keys: 'H' },
  null, // a separator
  { command: 'preferences', caption: '設定(&P)...' },
].map((entry) => entry && { ...entry, name: `${TOP}.${entry.command}` });

// The menu's shape, as the menu bar takes the game's.
export const READING_MENU = { name: TOP, items: ENTRIES.map((entry) => entry?.name ?? null) };

// The menu's look for the model's reading modes (`comforts` of the window model), in the form of the game's
// menus. The keys are the core's own, shown only: the menu bar does not take them.
export function readingMenus(comforts) {
  const menus = { [TOP]: { caption: '読書(&R)', enabled: true, checked: false } };
  for (const entry of ENTRIES) {
    if (!entry) continue;
    const checked = Boolean(entry.mode && comforts?.[entry.mode]);
    menus[entry.name] = { caption: entry.caption, enabled: true, checked, hint: entry.keys };
  }
  return menus;
}

// Carries out the entry `name`; `openPreferences()` shows the preferences screen.
export function chooseReading(name, core, comforts, openPreferences) {
  const entry = ENTRIES.find((e) => e?.name === name);
  if (entry?.command === 'preferences') openPreferences();
  else if (entry?.mode) core.comfort(entry.command, !comforts?.[entry.mode]);
  else if (entry) core.comfort(entry.command);
}
