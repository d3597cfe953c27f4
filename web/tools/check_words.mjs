// The page's words and the student guide in every language, checked without a browser: each
// language's facts; its message file with exactly the English keys, the same placeholders and no
// empty text; the guides with the English one's sections in its order and its code unchanged;
// every language in the page's bundle; no text of the page written outside the message files; and
// each language's explanation of every line the programs print, and the guides' tables of them.
// Usage: node web/tools/check_words.mjs
import { readFileSync, readdirSync, existsSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { problems as programWordsProblems } from './program_words.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const i18n = join(root, 'i18n');
const page = join(root, 'web', 'page');
const problems = [];
const read = (...parts) => readFileSync(join(...parts), 'utf8');
const json = (...parts) => JSON.parse(read(...parts));
const placeholders = (text) => [...text.matchAll(/\{(\w+)\}/g)].map((match) => match[1]).sort();
const variants = (message) => (typeof message === 'string' ? { other: message } : message);

const tags = readdirSync(i18n, { withFileTypes: true }).filter((entry) => entry.isDirectory()).map((entry) => entry.name).sort();
const english = json(i18n, 'en', 'page.json');
const bundled = read(page, 'languages.js');
for (const tag of tags) {
  const where = 'i18n/' + tag + '/';
  const facts = json(i18n, tag, 'facts.json');
  if (!facts.name || !['ltr', 'rtl'].includes(facts.dir) || !Array.isArray(facts.fallbacks) ||
      facts.fallbacks.some((other) => !tags.includes(other)) || !facts.status || !facts.status.drafted ||
      !(facts.status.reviewed === null || (facts.status.reviewed.by && facts.status.reviewed.on))) {
    problems.push(where + 'facts.json: a name, a direction (ltr or rtl), fallbacks among ' + tags.join(' ') +
      ', and a status (drafted; reviewed null or by and on) are needed');
  }
  if (!bundled.includes("'../../i18n/" + tag + "/page.json'")) problems.push(where + ': not among the page\'s languages in web/page/languages.js');
  if (!existsSync(join(i18n, tag, 'page.json'))) {
    problems.push(where + 'page.json: missing');
    continue;
  }
  const messages = json(i18n, tag, 'page.json');
  const categories = new Intl.PluralRules(tag).resolvedOptions().pluralCategories;
  for (const key of Object.keys(english).filter((key) => !(key in messages))) problems.push(where + 'page.json: no ' + key);
  for (const [key, message] of Object.entries(messages)) {
    if (!(key in english)) {
      problems.push(where + 'page.json: ' + key + ' is not an English key');
      continue;
    }
    const wanted = placeholders(variants(english[key]).other).join();
    for (const [category, text] of Object.entries(variants(message))) {
      if (typeof text !== 'string' || !text.trim()) problems.push(where + 'page.json: ' + key + ' (' + category + ') is empty');
      // A plural's other forms may leave out the number their words already say.
      else if (category === 'other' ? placeholders(text).join() !== wanted : placeholders(text).some((name) => !wanted.split(',').includes(name))) {
        problems.push(where + 'page.json: ' + key + ' (' + category + ') has the placeholders ' + placeholders(text).join() + ', not ' + wanted);
      }
    }
    if (typeof message !== 'string' && typeof english[key] !== 'string') {
      const missing = categories.filter((category) => !(category in message));
      if (!('other' in message) || (missing.length && tag !== 'en')) problems.push(where + 'page.json: ' + key + ' lacks the plural forms ' + missing.join());
    }
  }
}

// The guides: the English one's headings, level by level and in order, and its code as it is.
const headings = (text) => [...text.replace(/```[\s\S]*?```/g, '').matchAll(/^(#+) /gm)].map((match) => match[1].length).join();
// Code blocks in order; inline code as a set, which a sentence of another language may reorder.
const code = (text) => {
  const blocks = [...text.matchAll(/```[\s\S]*?```/g)].map((match) => match[0]);
  const inline = [...text.replace(/```[\s\S]*?```/g, '').matchAll(/`[^`]+`/g)].map((match) => match[0].replace(/\s+/g, ' ')).sort();
  return blocks.concat(inline).join('\n');
};
const source = read(root, 'STUDENT-GUIDE.md');
for (const tag of tags.filter((tag) => existsSync(join(i18n, tag, 'STUDENT-GUIDE.md')))) {
  const where = 'i18n/' + tag + '/STUDENT-GUIDE.md';
  const guide = read(i18n, tag, 'STUDENT-GUIDE.md');
  if (headings(guide) !== headings(source)) problems.push(where + ': its headings are not the English guide\'s, level by level');
  if (code(guide) !== code(source)) problems.push(where + ': its code and backticked texts differ from the English guide\'s');
  if (!json(i18n, tag, 'facts.json').status.reviewed && !guide.includes('<!-- status -->')) {
    problems.push(where + ': not reviewed yet, and it does not say so under <!-- status -->');
  }
}

// The page's own text is all in the message files: in the HTML, each text sits in an element
// that names its key; in the modules, no string reads as a sentence.
for (const file of ['index.html', 'setup.html', 'translate.html']) {
  const html = read(page, file).replace(/<script[\s\S]*?<\/script>|<style[\s\S]*?<\/style>/g, '');
  for (const match of html.matchAll(/<(\w+)([^>]*)>([^<]*[A-Za-z][^<]*)</g)) {
    if (!/data-words=/.test(match[2]) && !/^\s*$/.test(match[3])) problems.push('web/page/' + file + ': "' + match[3].trim().slice(0, 40) + '" is not from the message files');
  }
  for (const match of html.matchAll(/data-words(?:-label|-alt)?="([^"]+)"/g)) {
    if (!(match[1] in english)) problems.push('web/page/' + file + ': no English text for ' + match[1]);
  }
}
const modules = readdirSync(page).filter((file) => file.endsWith('.js'));
const sources = modules.map((file) => read(page, file)).join('\n') + read(root, 'web', 'CMakeLists.txt') + read(page, 'index.html') + read(page, 'setup.html') + read(page, 'translate.html');
for (const file of modules) {
  const text = read(page, file).replace(/^\s*(\/\/|\*|\/\*).*$/gm, '');
  for (const match of text.matchAll(/'((?:[^'\\\n]|\\.)*)'/g)) {
    if (/^[A-Z][a-z]+[,.:;]? [A-Za-z]{2,}/.test(match[1])) problems.push('web/page/' + file + ': \'' + match[1].slice(0, 50) + '\' reads as text outside the message files');
  }
}
// Each English key is asked for somewhere, whole or as a program's title and description.
for (const key of Object.keys(english)) {
  if (!sources.includes("'" + key + "'") && !sources.includes('"' + key + '"') && !sources.includes(' ' + key + ')') &&
      !/^program\.[\w-]+\.(title|about)$/.test(key)) problems.push('i18n/en/page.json: ' + key + ' is never used');
}

problems.push(...programWordsProblems());
for (const problem of problems) console.log(problem);
console.log(problems.length ? 'words: ' + problems.length + ' problems above' : 'words: ' + tags.length + ' languages, ' +
  Object.keys(english).length + ' keys each, guides in ' + tags.filter((tag) => existsSync(join(i18n, tag, 'STUDENT-GUIDE.md'))).join(' '));
process.exitCode = problems.length ? 1 : 0;
