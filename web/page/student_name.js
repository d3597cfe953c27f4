// A name or number each student gives once at the start of a round, which then names the
// hand-in. Kept by the tab alone, through reloads: on a lab's shared computer the next student
// opens a new one, and must not hand in under the last one's name.

/** @param {string} key @returns {string} */
function readTab(key) {
  try {
    return sessionStorage.getItem(key) || '';
  } catch (error) {
    return '';
  }
}
/** @param {string} key @param {string} value */
function writeTab(key, value) {
  try {
    sessionStorage.setItem(key, value);
  } catch (error) {
    // Asked again after a reload, then.
  }
}

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
          writeTab(key, name);
          form.hidden = true;
          shown(false);
          resolve(name);
        });
      });
    },
  };
}
