// The last step of the site's build: names its version after the content of every file, so
// that any change makes a new one, and writes the service worker that keeps that version.
// Usage: node make_offline.mjs SITE_DIR SERVICE_WORKER_SOURCE
import { createHash } from 'node:crypto';
import { appendFileSync, readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { join, relative, sep } from 'node:path';

const [site, source] = process.argv.slice(2);
const walk = (dir) => readdirSync(dir, { withFileTypes: true }).flatMap((entry) =>
  (entry.isDirectory() ? walk(join(dir, entry.name)) : [join(dir, entry.name)]));
const files = walk(site).map((file) => relative(site, file).split(sep).join('/'))
  .filter((file) => file !== 'sw.js').sort();
const hash = createHash('sha256');
for (const file of files) hash.update(file + '\0').update(readFileSync(join(site, file))).update('\0');
const version = hash.digest('hex').slice(0, 16);
appendFileSync(join(site, 'programs', 'site.js'), 'window.labsimSite.version = "' + version + '";\n');
writeFileSync(join(site, 'sw.js'), 'const SITE = ' + JSON.stringify({ version, files }) + ';\n' +
  readFileSync(source, 'utf8'));
