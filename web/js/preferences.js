// The reader's preferences screen, as on the desktop: music volume, the auto-mode delay and the two pacing choices.
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
  // `dialog`: the screen's <dialog>; its fields are named as the preferences in the file.
  constructor(dialog, core) {
    this.dialog = dialog;
    this.core = core;
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
    for (const field of this.fields) {
      if (field.type === 'checkbox') field.checked = prefs[field.name];
      else field.value = prefs[field.name];
    }
    this.dialog.querySelector('.volume-number').value = prefs.music_volume;
    this.showProblem('');
    this.core.holdClock(true);
    this.dialog.showModal();
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
