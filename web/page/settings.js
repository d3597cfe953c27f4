// What an organiser's link sets up around the programs, read from the address's query (the
// fragment already says which program is on screen, and changes with every move): which programs
// are offered, exam mode, the tables' style, the round's name, the hand-in note, whether each
// student gives a name, the language. Every value is checked; what is not understood is named in
// a warning and its default used. No DOM: the set-up page writes links with the same names.

import { LANGUAGES } from './languages.js';
import { matchLanguage } from './words.js';

/** @typedef {import('./tables.js').Style} Style */
/**
 * @typedef {{setting: string, why: string, values?: Record<string, string | number>} | {more: number}} Warning
 *   setting: what the link said, shortened; why: the key of the reason, with its values
 */
/**
 * @typedef {object} Settings
 * @property {string[]} programs  offered, in order
 * @property {string | null} open  shown first when the address names none
 * @property {boolean} exam  no guides and no link away from the page
 * @property {Style | null} tables  fixed for the class, or the browser's language decides
 * @property {string} round  the round's or lesson's name
 * @property {string} handin  where and how to hand in
 * @property {boolean} askName  each student gives a name or number, which names the hand-in
 * @property {string} lang  the page's language, of those it has, or '' where the link sets none
 * @property {string} wantedLang  the language the link asked for, when the page has not got it
 * @property {Warning[]} warnings  what the link said that the page could not use
 * @property {boolean} given  the link set anything at all
 */

export const ROUND_LENGTH = 60;
export const HANDIN_LENGTH = 200;

const words = {
  yesNo: ['yes', 'no'],
  tables: ['point', 'comma'],
  name: ['ask', 'no'],
};
// Text a student sees in the banner and the hand-in: printable, on one line.
const plainText = (/** @type {string} */ text, /** @type {number} */ most) =>
  text.trim() !== '' && [...text.trim()].length <= most && !/[\u0000-\u001f\u007f-\u009f\u2028\u2029]/.test(text);

/**
 * @param {string} query  the address's query, with or without its '?'
 * @param {string[]} onSite  the programs this site has, in its order
 * @returns {Settings}
 */
export function readSettings(query, onSite) {
  const params = new URLSearchParams(query);
  /** @type {Settings} */
  const settings = {
    programs: onSite.slice(), open: null, exam: false, tables: null, round: '', handin: '', askName: false,
    lang: '', wantedLang: '', warnings: [], given: [...params.keys()].length > 0,
  };
  const seen = new Set();
  // A mistyped link can hold anything: what the banner repeats of it is short and on one line.
  /** @param {string} text */
  const quote = (text) => {
    const characters = [...text.replace(/[\u0000-\u001f\u007f-\u009f\u2028\u2029]/g, ' ')];
    return characters.length > 40 ? characters.slice(0, 40).join('') + '…' : characters.join('');
  };
  /** @param {string} key @param {string} value @param {string} why @param {Record<string, string | number>} [values] */
  const ignore = (key, value, why, values) => settings.warnings.push({ setting: quote(key) + '=' + quote(value), why, values });
  /** @typedef {string | [string, Record<string, string | number>] | undefined} Refusal  why a value is refused */
  /** @type {Record<string, (value: string) => Refusal>} */
  const readers = {
    programs(value) {
      const names = value.split(',').map((name) => name.trim());
      const unknown = names.filter((name) => !onSite.includes(name));
      const kept = [...new Set(names.filter((name) => onSite.includes(name)))];
      if (!kept.length) return ['link.noneOnSite', { programs: onSite.join(', ') }];
      settings.programs = kept;
      if (unknown.length) ignore('programs', unknown.join(','), 'link.notOnSite');
      return undefined;
    },
    open: (value) => (onSite.includes(value) ? void (settings.open = value) : 'link.notAProgram'),
    exam: (value) => (words.yesNo.includes(value) ? void (settings.exam = value === 'yes') : 'link.yesNo'),
    tables: (value) => (words.tables.includes(value) ? void (settings.tables = /** @type {Style} */ (value)) : 'link.pointComma'),
    round: (value) => (plainText(value, ROUND_LENGTH) ? void (settings.round = value.trim())
      : ['link.oneLine', { count: ROUND_LENGTH }]),
    handin: (value) => (plainText(value, HANDIN_LENGTH) ? void (settings.handin = value.trim())
      : ['link.oneLine', { count: HANDIN_LENGTH }]),
    name: (value) => (words.name.includes(value) ? void (settings.askName = value === 'ask') : 'link.askNo'),
    lang(value) {
      if (!/^[a-z]{2,3}(-[a-z0-9]{2,8})*$/i.test(value)) return 'link.languageTag';
      // pt-BR falls back to pt, then to English.
      const available = Object.keys(LANGUAGES);
      settings.lang = matchLanguage([value], available);
      if (settings.lang === 'en' && !/^en(-|$)/i.test(value)) settings.wantedLang = value;
      return undefined;
    },
  };
  for (const [key, value] of params) {
    if (!Object.prototype.hasOwnProperty.call(readers, key)) ignore(key, value, 'link.unknown');
    else if (seen.has(key)) ignore(key, value, 'link.twice');
    else {
      seen.add(key);
      const why = readers[key](value);
      if (typeof why === 'string') ignore(key, value, why);
      else if (why) ignore(key, value, why[0], why[1]);
    }
  }
  if (settings.open && !settings.programs.includes(settings.open)) {
    ignore('open', settings.open, 'link.notOffered');
    settings.open = null;
  }
  if (settings.programs.length === 1) settings.open = settings.programs[0];
  if (settings.warnings.length > 5) {
    settings.warnings.splice(4, Infinity, { more: settings.warnings.length - 4 });
  }
  return settings;
}

/**
 * The query of a link that sets these, with nothing that is the default.
 * @param {Partial<Settings>} settings
 * @param {string[]} onSite
 */
export function settingsQuery(settings, onSite) {
  const params = new URLSearchParams();
  if (settings.programs && settings.programs.join() !== onSite.join()) params.set('programs', settings.programs.join(','));
  if (settings.open && (settings.programs || onSite).length > 1) params.set('open', settings.open);
  if (settings.exam) params.set('exam', 'yes');
  if (settings.tables) params.set('tables', settings.tables);
  if (settings.round && settings.round.trim()) params.set('round', settings.round.trim());
  if (settings.handin && settings.handin.trim()) params.set('handin', settings.handin.trim());
  if (settings.askName) params.set('name', 'ask');
  if (settings.lang) params.set('lang', settings.lang);
  // The only setting ever given may be "as usual": such a link still replaces a kept one.
  if (![...params.keys()].length) params.set('exam', 'no');
  return '?' + params.toString().replace(/\+/g, '%20');
}
