// The separators of the tables a student takes into a spreadsheet: the language's, or the ones
// last chosen here, for every page of the site; or the class's, fixed by the organiser's link.
import { readLocal, writeLocal } from './local.js';
import { styleOf } from './tables.js';

/** @typedef {import('./tables.js').Style} Style */

const WORDS = {
  point: ['tables.point', 'tables.toComma'],
  comma: ['tables.comma', 'tables.toPoint'],
};

/**
 * @param {string} siteId
 * @param {HTMLElement} box  its text, then the button that switches
 * @param {{changed: (style: Style) => void, backToTerminal: (event?: Event) => void, words: import('./words.js').Words}} page
 * @param {Style | null} fixed
 */
export function tableStyle(siteId, box, page, fixed) {
  const key = 'labsim:' + siteId + ':tables';
  const text = /** @type {HTMLElement} */ (box.querySelector('span'));
  const button = /** @type {HTMLButtonElement} */ (box.querySelector('button'));
  if (fixed) {
    text.textContent = page.words(WORDS[fixed][0]) + ' ' + page.words('tables.fixed');
    button.hidden = true;
    return { current: () => fixed };
  }
  const chosen = readLocal(key);
  /** @type {Style} */
  let style = chosen === 'point' || chosen === 'comma' ? chosen : styleOf(navigator.language);
  function show() {
    text.textContent = page.words(WORDS[style][0]);
    button.textContent = page.words(WORDS[style][1]);
  }
  show();
  button.addEventListener('click', (event) => {
    style = style === 'comma' ? 'point' : 'comma';
    writeLocal(key, style);
    show();
    page.changed(style);
    // The next answer typed goes to the program, not to this button.
    page.backToTerminal(event);
  });
  return { current: () => style };
}
