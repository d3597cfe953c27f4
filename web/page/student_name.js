// A name or number each student gives once at the start of a round, which then names the
// hand-in. Kept by the tab alone, through reloads: on a lab's shared computer the next student
// opens a new one, and must not hand in under the last one's name. Where the browser refuses
// the tab its storage, a reload asks again.
import { readLocal, writeLocal } from './local.js';

const tab = () => sessionStorage;
/** @param {string} key */
const readTab = (key) => readLocal(key, tab) || '';

/**
 * @param {HTMLFormElement} form  a field and a button
 * @param {string} siteId
 * @param {string} round
 */
export function studentName(form, siteId, round) {
  const key = 'labsim:' + siteId + ':name:' + round;
  const field = /** @type {HTMLInputElement} */ (form.querySelector('input'));
  return {
    known: () => readTab(key),
    /**
     * Asks, unless it is known; the page waits meanwhile.
     * @param {(shown: boolean) => void} shown  the form is shown, or done with
     * @returns {Promise<string>}
     */
    ask(shown) {
      const known = readTab(key);
      if (known) return Promise.resolve(known);
      form.hidden = false;
      shown(true);
      field.focus();
      return new Promise((resolve) => {
        form.addEventListener('submit', function given(event) {
          event.preventDefault();
          const name = field.value.replace(/\s+/g, ' ').trim();
          if (!name) return;
          form.removeEventListener('submit', given);
          writeLocal(key, name, tab);
          form.hidden = true;
          shown(false);
          resolve(name);
        });
      });
    },
  };
}
