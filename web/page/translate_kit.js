// The translators' page: the English files to take away, and a translation loaded back, or a
// pseudo-language, tried on the page at once as a language of the site.
import { chosenKey, trialKey } from './language.js';
import { readLocal, writeLocal } from './local.js';
import { pseudoLanguage } from './words.js';

/** @typedef {import('./words.js').Messages} Messages */

/**
 * @param {(id: string) => HTMLElement} element
 * @param {{siteId: string, english: Messages, programWords: object, guide: string,
 *   words: import('./words.js').Words}} kit
 */
export function translationKit(element, kit) {
  const { words } = kit;
  const field = (/** @type {string} */ id) => /** @type {HTMLInputElement} */ (element(id));
  /** @param {string} id @param {string} text @param {string} type */
  const offer = (id, text, type) => {
    /** @type {HTMLAnchorElement} */ (element(id)).href = URL.createObjectURL(new Blob([text], { type }));
  };
  // One key a line, as the project keeps its files, so that a translation compares line by line.
  offer('kit-page', '{\n' + Object.entries(kit.english).map(([key, text]) => '  ' + JSON.stringify(key) + ': ' +
    JSON.stringify(text).replace(/","/g, '", "').replace(/":"/g, '": "')).join(',\n') + '\n}\n', 'application/json');
  offer('kit-programs', JSON.stringify(kit.programWords, null, 2) + '\n', 'application/json');
  offer('kit-guide', kit.guide, 'text/markdown');

  /** @param {string} tag @param {import('./words.js').Language} language @param {string} said */
  function tryOut(tag, language, said) {
    writeLocal(trialKey(kit.siteId), JSON.stringify({ tag, ...language }));
    writeLocal(chosenKey(kit.siteId), tag);
    element('kit-done').textContent = said;
    element('kit-open').hidden = readLocal(trialKey(kit.siteId)) === null;
  }

  field('kit-file').addEventListener('change', async () => {
    const file = /** @type {FileList} */ (field('kit-file').files)[0];
    const tag = field('kit-tag').value.trim();
    let canonical = '';
    try {
      canonical = Intl.getCanonicalLocales(tag)[0] || '';
    } catch (error) {
      canonical = '';
    }
    if (!file || !canonical) {
      element('kit-done').textContent = words('kit.needTag');
      return;
    }
    /** @type {Messages} */
    let page;
    try {
      page = JSON.parse(await file.text());
    } catch (error) {
      element('kit-done').textContent = words('kit.notJson', { file: file.name });
      return;
    }
    const keys = Object.keys(kit.english);
    const done = keys.filter((key) => {
      const text = page[key];
      return typeof text === 'string' ? text.trim() !== '' : !!text && typeof text === 'object' && Object.values(text).every((t) => typeof t === 'string' && t.trim());
    }).length;
    tryOut(canonical, {
      facts: { name: field('kit-name').value.trim() || canonical, dir: field('kit-rtl').checked ? 'rtl' : 'ltr', fallbacks: [],
        status: { drafted: 'a translator\'s trial', reviewed: null } },
      page,
    }, words('kit.done', { done, total: keys.length, percent: Math.floor((100 * done) / keys.length) }));
  });
  element('kit-accented').addEventListener('click', () => tryOut('en-XA', pseudoLanguage(kit.english, false), words('kit.pseudo')));
  element('kit-mirrored').addEventListener('click', () => tryOut('ar-XB', pseudoLanguage(kit.english, true), words('kit.pseudo')));
  element('kit-clear').addEventListener('click', () => {
    writeLocal(trialKey(kit.siteId), null);
    writeLocal(chosenKey(kit.siteId), null);
    element('kit-done').textContent = words('kit.cleared');
    element('kit-open').hidden = true;
  });
  element('kit-open').hidden = readLocal(trialKey(kit.siteId)) === null;
}
