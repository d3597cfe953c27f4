// The answer line: a plain text field under the terminal, for the keyboards that a terminal
// serves badly (a phone's or a tablet's, dictation, input methods, screen readers). What it sends
// is the line as typed in the terminal, echoed there. It is the way in where the pointer is a
// finger; elsewhere a switch turns it on, remembered for the site.
import { readLocal, writeLocal } from './local.js';

/**
 * @param {{form: HTMLFormElement, field: HTMLInputElement, question: HTMLElement, toggle: HTMLInputElement}} elements
 * @param {{siteId: string, submit: (line: string) => void, shown: () => void, interrupt: () => void,
 *   relayout: () => void, words: import('./words.js').Words}} page
 *   submit: the line goes to the program; shown: the field moved into view (the terminal follows);
 *   interrupt: Ctrl-C with nothing selected, as in the terminal; relayout: the terminal's room changed
 */
export function answerLine(elements, page) {
  const { form, field, question, toggle } = elements;
  const key = 'labsim:' + page.siteId + ':answer-line';
  const kept = readLocal(key);
  // Until the student chooses, the pointer decides.
  let on = kept === 'on' || kept === 'off' ? kept === 'on' : window.matchMedia('(pointer: coarse)').matches;
  toggle.checked = on;
  form.hidden = !on;
  toggle.addEventListener('change', () => {
    on = toggle.checked;
    form.hidden = !on;
    page.relayout();
    writeLocal(key, on ? 'on' : 'off');
    if (on) field.focus();
  });

  /** @param {string} hint  what the field says while it takes no text @param {boolean} takes */
  function state(hint, takes) {
    field.readOnly = !takes;
    field.placeholder = hint;
    field.setAttribute('aria-disabled', String(!takes));
  }
  state('', false);

  form.addEventListener('submit', (event) => {
    event.preventDefault();
    if (field.readOnly) return;
    const line = field.value;
    field.value = '';
    page.submit(line);
  });

  field.addEventListener('keydown', (event) => {
    if (event.ctrlKey && !event.altKey && !event.shiftKey && event.key.toLowerCase() === 'c' &&
        field.selectionStart === field.selectionEnd) {
      event.preventDefault();
      page.interrupt();
    }
  });

  // The on-screen keyboard takes the bottom of the window: the field, and the terminal's last
  // line above it, stay in what is left.
  const follow = () => {
    if (document.activeElement !== field) return;
    field.scrollIntoView({ block: 'nearest' });
    page.shown();
  };
  if (window.visualViewport) window.visualViewport.addEventListener('resize', follow);
  field.addEventListener('focus', () => setTimeout(follow, 300));

  return {
    /** whether the student answers here rather than in the terminal */
    on: () => on,
    focus: () => field.focus({ preventScroll: true }),
    /** @param {string} text  the program's question, the field's description */
    ask(text) {
      question.textContent = text;
      state(page.words('answer.yours'), true);
    },
    // Keys typed during a run are dropped by the programs, so the field takes none.
    running: () => state(page.words('answer.running'), false),
    ended: () => state(page.words('answer.ended'), false),
  };
}
