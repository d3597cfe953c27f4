// The separators of the tables a student takes into a spreadsheet: the language's, or the ones
// last chosen here, for every page of the site.
import { styleOf } from './tables.js';

/** @typedef {import('./tables.js').Style} Style */

const WORDS = {
  point: ['Tables (CSV, Copy table) use commas and decimal points.', 'Use semicolons and decimal commas'],
  comma: ['Tables (CSV, Copy table) use semicolons and decimal commas.', 'Use commas and decimal points'],
};

/**
 * @param {string} siteId
 * @param {HTMLElement} box  its text, then the button that switches
 * @param {{changed: (style: Style) => void, backToTerminal: (event?: Event) => void}} page
 */
export function tableStyle(siteId, box, page) {
  const key = 'labsim:' + siteId + ':tables';
  const text = /** @type {HTMLElement} */ (box.querySelector('span'));
  const button = /** @type {HTMLButtonElement} */ (box.querySelector('button'));
  /** @returns {Style} */
  function read() {
    try {
      const chosen = localStorage.getItem(key);
      if (chosen === 'point' || chosen === 'comma') return chosen;
    } catch (error) {
      // A browser that keeps nothing still offers the language's style.
    }
    return styleOf(navigator.language);
  }
  let style = read();
  function show() {
    text.textContent = WORDS[style][0];
    button.textContent = WORDS[style][1];
  }
  show();
  button.addEventListener('click', (event) => {
    style = style === 'comma' ? 'point' : 'comma';
    try {
      localStorage.setItem(key, style);
    } catch (error) {
      // Kept for this visit only.
    }
    show();
    page.changed(style);
    // The next answer typed goes to the program, not to this button.
    page.backToTerminal(event);
  });
  return { current: () => style };
}
