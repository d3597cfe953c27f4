// Turns a guide written in Markdown into a page of the site, readable offline from file://.
// Usage: node make_guide.mjs GUIDE.md GUIDE.html
import { readFileSync, writeFileSync } from 'node:fs';
import { marked } from 'marked';

const [source, target] = process.argv.slice(2);
const markdown = readFileSync(source, 'utf8');
const title = (markdown.match(/^# (.*)$/m) || [, 'Guide'])[1].replace(/`/g, '');
const escape = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');

// The anchors GitHub gives headings, so that a guide's links to its own sections still work.
const slug = (text) => text.toLowerCase().replace(/<[^>]*>/g, '').replace(/[^\w\- ]/g, '').replace(/ /g, '-');
marked.use({
  renderer: {
    heading({ tokens, depth }) {
      const inner = this.parser.parseInline(tokens);
      return `<h${depth} id="${slug(inner)}">${inner}</h${depth}>\n`;
    },
    link({ href, title: linkTitle, tokens }) {
      // The other guides are pages of the site too.
      const to = href.replace(/^([\w-]+)\.md(#|$)/, '$1.html$2');
      const t = linkTitle ? ` title="${escape(linkTitle)}"` : '';
      return `<a href="${escape(to)}"${t}>${this.parser.parseInline(tokens)}</a>`;
    },
  },
});

writeFileSync(target, `<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>${escape(title)}</title>
<style>
body { font-family: sans-serif; line-height: 1.45; max-width: 50rem; margin: 0 auto; padding: 0.5rem 1rem 2rem; color: #111; }
a { color: #0b4fb3; }
table { border-collapse: collapse; display: block; overflow-x: auto; }
th, td { border: 1px solid #999; padding: 0.2rem 0.5rem; vertical-align: top; text-align: left; }
pre { background: #f0f0f0; padding: 0.5rem; overflow-x: auto; }
code { font-size: 0.95em; }
</style>
</head>
<body>
<p><a href="index.html">Back to the programs</a></p>
<main>
${marked.parse(markdown)}</main>
</body>
</html>
`);
