// The core's yes/no questions, asked in the page's own dialog. Enter gives the button with the focus, at first
// the question's default (いいえ before anything is wiped, else はい), Escape and N answer いいえ, Y answers はい, as in the desktop's box. The press that raised the
// question may still be releasing over the dialog, so the keys are the dialog's, wherever the focus went.
export function ask(dialog, text, title, defaultYes = true) {
  dialog.querySelector('.title').textContent = title;
  dialog.querySelector('.text').textContent = text;
  return new Promise((resolve) => {
    const yes = dialog.querySelector('.yes');
    const no = dialog.querySelector('.no');
    const answer = (value) => {
      yes.onclick = no.onclick = dialog.oncancel = null;
      document.removeEventListener('keydown', onKey, true);
      dialog.close();
      resolve(value);
    };
    yes.onclick = () => answer(true);
    no.onclick = () => answer(false);
    dialog.oncancel = (event) => {
      event.preventDefault();
      answer(false);
    };
    const onKey = (event) => {
      const key = event.key.toLowerCase();
      if (key === 'enter') answer(document.activeElement === no ? false : document.activeElement === yes || defaultYes);
      else if (key === 'y' || key === 'n') answer(key === 'y');
      else return;
      event.preventDefault();
      event.stopPropagation();
    };
    document.addEventListener('keydown', onKey, true);
    dialog.showModal();
    (defaultYes ? yes : no).focus();
  });
}
