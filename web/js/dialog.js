// The core's yes/no questions, asked in the page's own dialog. The answer is the default (はい) on Enter, いいえ on
// Escape, as in the desktop's box.
export function ask(dialog, text, title) {
  dialog.querySelector('.title').textContent = title;
  dialog.querySelector('.text').textContent = text;
  return new Promise((resolve) => {
    const yes = dialog.querySelector('.yes');
    const no = dialog.querySelector('.no');
    const answer = (value) => {
      yes.onclick = no.onclick = dialog.oncancel = null;
      dialog.close();
      resolve(value);
    };
    yes.onclick = () => answer(true);
    no.onclick = () => answer(false);
    dialog.oncancel = (event) => {
      event.preventDefault();
      answer(false);
    };
    dialog.showModal();
    yes.focus();
  });
}
