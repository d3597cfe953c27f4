// The page's language: the organiser's link's, else the one chosen on the start page, else the
// first of the browser's that the page has, else English. Fills the page's own words, sets its
// direction (the terminal stays left to right: the programs speak English), and offers the
// languages on the start page, each named in itself.
import { LANGUAGES } from './languages.js';
import { readLocal, writeLocal } from './local.js';
import { matchLanguage, pageWords } from './words.js';

/**
 * A language a translator is trying out, loaded on the translators' page and kept for the site:
 * offered beside the others, and in their place where it has their tag.
 * @param {string} siteId
 * @returns {Record<string, import('./words.js').Language>}
 */
export function trialLanguage(siteId) {
  try {
    const trial = JSON.parse(readLocal(trialKey(siteId)) || 'null');
    if (trial && typeof trial.tag === 'string' && trial.facts && trial.page) {
      Intl.getCanonicalLocales(trial.tag);
      return { [trial.tag]: { facts: trial.facts, page: trial.page } };
    }
  } catch (error) {
    // None, or a damaged one: the page's own languages only.
  }
  return {};
}
/** @param {string} siteId */
export const trialKey = (siteId) => 'labsim:' + siteId + ':trial-language';
/** @param {string} siteId */
export const chosenKey = (siteId) => 'labsim:' + siteId + ':language';

/**
 * @param {string} siteId
 * @param {string} fromLink  the link's language, or '' where it sets none
 */
export function pageLanguage(siteId, fromLink) {
  const key = chosenKey(siteId);
  const chosen = readLocal(key);
  const languages = { ...LANGUAGES, ...trialLanguage(siteId) };
  const tag = fromLink || (chosen && languages[chosen] ? chosen
    : matchLanguage(navigator.languages && navigator.languages.length ? [...navigator.languages] : [navigator.language], Object.keys(LANGUAGES)));
  const language = pageWords(languages, tag);
  const { words } = language;
  document.documentElement.lang = tag;
  document.documentElement.dir = language.dir;

  /** @param {ParentNode} root */
  function fill(root) {
    root.querySelectorAll('[data-words]').forEach((element) => {
      const text = words(/** @type {string} */ (element.getAttribute('data-words')));
      // A sentence with a link in it: the link keeps its place wherever the language puts it.
      const slots = [...element.querySelectorAll('[data-slot]')];
      if (!slots.length) {
        element.textContent = text;
        return;
      }
      element.replaceChildren(...text.split(/\{(\w+)\}/).map((part, i) =>
        (i % 2 ? slots.find((slot) => slot.getAttribute('data-slot') === part) || part : part)));
    });
    root.querySelectorAll('[data-words-label]').forEach((element) =>
      element.setAttribute('aria-label', words(/** @type {string} */ (element.getAttribute('data-words-label')))));
    root.querySelectorAll('[data-words-alt]').forEach((element) =>
      element.setAttribute('alt', words(/** @type {string} */ (element.getAttribute('data-words-alt')))));
  }

  return {
    ...language,
    fill,
    /**
     * The start page's menu of languages; a choice is kept for the site and the page opens in it.
     * Where the organiser's link sets the language, there is none.
     * @param {HTMLSelectElement} select
     * @param {HTMLElement} status  says when this language's words are not yet reviewed
     */
    offer(select, status) {
      /** @type {HTMLElement} */ (select.parentElement).hidden = !!fromLink;
      for (const [code, { facts }] of Object.entries(languages)) {
        const option = new Option(facts.name, code, false, code === tag);
        option.lang = code;
        select.add(option);
      }
      status.hidden = !!languages[tag].facts.status.reviewed;
      select.addEventListener('change', () => {
        writeLocal(key, select.value);
        location.reload();
      });
    },
  };
}
