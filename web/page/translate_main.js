// The translators' page of the teacher's site, composed.
import programWords from '../../i18n/en/program-words.json';
import guide from '../../STUDENT-GUIDE.md';
import { pageLanguage } from './language.js';
import { LANGUAGES } from './languages.js';
import { translationKit } from './translate_kit.js';

/** @type {import('./main.js').Site} */
const site = /** @type {any} */ (window).labsimSite;
const language = pageLanguage(site.id, '');
language.fill(document);
translationKit((id) => /** @type {HTMLElement} */ (document.getElementById(id)), {
  siteId: site.id, english: LANGUAGES.en.page, programWords, guide, words: language.words,
});
