// Every question and message the programs print, copied from their sources, so that the table
// that explains them in each language can never drift from what a student sees: each line as
// printed, a value shown as "…". The explanations are i18n/TAG/program-words.json, keyed by the
// line; each student guide ends with the table, and the page links to it.
// Usage: node program_words.mjs --write     the guides' tables made anew
//        node program_words.mjs --page TAG OUT.md   the table alone, as a page of the site
import { readFileSync, writeFileSync, existsSync, readdirSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
// Every source that prints words to the student; the results file's unit prints its warning.
const SOURCES = ['rodheat/dialogue/dialogue.cpp', 'rodheat/experiment/results_file.cpp', 'needlefield/needle.cpp'];
export const BEGIN = '<!-- program-words: made by web/tools/program_words.mjs from the programs\' sources -->';
export const END = '<!-- program-words end -->';

/** @returns {{program: string, text: string}[]} each printed line once, in the order of the sources */
export function printedLines() {
  const lines = [];
  for (const file of SOURCES) {
    const program = file.split('/')[0];
    const code = readFileSync(join(root, file), 'utf8').replace(/^\s*#.*$/gm, '').replace(/\/\/.*$/gm, '');
    /** @type {string[]} */
    let parts = [];
    let value = false;
    const done = () => {
      const text = parts.join('').replace(/%[-+ #0]*\d*(\.\d+)?[a-z]/g, '…');
      for (const line of text.split('\n').map((piece) => piece.trim())) {
        // Words, not a number's format or a rule of dashes; a record's column names are not printed.
        if (/^[^A-Za-z]*[A-Z]/.test(line) && (line.match(/[A-Za-z]{2,}/g) || []).length >= 2) {
          if (!lines.some((other) => other.text === line)) lines.push({ program, text: line });
        }
      }
      parts = [];
      value = false;
    };
    // Literals side by side are one; a value between literals of one output chain shows as "…".
    // A list in braces after a name (columns{"I (A)", ...}) holds data, never printed as such.
    let data = 0;
    let last = '';
    for (const [token, literal] of code.matchAll(/"((?:[^"\\]|\\.)*)"|<<|[,;(){}]|[^\s"<,;(){}]+|</g)) {
      const before = last;
      last = token;
      if (token === '{' && (data || /^\w+$/.test(before) && !['else', 'try', 'do', 'namespace', 'const'].includes(before))) data++;
      else if (token === '}' && data) data--;
      if (data) continue;
      if (literal !== undefined) {
        if (value && parts.length) parts.push('…');
        parts.push(literal.replace(/\\n/g, '\n').replace(/\\(.)/g, '$1'));
        value = false;
      } else if (/^[,;(){}]$/.test(token)) done();
      else if (token !== '<<' && parts.length && token !== 'std::endl') value = true;
    }
    done();
  }
  return lines;
}

/** @param {string} tag */
export function explanations(tag) {
  const file = join(root, 'i18n', tag, 'program-words.json');
  return existsSync(file) ? JSON.parse(readFileSync(file, 'utf8')) : null;
}

// A cell of a Markdown table: the printed line in backticks, as the guides quote it.
const cell = (text) => text.replace(/\|/g, '\\|');
/** @param {string} tag @param {number} depth  of the heading */
export function table(tag, depth) {
  const words = explanations(tag);
  const rows = printedLines().map(({ program, text }) => {
    const [means, todo] = words.texts[text] || ['', ''];
    return '| `' + program + '` | `' + text.replace(/`/g, "'") + '` | ' + cell(means) + ' | ' + cell(todo) + ' |';
  });
  return [BEGIN, '#'.repeat(depth) + ' ' + words.heading, '', words.intro, '',
    '| ' + words.columns.join(' | ') + ' |', '|' + words.columns.map(() => '---').join('|') + '|', ...rows, END].join('\n');
}

// Each student guide with explanations in its language: its tag and its file, from the root.
const guides = () => [['en', 'STUDENT-GUIDE.md']].concat(readdirSync(join(root, 'i18n'))
  .filter((tag) => existsSync(join(root, 'i18n', tag, 'STUDENT-GUIDE.md'))).map((tag) => [tag, join('i18n', tag, 'STUDENT-GUIDE.md')]))
  .filter(([tag]) => explanations(tag));

/** @param {string} guide @param {string} tag  the guide with its table made anew, at its end the first time */
function withTable(guide, tag) {
  const at = guide.indexOf(BEGIN);
  const kept = at < 0 ? guide.trimEnd() + '\n\n' : guide.slice(0, at);
  const after = at < 0 ? '' : guide.slice(guide.indexOf(END) + END.length).replace(/^\n/, '');
  return kept + table(tag, 2) + '\n' + after;
}

/** @returns {string[]} what is wrong with the tables and the explanations of every language */
export function problems() {
  const found = [];
  const lines = printedLines().map((line) => line.text);
  for (const tag of readdirSync(join(root, 'i18n'))) {
    const words = explanations(tag);
    if (!words) {
      found.push('i18n/' + tag + '/program-words.json: missing');
      continue;
    }
    for (const line of lines.filter((text) => !(text in words.texts))) found.push('i18n/' + tag + '/program-words.json: no "' + line + '"');
    for (const [text, pair] of Object.entries(words.texts)) {
      if (!lines.includes(text)) found.push('i18n/' + tag + '/program-words.json: the programs no longer print "' + text + '"');
      else if (!Array.isArray(pair) || pair.length !== 2 || pair.some((part) => typeof part !== 'string' || !part.trim())) {
        found.push('i18n/' + tag + '/program-words.json: "' + text + '" needs its meaning and what to do');
      }
    }
    if (!words.heading || !words.intro || !Array.isArray(words.columns) || words.columns.length !== 4) {
      found.push('i18n/' + tag + '/program-words.json: a heading, an intro and four column names are needed');
    }
  }
  for (const [tag, file] of guides()) {
    const guide = readFileSync(join(root, file), 'utf8');
    if (withTable(guide, tag) !== guide) {
      found.push(file + ': its table of what the programs print is not the current one (node web/tools/program_words.mjs --write)');
    }
  }
  return found;
}

const [command, tag, out] = process.argv.slice(2);
if (command === '--write') {
  for (const [code, file] of guides()) writeFileSync(join(root, file), withTable(readFileSync(join(root, file), 'utf8'), code));
} else if (command === '--page') {
  // A language not yet reviewed says so, as its guide and the start page do.
  const facts = JSON.parse(readFileSync(join(root, 'i18n', tag, 'facts.json'), 'utf8'));
  const draft = facts.status.reviewed ? '' : JSON.parse(readFileSync(join(root, 'i18n', tag, 'page.json'), 'utf8'))['intro.languageDraft'];
  const page = table(tag, 1).replace(BEGIN + '\n', '').replace('\n' + END, '');
  writeFileSync(out, (draft ? page.replace('\n\n', '\n\n' + draft + '\n\n') : page) + '\n');
}
