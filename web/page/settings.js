// What an organiser's link sets up around the programs, read from the address's query (the
// fragment already says which program is on screen, and changes with every move): which programs
// are offered, exam mode, the tables' style, the round's name, the hand-in note, whether each
// student gives a name, the language. Every value is checked; what is not understood is named in
// a warning and its default used. No DOM: the set-up page writes links with the same names.

/** @typedef {import('./tables.js').Style} Style */
/**
 * @typedef {object} Settings
 * @property {string[]} programs  offered, in order
 * @property {string | null} open  shown first when the address names none
 * @property {boolean} exam  no guides and no link away from the page
 * @property {Style | null} tables  fixed for the class, or the browser's language decides
 * @property {string} round  the round's or lesson's name
 * @property {string} handin  where and how to hand in
 * @property {boolean} askName  each student gives a name or number, which names the hand-in
 * @property {string} lang  the page's language, of those it has
 * @property {string} wantedLang  the language the link asked for, when the page has not got it
 * @property {string[]} warnings  what the link said that the page could not use
 * @property {boolean} given  the link set anything at all
 */

/** The languages the page has. */
export const LANGUAGES = ['en'];
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
    lang: 'en', wantedLang: '', warnings: [], given: [...params.keys()].length > 0,
  };
  const seen = new Set();
  // A mistyped link can hold anything: what the banner repeats of it is short and on one line.
  /** @param {string} text */
  const quote = (text) => {
    const characters = [...text.replace(/[\u0000-\u001f\u007f-\u009f\u2028\u2029]/g, ' ')];
    return characters.length > 40 ? characters.slice(0, 40).join('') + '…' : characters.join('');
  };
  /** @param {string} key @param {string} value @param {string} why */
  const ignore = (key, value, why) => settings.warnings.push('Ignored from the link: ' + quote(key) + '=' + quote(value) + ' (' + why + ').');
  /** @type {Record<string, (value: string) => string | undefined>} each returns why a value is refused */
  const readers = {
    programs(value) {
      const names = value.split(',').map((name) => name.trim());
      const unknown = names.filter((name) => !onSite.includes(name));
      const kept = [...new Set(names.filter((name) => onSite.includes(name)))];
      if (!kept.length) return 'none of them is on this site: ' + onSite.join(', ');
      settings.programs = kept;
      if (unknown.length) ignore('programs', unknown.join(','), 'not on this site');
      return undefined;
    },
    open: (value) => (onSite.includes(value) ? void (settings.open = value) : 'not a program of this site'),
    exam: (value) => (words.yesNo.includes(value) ? void (settings.exam = value === 'yes') : 'yes or no'),
    tables: (value) => (words.tables.includes(value) ? void (settings.tables = /** @type {Style} */ (value)) : 'point or comma'),
    round: (value) => (plainText(value, ROUND_LENGTH) ? void (settings.round = value.trim())
      : 'one line of at most ' + ROUND_LENGTH + ' characters'),
    handin: (value) => (plainText(value, HANDIN_LENGTH) ? void (settings.handin = value.trim())
      : 'one line of at most ' + HANDIN_LENGTH + ' characters'),
    name: (value) => (words.name.includes(value) ? void (settings.askName = value === 'ask') : 'ask or no'),
    lang(value) {
      if (!/^[a-z]{2,3}(-[a-z0-9]{2,8})*$/i.test(value)) return 'a language tag such as en or pt-BR';
      // pt-BR falls back to pt, then to English.
      const parts = value.toLowerCase().split('-');
      const found = parts.map((_, i) => parts.slice(0, parts.length - i).join('-')).find((tag) => LANGUAGES.includes(tag));
      settings.lang = found || 'en';
      if (!found) settings.wantedLang = value;
      return undefined;
    },
  };
  for (const [key, value] of params) {
    if (!Object.prototype.hasOwnProperty.call(readers, key)) ignore(key, value, 'not a setting of this page');
    else if (seen.has(key)) ignore(key, value, 'given twice; the first is used');
    else {
      seen.add(key);
      const why = readers[key](value);
      if (why) ignore(key, value, why);
    }
  }
  if (settings.open && !settings.programs.includes(settings.open)) {
    ignore('open', settings.open, 'not one of the programs offered');
    settings.open = null;
  }
  if (settings.programs.length === 1) settings.open = settings.programs[0];
  if (settings.warnings.length > 5) {
    settings.warnings.splice(4, Infinity, 'Ignored from the link: ' + (settings.warnings.length - 4) + ' more settings.');
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
