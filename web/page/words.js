// Every word the page shows or announces, in the student's language: looked up by its purpose in
// the language's message file, then in English, so that a missing one is never a blank or a key.
// No DOM: the checks and the translators' page use it as the page does.

/** @typedef {string | Record<string, string>} Message  a text, or one per plural category ('one', 'other', ...) */
/** @typedef {Record<string, Message>} Messages */
/**
 * @typedef {object} Facts
 * @property {string} name  the language's name in itself
 * @property {'ltr' | 'rtl'} dir
 * @property {string[]} fallbacks  the languages to look in, in order, after this one; English last
 * @property {{drafted: string, reviewed: {by: string, on: string} | null}} status
 */
/** @typedef {{facts: Facts, page: Messages}} Language */
/** @typedef {(key: string, values?: Record<string, string | number>) => string} Words  a text of the page by its purpose */

// First-strong isolates keep a number or a file's name in its own order inside a sentence
// written the other way.
const ISOLATE = ['\u2068', '\u2069'];

/**
 * @param {Record<string, Language>} languages  by tag, English among them
 * @param {string} tag  one of them
 */
export function pageWords(languages, tag) {
  const language = languages[tag] || languages.en;
  const chain = [tag].concat(language.facts.fallbacks, ['en']).filter((code, i, all) => languages[code] && all.indexOf(code) === i);
  const rtl = language.facts.dir === 'rtl';
  const numbers = new Intl.NumberFormat(tag);

  /**
   * @param {string} key
   * @param {Record<string, string | number>} [values]  named placeholders; 'count' chooses the plural
   * @returns {string}
   */
  function words(key, values = {}) {
    for (const code of chain) {
      const message = languages[code].page[key];
      if (message === undefined || message === '') continue;
      let text = typeof message === 'string' ? message
        : message[new Intl.PluralRules(code).select(Number(values.count))] || message.other;
      if (text === undefined) continue;
      text = text.replace(/\{(\w+)\}/g, (whole, name) => {
        if (!(name in values)) return whole;
        const value = values[name];
        const shown = typeof value === 'number' ? numbers.format(value) : value;
        return rtl && shown !== '' ? ISOLATE[0] + shown + ISOLATE[1] : shown;
      });
      return text;
    }
    return key;
  }
  return {
    tag,
    name: language.facts.name,
    dir: language.facts.dir,
    words,
    /** @param {number} n */
    number: (n) => numbers.format(n),
    /** @param {number} time  a moment, as the student's clock shows it */
    dateTime: (time) => new Intl.DateTimeFormat(tag, { dateStyle: 'medium', timeStyle: 'medium' }).format(time),
  };
}

/**
 * The language a student expects: the one asked for, else the first of theirs that the page has,
 * a regional one falling back to its language (pt-BR to pt), else English.
 * @param {string[]} wanted  in order
 * @param {string[]} available
 */
export function matchLanguage(wanted, available) {
  const lower = available.map((tag) => tag.toLowerCase());
  for (const tag of wanted) {
    const parts = tag.toLowerCase().split('-');
    for (let n = parts.length; n > 0; n--) {
      const at = lower.indexOf(parts.slice(0, n).join('-'));
      if (at >= 0) return available[at];
    }
    // Chinese written in Simplified characters, however the browser names it.
    if (parts[0] === 'zh' && !parts.some((part) => part === 'hant' || part === 'tw' || part === 'hk' || part === 'mo')) {
      const at = lower.indexOf('zh-hans');
      if (at >= 0) return available[at];
    }
  }
  return 'en';
}

/** @type {Record<string, string>} */
const ACCENTED = { a: 'á', b: 'ƀ', c: 'ç', d: 'ð', e: 'é', g: 'ĝ', h: 'ĥ', i: 'í', j: 'ĵ', k: 'ķ', l: 'ļ', n: 'ñ', o: 'ö', r: 'ŕ', s: 'š', t: 'ţ',
  u: 'ú', w: 'ŵ', y: 'ý', z: 'ž', A: 'Å', C: 'Ç', D: 'Ð', E: 'É', I: 'Î', N: 'Ñ', O: 'Ö', S: 'Š', U: 'Û', Y: 'Ý' };

/**
 * A pseudo-language made from the English words, to find what is left untranslated and what a
 * longer language would clip: every letter accented, each text a third longer and bracketed; or
 * the same shown right to left, each text mirrored as a right-to-left script would run.
 * @param {Messages} english
 * @param {boolean} rightToLeft
 * @returns {Language}
 */
export function pseudoLanguage(english, rightToLeft) {
  /** @param {string} text */
  const pseudo = (text) => {
    const accented = text.split(/(\{\w+\})/).map((part, i) => (i % 2 ? part : part.replace(/[A-Za-z]/g, (letter) => ACCENTED[letter] || letter))).join('');
    // Padded with short words, as a longer language would be, which wrap where words wrap.
    const longer = '⟦' + accented + ' ~~~~'.repeat(Math.ceil(text.length / 15)) + '⟧';
    return rightToLeft ? '\u202e' + longer + '\u202c' : longer;
  };
  /** @type {Messages} */
  const page = {};
  for (const [key, message] of Object.entries(english)) {
    page[key] = typeof message === 'string' ? pseudo(message)
      : Object.fromEntries(Object.entries(message).map(([category, text]) => [category, pseudo(text)]));
  }
  return {
    facts: { name: rightToLeft ? '⟦Pšéúðö ŕţļ⟧' : '⟦Pšéúðö⟧', dir: rightToLeft ? 'rtl' : 'ltr', fallbacks: [],
      status: { drafted: 'made from the English words', reviewed: null } },
    page,
  };
}
