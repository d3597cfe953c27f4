// The notice that a run was cut short when its page closed. It is kept until the student has had
// it in front of them (a key or a tap while it shows), so that a second reload cannot lose it,
// and it names the file first, where a phone's two-line status shows it.
import { readLocalList, writeLocal } from './local.js';

/**
 * @param {string} siteId
 * @param {(text: string) => void} notice
 * @param {import('./words.js').Words} words
 */
export function cutShortNotice(siteId, notice, words) {
  const key = 'labsim:' + siteId + ':cut-short';
  let names = readLocalList(key);
  const keep = () => writeLocal(key, names.length ? names : null);
  function show() {
    if (!names.length) return;
    notice(words('cutShort', { count: names.length, files: names.join(', ') }));
  }
  function seen() {
    if (!names.length || document.visibilityState !== 'visible') return;
    names = [];
    keep();
  }
  window.addEventListener('keydown', seen, true);
  window.addEventListener('pointerdown', seen, true);
  return {
    show,
    /** @param {string} name  the file that now holds a cut-short run's readings */
    add(name) {
      names = names.filter((other) => other !== name).concat([name]);
      keep();
      show();
    },
  };
}
