// Turns a guide written in Markdown into a page of the site, readable offline from file://.
// Links to the other guides of the site lead to their pages; links to documents the site does not
// carry become plain text; pictures are taken from the site's images/ folder. A guide in
// i18n/TAG/ is written in that language, and in its direction.
// Usage: node make_guide.mjs GUIDE.md GUIDE.html [OTHER-GUIDE.md...]
import { existsSync, readFileSync, writeFileSync } from 'node:fs';
import { basename, dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { marked } from 'marked';

const [source, target, ...others] = process.argv.slice(2);
const pages = new Set([source, ...others].map((file) => file.replace(/^.*\//, '').replace(/\.md$/, '')));
const markdown = readFileSync(source, 'utf8');
const title = (markdown.match(/^# (.*)$/m) || [, 'Guide'])[1].replace(/`/g, '');
const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
const languages = join(dirname(fileURLToPath(import.meta.url)), '..', '..', 'i18n');
const tag = basename(dirname(dirname(source))) === 'i18n' ? basename(dirname(source)) : 'en';
const language = (file) => JSON.parse(readFileSync(join(languages, tag, file), 'utf8'));
const { dir } = language('facts.json');
const back = (existsSync(join(languages, tag, 'page.json')) && language('page.json')['setup.back']) || 'Back to the programs';

// The anchors GitHub gives headings, so that a guide's links to its own sections still work:
// letters of every script kept, other signs dropped.
const slug = (text) => text.toLowerCase().replace(/<[^>]*>/g, '').replace(/&[a-z]+;|&#\d+;/g, '').replace(/[^\p{L}\p{M}\p{N}_\- ]/gu, '').replace(/ /g, '-');
marked.use({
  renderer: {
    heading({ tokens, depth }) {
      const inner = this.parser.parseInline(tokens);
      return `<h${depth} id="${slug(inner)}">${inner}</h${depth}>\n`;
    },
    link({ href, title: linkTitle, tokens }) {
      const text = this.parser.parseInline(tokens);
      const guide = href.match(/^(?:[\w.-]*\/)*([\w-]+)\.md(#.*)?$/);
      if (guide && !pages.has(guide[1])) return text;
      const to = guide ? guide[1] + '.html' + (guide[2] || '') : href;
      const t = linkTitle ? ` title="${escape(linkTitle)}"` : '';
      return `<a href="${escape(to)}"${t}>${text}</a>`;
    },
    image({ href, text }) {
      return `<img src="images/${escape(href.replace(/^.*\//, ''))}" alt="${escape(text)}">`;
    },
  },
});

writeFileSync(target, `<!DOCTYPE html>
<html lang="${tag}" dir="${dir}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>${escape(title)}</title>
<link rel="icon" href="icons/icon.svg" type="image/svg+xml">
<style>
body { font-family: sans-serif; line-height: 1.45; max-width: 50rem; margin: 0 auto; padding: 0.5rem 1rem 2rem; color: #111; }
a { color: #0b4fb3; }
table { border-collapse: collapse; display: block; overflow-x: auto; }
th, td { border: 1px solid #999; padding: 0.2rem 0.5rem; vertical-align: top; text-align: left; }
pre { background: #f0f0f0; padding: 0.5rem; overflow-x: auto; }
code { font-size: 0.95em; direction: ltr; unicode-bidi: isolate; }
pre { direction: ltr; text-align: left; }
</style>
</head>
<body>
<p><a href="index.html">${escape(back)}</a></p>
<main>
${marked.parse(markdown)}</main>
</body>
</html>
`);
