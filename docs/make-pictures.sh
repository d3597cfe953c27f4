#!/usr/bin/env bash
# Makes the README's pictures again: docs/images/web-page.png, the page at a laptop's 1366x625
# after a short rodheat run, and docs/images/profile.png, rodheat-profile's debug.svg as drawn by
# a browser. Needs what `make test-web` needs (tools/packages.sh web browsers).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/packages.sh web browsers
make --no-print-directory build web >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && "$OLDPWD/build/bin/rodheat-profile" >/dev/null)
NODE_PATH=web/node_modules node - "$work" <<'SCRIPT'
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');
const work = process.argv[2];
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
(async () => {
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: path.join(work, 'profile'),
    args: (process.getuid() === 0 ? ['--no-sandbox'] : []).concat(['--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run']),
  });
  const page = await browser.newPage();
  await page.setViewport({ width: 860, height: 540 });
  const svg = fs.readFileSync(path.join(work, 'debug.svg'), 'utf8').replace(/<\?xml[^>]*>/, '');
  await page.setContent('<body style="margin:0">' + svg + '</body>');
  await page.screenshot({ path: 'docs/images/profile.png' });

  await page.setViewport({ width: 1366, height: 625 });
  await page.goto('file://' + path.resolve('build-web/site/index.html') + '#rodheat');
  await page.waitForFunction(() => /waiting for your answer/.test(document.getElementById('status').textContent));
  for (const answer of ['150', '600', '0 60', '10', '2 5 10 15 25', 'run1', '']) {
    await page.keyboard.type(answer, { delay: 10 });
    await page.keyboard.press('Enter');
    await pause(100);
  }
  await page.waitForFunction(() => /Saved run1\.txt/.test(document.getElementById('status').textContent), { timeout: 30000 });
  await pause(500);
  await page.screenshot({ path: 'docs/images/web-page.png' });
  await browser.close();
})().catch((error) => { console.error(error); process.exit(1); });
SCRIPT
echo "docs/images/web-page.png and docs/images/profile.png made"
