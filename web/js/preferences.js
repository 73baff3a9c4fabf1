// The reader's preferences screen, as on the desktop: music volume, the auto-mode delay, the two pacing choices and
// reading aloud (self-voicing, its speed and voice, and each page's text to the clipboard).
// Every change is applied at once (the volume as the slider moves) and kept in this browser, apart from every
// game's saves, as the text of the desktop's preferences file; the core reads and writes that text. A change the
// browser refuses to keep says so on the screen. The story stands still while the screen is open.
const STORAGE_KEY = 'shiori.preferences';

// The kept preferences file's text, or "" (the defaults) when there is none or the storage cannot be read.
export function storedPreferences() {
  try {
    return localStorage.getItem(STORAGE_KEY) ?? '';
  } catch {
    return '';
  }
}

export class PreferencesScreen {
  // `dialog`: the screen's <dialog>; its fields are named as the preferences in the file. `voices()`: the names of
  // the browser's Japanese voices.
  constructor(dialog, core, voices) {
    this.dialog = dialog;
    this.core = core;
    this.voices = voices;
    this.problem = dialog.querySelector('.problem');
    this.fields = [...dialog.querySelectorAll('[name]')];
    const volume = dialog.querySelector('[name=music_volume]');
    const volumeNumber = dialog.querySelector('.volume-number');
    volume.addEventListener('input', () => {
      volumeNumber.value = volume.value;
      this.change('music_volume', volume.value);
    });
    volumeNumber.addEventListener('change', () => {
      volume.value = volumeNumber.value;
      this.change('music_volume', volumeNumber.value);
    });
    for (const field of this.fields.filter((f) => f !== volume)) {
      field.addEventListener('change', () => this.change(field.name, field.type === 'checkbox' ? (field.checked ? 'on' : 'off') : field.value));
    }
    dialog.querySelector('.close').addEventListener('click', () => dialog.close());
    dialog.addEventListener('close', () => core.holdClock(false));
  }

  // Shows the screen with the preferences in force.
  async open() {
    const model = await this.core.settledModel();
    if (!model) return; // no game is open
    const { prefs } = model.comforts;
    this.listVoices(prefs.speech_voice);
    for (const field of this.fields) {
      if (field.type === 'checkbox') field.checked = prefs[field.name];
      else field.value = prefs[field.name];
    }
    this.dialog.querySelector('.volume-number').value = prefs.music_volume;
    this.showProblem('');
    this.core.holdClock(true);
    this.dialog.showModal();
  }

  // The choice of voice: the browser's first Japanese voice (""), each of them by name, and the one the preferences
  // name should this browser not have it, so that opening the screen changes nothing.
  listVoices(named) {
    const select = this.dialog.querySelector('[name=speech_voice]');
    const names = this.voices();
    if (named && !names.includes(named)) names.push(named);
    const first = new Option('最初の日本語の声', '');
    select.replaceChildren(first, ...names.map((name) => new Option(name, name)));
  }

  async change(name, value) {
    const problem = await this.core.setPreference(name, value);
    if (problem) {
      this.showProblem(problem);
      return;
    }
    try {
      localStorage.setItem(STORAGE_KEY, await this.core.preferences());
      this.showProblem('');
    } catch (error) {
      this.showProblem(`設定を保存できませんでした：${error.message}`);
    }
  }

  showProblem(text) {
    this.problem.textContent = text;
    this.problem.hidden = !text;
  }
}
