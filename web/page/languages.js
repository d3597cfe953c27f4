// The languages the page has: each one's facts and message file, bundled with the page, which
// opened from the file system could fetch neither.
import enFacts from '../../i18n/en/facts.json';
import enPage from '../../i18n/en/page.json';
import deFacts from '../../i18n/de/facts.json';
import dePage from '../../i18n/de/page.json';
import frFacts from '../../i18n/fr/facts.json';
import frPage from '../../i18n/fr/page.json';
import esFacts from '../../i18n/es/facts.json';
import esPage from '../../i18n/es/page.json';
import ptFacts from '../../i18n/pt/facts.json';
import ptPage from '../../i18n/pt/page.json';
import ruFacts from '../../i18n/ru/facts.json';
import ruPage from '../../i18n/ru/page.json';
import zhHansFacts from '../../i18n/zh-Hans/facts.json';
import zhHansPage from '../../i18n/zh-Hans/page.json';
import arFacts from '../../i18n/ar/facts.json';
import arPage from '../../i18n/ar/page.json';

/** @typedef {import('./words.js').Facts} Facts */
/** @type {Record<string, import('./words.js').Language>} */
export const LANGUAGES = {
  en: { facts: /** @type {Facts} */ (enFacts), page: enPage },
  de: { facts: /** @type {Facts} */ (deFacts), page: dePage },
  fr: { facts: /** @type {Facts} */ (frFacts), page: frPage },
  es: { facts: /** @type {Facts} */ (esFacts), page: esPage },
  pt: { facts: /** @type {Facts} */ (ptFacts), page: ptPage },
  ru: { facts: /** @type {Facts} */ (ruFacts), page: ruPage },
  'zh-Hans': { facts: /** @type {Facts} */ (zhHansFacts), page: zhHansPage },
  ar: { facts: /** @type {Facts} */ (arFacts), page: arPage },
};
