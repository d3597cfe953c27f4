// Writes the third-party notices: every package the lock file installs for the page itself (not
// the build's and the checks' tools), with its licence text, read from its folder in
// node_modules. Made from the lock at every build, so the list follows every change of it.
// A package that ships no licence file but declares MIT gets the MIT text of the project's own
// LICENSE under the copyright lines of its code; any other such package stops the build.
// Usage: node make_notices.mjs WEB_DIR LICENSE OUT
import { existsSync, readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

const [web, projectLicense, out] = process.argv.slice(2);
const lock = JSON.parse(readFileSync(join(web, 'package-lock.json'), 'utf8'));
const mitText = readFileSync(projectLicense, 'utf8').replace(/^[^]*?(?=^Permission is hereby)/m, '');

const licenseText = (folder, name, declared) => {
  const file = readdirSync(folder).sort().find((entry) => /^(licen[cs]e|copying)(\.(md|txt))?$/i.test(entry));
  if (file) return readFileSync(join(folder, file), 'utf8').trim();
  const meta = JSON.parse(readFileSync(join(folder, 'package.json'), 'utf8'));
  const code = [meta.module, meta.main].find((entry) => entry && existsSync(join(folder, entry)));
  const holders = code ? readFileSync(join(folder, code), 'utf8').split('\n').slice(0, 40)
    .map((line) => line.replace(/^[\s/*]*/, '')).filter((line) => /^Copyright\b/.test(line)) : [];
  if (declared !== 'MIT' || holders.length === 0) {
    throw new Error(`${name}: no licence file, and no MIT copyright line in its code to go with one`);
  }
  return `${holders.join('\n')}\n\n${mitText}`.trim();
};

const packages = Object.entries(lock.packages)
  .filter(([path, entry]) => path !== '' && !entry.dev)
  .map(([path, entry]) => ({ path, name: path.replace(/^.*node_modules\//, ''), ...entry }))
  .sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0));
const rule = '-'.repeat(72);
const sections = packages.map(({ path, name, version, license }) =>
  `${rule}\n${name} ${version} (${license || 'licence in its text'})\n${rule}\n\n` +
  `${licenseText(join(web, path), name, license)}\n`);
writeFileSync(out, 'Third-party notices\n\n' +
  'labsim\'s web page bundles the code of these packages, each under the licence that follows\n' +
  'its name. The same list ships with every kit and package, so that one file answers for all of\n' +
  'them; the programs rodheat, needlefield and rodheat-profile contain none of this code.\n\n' +
  `${sections.join('\n')}`);
