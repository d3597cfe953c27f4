'use strict';
// The web programs under Node against the native ones on the same answers, then one whole
// session in each browser, typed key by key. Usage: node web/test/check.js NATIVE_BIN WEB_BUILD
const { execFileSync, spawn, spawnSync } = require('child_process');
const crypto = require('crypto');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const url = require('url');
const vm = require('vm');
const puppeteer = require('puppeteer-core');

const [nativeBin, webBuild] = process.argv.slice(2).map((p) => path.resolve(p));
// debug.csv's bytes on every platform: tests/test_profile.cpp pins the same sha256 for the native
// programs, so a change to the model changes both.
const CSV_SHA256 = '8a855d54140b8be887e307daa0ab27795ffe9409bd56fc5a1d3741460a6ec16c';
const counts = { passed: 0, failed: 0 };
function check(name, ok, detail) {
  counts[ok ? 'passed' : 'failed']++;
  console.log((ok ? 'ok   ' : 'FAIL ') + name + (ok || detail === undefined ? '' : ': ' + detail));
}
// The scratch folder of this run, removed at its end.
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'labsim-web-'));
// Debian's Python, with its numpy and pandas, where another python3 comes first on the path.
function python() {
  for (const candidate of ['python3', '/usr/bin/python3']) {
    try {
      execFileSync(candidate, ['-c', 'import numpy, pandas'], { stdio: 'ignore' });
      return candidate;
    } catch (error) {
      // The next one, then.
    }
  }
  return 'python3';
}
const sha256 = (data) => crypto.createHash('sha256').update(data).digest('hex');
// Readings carry the model's noise and the needle's angle its random error; all else must match.
const maskReadings = (text) => text.replace(/(\| +\d+ \|)[ \d.|-]*/g, '$1#').replace(/PHI = +-?\d+/g, 'PHI = #');

// Runs the native program and the web one in two scratch folders; returns both outputs and folders.
function runBoth(program, answers, work) {
  const result = {};
  for (const [kind, command, args] of [
    ['native', path.join(nativeBin, program), []],
    ['web', process.execPath, [path.join(webBuild, 'bin', program + '.js')]],
  ]) {
    const dir = fs.mkdtempSync(path.join(work, kind + '-'));
    let out;
    try {
      out = execFileSync(command, args, { cwd: dir, input: answers, timeout: 60000 }) + '\nexit 0';
    } catch (error) {
      out = error.stdout + '\nexit ' + error.status;
    }
    result[kind] = { out, dir };
  }
  return result;
}

function nodeChecks(work) {
  const rod = runBoth('rodheat', '400\n100\n30\n20 40\n7\n5\n1 10 35\n1 10\n\n\nrestart\n50\n10\n0 10\n5\n5\nrun\n\n\n', work);
  check('rodheat: the web build writes the native bytes, readings aside',
    maskReadings(rod.web.out) === maskReadings(rod.native.out), rod.web.out);
  for (const name of ['results.txt', 'run.txt']) {
    const [n, w] = ['native', 'web'].map((k) => fs.readFileSync(path.join(rod[k].dir, name), 'latin1'));
    check('rodheat: ' + name + ' as the native one, readings aside', maskReadings(w) === maskReadings(n), w);
  }
  const needle = runBoth('needlefield', '2\n50\n50\n-1\n30\nabc\n20\n9\n', work);
  check('needlefield: the web build writes the native bytes, angles aside',
    maskReadings(needle.web.out) === maskReadings(needle.native.out), needle.web.out);
  const profile = runBoth('rodheat-profile', '', work);
  const file = (kind, name) => fs.readFileSync(path.join(profile[kind].dir, name));
  check('rodheat-profile: debug.csv has the known sha256', sha256(file('web', 'debug.csv')) === CSV_SHA256);
  check('rodheat-profile: debug.svg is the native one', file('web', 'debug.svg').equals(file('native', 'debug.svg')));
  check('rodheat-profile: the same words', profile.web.out === profile.native.out, profile.web.out);
  // A write can fail only by hand in memory: here to unwritable.txt, after a run stopped as the
  // page's Stop does. Input then ends at the question: the readings go where the page looks.
  const dir = fs.mkdtempSync(path.join(work, 'unwritable-'));
  fs.writeFileSync(path.join(dir, 'rodheat.js'), fs.readFileSync(path.join(webBuild, 'bin', 'rodheat.js'), 'utf8').replace(/\}\);\s*$/,
    'var rename = FS.rename, send = Module.labsimSend;\nFS.rename = function (from, to) { if (/unwritable/.test(to)) throw new FS.ErrnoError(28); ' +
    'return rename(from, to); };\nModule.labsimSend = function (m) { if (m.running) setTimeout(function () { Module.labsimStopRequested = true; }, 2000); ' +
    'send(m); };\n});\n'));
  const ended = spawnSync(process.execPath, ['rodheat.js'], { cwd: dir, input: '100\n3\n0 30\n5\n1\nunwritable\n\n', encoding: 'latin1' });
  const kept = /written to "\.\/(rodheat-[\d-]+\.txt)"/.exec(ended.stdout);
  const rows = tableRows(ended.stdout.split(/[\r\n]/));
  check('rodheat: after a stopped run and a failed write, input ending at the question leaves the rows in the page\'s folder, status 1',
    ended.status === 1 && kept && rows.length > 0 && rows.every((row) => fs.readFileSync(path.join(dir, kept[1]), 'latin1').includes(row)), ended.stdout);
  return rod.native.dir;
}

// The student guide's Python recipes, as the guide prints them, on real results files of one and
// two sensors and on the page's CSV of each: all four must read the file's numbers.
async function recipeChecks(dir) {
  const { csv, readingsTable } = await import(url.pathToFileURL(path.join(__dirname, '..', 'page', 'tables.js')).href);
  const guide = fs.readFileSync(path.join(__dirname, '..', '..', 'STUDENT-GUIDE.md'), 'utf8');
  const recipes = [...guide.matchAll(/```python\n([\s\S]*?)```/g)].map((match) => match[1]);
  for (const name of ['run.txt', 'results.txt']) {
    const results = fs.readFileSync(path.join(dir, name));
    fs.writeFileSync(path.join(dir, 'run1.txt'), results);
    const cells = tableRows(String(results).split('\n')).map((row) => row.split('|').slice(1, -1).map((cell) => cell.trim()));
    fs.writeFileSync(path.join(dir, 'run1.csv'), csv(readingsTable(cells), 'point'));
    const numbers = JSON.stringify(cells.map((row) => row.map(Number)));
    const read = recipes.map((recipe) => execFileSync(python(), ['-c', recipe + '\nimport numpy\nprint(numpy.asarray(data, dtype=float).tolist())'],
      { cwd: dir, encoding: 'utf8' }).trim().split('\n').pop());
    check('the student guide\'s four Python recipes read ' + name + ' and its CSV', recipes.length === 4 &&
      read.every((got) => JSON.stringify(JSON.parse(got)) === numbers), numbers + ' ' + read.join(' '));
  }
}

// The native rodheat on the same answers: the lines it printed, and its results file with the readings masked.
function nativeRodheat(answers, name) {
  const dir = fs.mkdtempSync(path.join(work, 'native-'));
  const out = execFileSync(path.join(nativeBin, 'rodheat'), { cwd: dir, input: answers.join('\n') + '\n\n', encoding: 'latin1' });
  return { lines: out.split('\n').map((line) => line.trim()).filter(Boolean), file: maskReadings(fs.readFileSync(path.join(dir, name), 'latin1')) };
}

// Each browser is driven through the same few calls: open, reload, run a function in the page,
// type, press a key (Enter or Ctrl-D), close.
async function puppeteerDriver(options) {
  const browser = await puppeteer.launch(options);
  let page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 1700 });
  const tabs = [page];
  let touchSession = null;
  return {
    // Another tab of the same browser, opened at url; use(i) drives the i-th from then on.
    tab: async (url) => {
      tabs.push(await browser.newPage());
      await tabs[tabs.length - 1].goto(url);
    },
    use: async (i) => {
      page = tabs[i];
      await page.bringToFront();
    },
    open: (url) => page.goto(url),
    reload: () => page.reload(),
    run: (fn, arg) => page.evaluate(fn, arg),
    type: (text) => page.keyboard.type(text, { delay: 15 }),
    press: async (key) => {
      if (key === 'Enter') return page.keyboard.press('Enter');
      await page.keyboard.down('Control');
      await page.keyboard.press(key.slice(-1).toLowerCase());
      await page.keyboard.up('Control');
    },
    click: (selector) => page.click(selector),
    // A page behind another tab draws nothing; the guide's tab is put behind again.
    front: () => page.bringToFront(),
    viewport: (width, height) => page.setViewport({ width, height }),
    // A phone's finger: Chromium's touch emulation makes the pointer coarse.
    // One session, since a new viewport ends it and another session's setting would outlive this one's.
    touch: options.browser === 'firefox' ? undefined : async (enabled) => {
      touchSession = touchSession || await page.createCDPSession();
      await touchSession.send('Emulation.setTouchEmulationEnabled', { enabled, maxTouchPoints: 5 });
    },
    // What the browser says of itself, changed before the page's scripts ask.
    beforeScripts: (fn) => page.evaluateOnNewDocument(fn),
    dialog: async (accept, action) => {
      page.once('dialog', (dialog) => (accept ? dialog.accept() : dialog.dismiss()));
      await action();
    },
    installErrors: options.browser === 'firefox' ? undefined
      : () => page.createCDPSession().then((cdp) => cdp.send('Page.getInstallabilityErrors')).then((r) => r.installabilityErrors),
    // Firefox's driver reaches no accessibility tree.
    accessibleNames: options.browser === 'firefox' ? undefined
      : async () => JSON.stringify(await page.accessibility.snapshot({ interestingOnly: false })),
    insert: async (text) => { for (const ch of text) await page.keyboard.sendCharacter(ch); }, // no key events where the driver can
    close: () => browser.close(),
  };
}

// Safari's engine through WebKitGTK's WebDriver, which puppeteer cannot drive; it needs a display.
async function webkitDriver() {
  const xvfb = spawn('Xvfb', ['-displayfd', '1', '-screen', '0', '1280x1800x24', '-nolisten', 'tcp']);
  const display = await new Promise((resolve) => xvfb.stdout.once('data', (d) => resolve(':' + String(d).trim())));
  const port = 20000 + (process.pid % 20000);
  const driver = spawn('WebKitWebDriver', ['--port=' + port], { env: { ...process.env, DISPLAY: display } });
  const stopAll = () => [driver, xvfb].forEach((child) => child.kill());
  let base = 'http://127.0.0.1:' + port + '/session';
  const call = async (method, where, body) => {
    const reply = await fetch(base + where, { method, body: body && JSON.stringify(body), headers: { 'Content-Type': 'application/json' } });
    const value = (await reply.json()).value;
    if (!reply.ok) throw new Error(where + ': ' + value.message);
    return value;
  };
  try {
    await pause(1000);
    const binary = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
    const session = await call('POST', '', { capabilities: { alwaysMatch: { 'webkitgtk:browserOptions': { binary, args: ['--automation'] } } } });
    base += '/' + session.sessionId;
    await call('POST', '/window/rect', { width: 1280, height: 1700 });
  } catch (error) {
    stopAll();
    throw error;
  }
  const handles = [await call('GET', '/window')];
  const keys = async (text) => {
    const element = Object.values(await call('GET', '/element/active'))[0];
    await call('POST', '/element/' + element + '/value', { text });
  };
  return {
    open: (url) => call('POST', '/url', { url }),
    reload: () => call('POST', '/refresh', {}),
    run: (fn, arg) => call('POST', '/execute/sync', { script: 'return (' + fn + ')(arguments[0]);', args: [arg] }),
    type: async (text) => {
      for (const ch of text) await keys(ch).then(() => pause(15));
    },
    press: (key) => keys(key === 'Enter' ? '\uE007' : '\uE009' + key.slice(-1).toLowerCase() + '\uE000'),
    click: async (selector) => {
      const found = await call('POST', '/element', { using: 'css selector', value: selector });
      await call('POST', '/element/' + Object.values(found)[0] + '/click', {});
    },
    // WebKit's driver may pass a reload's question by itself.
    dialog: async (accept, action) => {
      await action();
      const asked = await waitFor({ run: () => call('GET', '/alert/text').then(() => true, () => false) }, () => true, undefined, 5000)
        .then(() => true, () => false);
      if (asked) await call('POST', accept ? '/alert/accept' : '/alert/dismiss', {});
    },
    tab: async (url) => {
      handles.push((await call('POST', '/window/new', { type: 'tab' })).handle);
      await call('POST', '/window', { handle: handles[handles.length - 1] });
      await call('POST', '/url', { url });
    },
    use: (i) => call('POST', '/window', { handle: handles[i] }),
    close: () => call('DELETE', '').finally(stopAll),
  };
}

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
async function waitFor(driver, fn, arg, timeout = 30000) {
  // A page that reloads itself meanwhile answers nothing; it is asked again.
  for (const end = Date.now() + timeout; !(await driver.run(fn, arg).catch(() => false));) {
    if (Date.now() > end) throw new Error('timed out: ' + fn + ' ' + arg);
    await pause(50);
  }
}
// The rows of a program's terminal, the one on screen by default (the test window is tall enough
// to hold a whole session).
function terminalRows(program) {
  const box = program ? '[data-program="' + program + '"]' : ':not([hidden])';
  return [...document.querySelectorAll('#terminal .console' + box + ' .xterm-rows > div')].map((r) => r.textContent.trimEnd());
}
const screen = (driver, program) => driver.run(terminalRows, program);
const tableRows = (rows) => rows.filter((row) => /^\|\s+\d+ \|/.test(row));
const waitForScreen = (driver, pattern, timeout) => waitFor(driver, (source) => new RegExp(source).test(
  [...document.querySelectorAll('#terminal .console:not([hidden]) .xterm-rows > div')].map((r) => r.textContent).join('\n')), pattern.source, timeout)
  .catch(async (error) => { throw new Error(error.message + '; the screen ends: ' + (await screen(driver)).filter((row) => row).slice(-4).join(' / ')); });
const waitForStatus = (driver, pattern, timeout) => waitFor(driver, (source) =>
  new RegExp(source).test(document.getElementById('status').textContent), pattern.source, timeout)
  .catch(async (error) => { throw new Error(error.message + '; the status: ' + await driver.run(() => document.getElementById('status').textContent)); });
async function answer(driver, text) {
  await driver.type(text);
  await driver.press('Enter');
}
// The file behind the link of that name, read as the browser offers it.
async function fileLink(driver, name) {
  const selector = '#files a[download="' + name + '"]';
  await waitFor(driver, (sel) => document.querySelector(sel) !== null, selector, 10000);
  return driver.run((sel) => fetch(document.querySelector(sel).href).then((r) => r.text()), selector);
}

// A results file, its CSV and its copied table as the page offers them, and whether the two
// tables hold the file's readings with the separators of the language's style.
async function tables(driver, name, comma, copyLabel = 'Copy table of ' + name) {
  await driver.run(() => {
    window.copied = [];
    navigator.clipboard.writeText = (text) => window.copied.push(text) && Promise.resolve();
  });
  await driver.click('#files button[aria-label="' + copyLabel + '"]');
  await waitFor(driver, () => window.copied.length > 0);
  const [results, csv, copied] = [await fileLink(driver, name), await fileLink(driver, name.replace('.txt', '.csv')),
    await driver.run(() => window.copied[0])];
  const rows = tableRows(results.split('\n')).map((row) => row.split('|').slice(1, -1).map((cell) => cell.trim())
    .map((cell) => (comma ? cell.replace('.', ',') : cell)));
  const header = ['t (s)'].concat(rows[0].slice(1).map((_, i) => 'T' + (i + 1) + ' (°C)'));
  const lines = (separator) => [header].concat(rows).map((row) => row.join(separator) + '\n').join('');
  return { ok: rows.length > 1 && csv === lines(comma ? ';' : ',') && copied === lines('\t'), detail: JSON.stringify([csv, copied]) };
}

// The page's words in a language, from its message files, as the page looks them up.
async function pageWordsIn(tag) {
  const { pageWords } = await import(url.pathToFileURL(path.join(__dirname, '..', 'page', 'words.js')).href);
  const language = (code) => ({ facts: JSON.parse(fs.readFileSync(path.join(__dirname, '..', '..', 'i18n', code, 'facts.json'), 'utf8')),
    page: JSON.parse(fs.readFileSync(path.join(__dirname, '..', '..', 'i18n', code, 'page.json'), 'utf8')) });
  return pageWords({ en: language('en'), [tag]: language(tag) }, tag).words;
}

// The texts of the page that its box cuts or that stick out of the window (the status is cut to
// two lines on a phone by design, and a phone's menu is swiped along).
function clippedTexts() {
  return [...document.querySelectorAll('body *')].filter((element) => {
    if (element.closest('header, #status, #consoles, .only-read, script, style') || !element.getClientRects().length) return false;
    if (![...element.childNodes].some((node) => node.nodeType === 3 && node.textContent.trim())) return false;
    const box = element.getBoundingClientRect();
    return box.right > innerWidth + 1 || box.left < -1 || (element.clientWidth > 0 && element.scrollWidth > element.clientWidth + 1);
  }).map((element) => element.tagName + '#' + element.id + ': ' + element.textContent.slice(0, 30));
}

// Download all's zip, whole by Python's reckoning: each entry's name, size and text.
async function handInZip(driver) {
  const zipped = path.join(work, 'handin.zip');
  fs.writeFileSync(zipped, Buffer.from(await driver.run(() => fetch(document.getElementById('download-all').href)
    .then((r) => r.blob()).then((blob) => new Promise((resolve) => {
      const reader = new FileReader();
      reader.onload = () => resolve(reader.result.split(',')[1]);
      reader.readAsDataURL(blob);
    }))), 'base64'));
  try {
    return JSON.parse(execFileSync(python(), ['-c', 'import json, sys, zipfile\nz = zipfile.ZipFile(sys.argv[1])\nassert z.testzip() is None\n' +
      'print(json.dumps([[i.filename, i.file_size, z.read(i).decode("utf-8-sig", "replace")] for i in z.infolist()]))', zipped], { encoding: 'utf8', maxBuffer: 1 << 28 }));
  } finally {
    fs.rmSync(zipped);
  }
}
const localDate = () => new Date().toLocaleDateString('sv');

// Records each status change, the screen 1.2 s and 3.2 s into a run after its 1 s pause (at 15 s
// and 40 s of the model's time), and the page's worst answer time while a run goes on.
function installProbe() {
  window.probe = { changes: [], worstLag: 0, locks: [] };
  if (navigator.wakeLock) {
    const ask = navigator.wakeLock.request.bind(navigator.wakeLock);
    navigator.wakeLock.request = (type) => ask(type).then((lock) => window.probe.locks.push(lock) && lock);
  }
  const status = document.getElementById('status');
  const running = () => /experiment is running/.test(status.textContent);
  const rows = () => [...document.querySelectorAll('#terminal .console:not([hidden]) .xterm-rows > div')].map((r) => r.textContent).join('\n');
  let last = performance.now();
  setInterval(() => {
    const now = performance.now();
    if (running()) window.probe.worstLag = Math.max(window.probe.worstLag, now - last - 10);
    last = now;
  }, 10);
  new MutationObserver(() => {
    window.probe.changes.push([performance.now(), status.textContent]);
    if (!running() || window.probe.early !== undefined) return;
    window.probe.early = '';
    setTimeout(() => {
      window.probe.early = rows();
      window.probe.awake = window.probe.locks.some((lock) => !lock.released);
    }, 2200);
    setTimeout(() => { window.probe.later = rows(); }, 4200);
  }).observe(status, { subtree: true, childList: true, characterData: true });
}

// No serious or critical finding of axe-core in the page as it is now.
async function axeFindings(driver) {
  const source = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
  return driver.run((src) => {
    if (!window.axe) (0, eval)(src);
    return window.axe.run(document, { resultTypes: ['violations'] }).then((result) => result.violations
      .filter((v) => v.impact === 'serious' || v.impact === 'critical').map((v) => v.id + ': ' + v.nodes.map((n) => n.target).join(' ')));
  }, source);
}

// Whether each element is wholly inside the window.
const inView = (driver, selectors) => driver.run((list) => list.every((selector) => {
  const box = document.querySelector(selector).getBoundingClientRect();
  return box.height > 0 && box.top >= 0 && box.bottom <= window.innerHeight;
}), selectors);

// The site served as a teacher serves it: after one visit it opens and runs with the server down,
// and a changed site replaces the kept one whole and says so once.
async function servedChecks(browserName, options) {
  const root = path.join(work, 'served-' + browserName);
  fs.cpSync(path.join(webBuild, 'site'), root, { recursive: true });
  const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.png': 'image/png', '.svg': 'image/svg+xml' };
  const server = http.createServer((request, response) => {
    const file = path.join(root, decodeURIComponent(request.url.split('?')[0]).replace(/\/$/, '/index.html'));
    fs.readFile(file, (error, data) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
      response.end(data);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const { port } = server.address();
  const site = 'http://127.0.0.1:' + port + '/';
  const driver = await puppeteerDriver(options);
  try {
    await driver.open(site);
    await waitFor(driver, () => navigator.serviceWorker.controller !== null);
    const installErrors = driver.installErrors ? await driver.installErrors() : [];
    server.close();
    server.closeAllConnections();
    await driver.open('about:blank');
    await driver.open(site + '?programs=rodheat&round=Offline');
    await waitForScreen(driver, /Enter P/);
    for (const text of ['100', '3', '0 10', '5', '1', 'off1', '']) await answer(driver, text);
    await waitForScreen(driver, /Press ENTER to exit/);
    check(browserName + ': the served site, once visited, is installable and, with the server down, a round\'s link opens rodheat and runs it',
      installErrors.length === 0 && tableRows((await fileLink(driver, 'off1.txt')).split('\n')).length === 3 &&
      await driver.run(() => /^Offline · Program: rodheat/.test(document.querySelector('#round p').textContent)), JSON.stringify(installErrors));

    const siteScript = path.join(root, 'programs', 'site.js');
    fs.writeFileSync(siteScript, fs.readFileSync(siteScript, 'utf8').replace(/^window\.labsimSite\.version.*\n/m, ''));
    fs.appendFileSync(path.join(root, 'labsim.css'), '/* changed */\n');
    execFileSync(process.execPath, [path.join(__dirname, '..', 'tools', 'make_offline.mjs'), root, path.join(__dirname, '..', 'worker', 'sw.js')]);
    await new Promise((resolve) => server.listen(port, '127.0.0.1', resolve));
    await driver.open('about:blank');
    await driver.open(site);
    await waitForStatus(driver, /was updated/);
    const kept = await driver.run(() => caches.keys().then((keys) => fetch('labsim.css').then((r) => r.text())
      .then((css) => keys.length + ' ' + css.endsWith('/* changed */\n'))));
    await driver.open('about:blank');
    await driver.open(site);
    await waitForStatus(driver, /Choose a program/);
    const again = await driver.run(() => document.getElementById('status').textContent);
    check(browserName + ': a changed site replaces the kept one whole and says so once', kept === '1 true' && !/updated/.test(again), kept + again);
    // Opened as an installed app, from its start address: the last round's link holds, tabs opened since without one aside.
    await driver.beforeScripts(() => {
      const ask = window.matchMedia.bind(window);
      window.matchMedia = (query) => (query === '(display-mode: standalone)' ? { matches: true } : ask(query));
    });
    await driver.open(site);
    await waitForScreen(driver, /Enter P/);
    check(browserName + ': an installed app keeps the last round\'s link', await driver.run(() => /^Offline/.test(document.querySelector('#round p').textContent)));
  } finally {
    await driver.close();
    server.close();
    server.closeAllConnections();
  }
}

// In a German browser the tables have semicolons and decimal commas, unless a round's link sets
// the other style. The set-up page's link and its QR code set up the page as a link typed by hand;
// a bad link warns and keeps the defaults.
async function germanBrowser(browserName, options, site) {
  const driver = await puppeteerDriver(options);
  const de = await pageWordsIn('de');
  try {
    await driver.open(site + '#rodheat');
    await waitForScreen(driver, /Enter P/);
    for (const text of ['100', '3', '0 10', '5', '1 5', 'de1', '']) await answer(driver, text);
    await waitForScreen(driver, /Press ENTER to exit/);
    const german = await tables(driver, 'de1.txt', true, de('files.copyLabel', { file: 'de1.txt' }));
    check(browserName + ': in a German browser the CSV and the copied table have semicolons and decimal commas', german.ok, german.detail);

    await driver.open(site.replace('index.html', 'setup.html'));
    const findings = await axeFindings(driver);
    for (const box of ['needlefield', 'rodheat-profile']) await driver.click('#offered input[value="' + box + '"]');
    for (const box of ['#exam', 'input[name="tables"][value="point"]', '#ask-name']) await driver.click(box);
    for (const [field, text] of [['#round-name', 'Round 2'], ['#handin', 'Upload it to the class folder']]) {
      await driver.click(field);
      await driver.type(text);
    }
    const made = await driver.run(() => [document.getElementById('link').href, document.getElementById('qr').src]);
    const svg = path.join(work, 'link.svg');
    fs.writeFileSync(svg, decodeURIComponent(made[1].split(',')[1]));
    execFileSync('rsvg-convert', ['-w', '600', svg, '-o', svg + '.png']);
    const decoded = execFileSync('zbarimg', ['--raw', '-q', svg + '.png'], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] }).trim();
    check(browserName + ': the set-up page\'s QR code holds its link', decoded === made[0], decoded + ' / ' + made[0]);

    const banner = () => driver.run(() => [...document.querySelectorAll('#round h2, #round p, #files-handin')].map((e) => e.textContent).join(' | '));
    const shown = [];
    for (const link of [made[0], site + '?programs=rodheat&exam=yes&tables=point&round=Round%202&handin=Upload+it+to+the+class+folder&name=ask']) {
      await driver.open(link);
      // The name is asked once a round, before any program starts.
      if (!shown.length) {
        await waitFor(driver, () => !document.getElementById('student').hidden && !document.querySelector('#terminal .console'));
        findings.push(...await axeFindings(driver));
        await driver.click('#student-name');
        await answer(driver, 'Ana 7');
      }
      await waitForScreen(driver, /Enter P/);
      shown.push(await banner());
    }
    const leaves = await driver.run(() => [...document.querySelectorAll('a[href]')].filter((a) => a.getClientRects().length &&
      !a.getAttribute('href').startsWith('#') && !a.href.startsWith('blob:')).map((a) => a.href).concat(
      [...document.querySelectorAll('nav')].filter((nav) => nav.getClientRects().length).map((nav) => nav.getAttribute('aria-label'))));
    findings.push(...await axeFindings(driver));
    for (const text of ['100', '3', '0 10', '5', '1 5', 'r2', '']) await answer(driver, text);
    await waitForScreen(driver, /Press ENTER to exit/);
    await waitFor(driver, (saved) => document.getElementById('status').textContent.startsWith(saved),
      de('files.saved', { file: 'r2.txt' }), 10000);
    const status = await driver.run(() => document.getElementById('status').textContent);
    const point = await tables(driver, 'r2.txt', false, de('files.copyLabel', { file: 'r2.txt' }));
    const zipName = await driver.run(() => document.getElementById('download-all').download);
    const entries = await handInZip(driver);
    const list = entries[0][2].split('\n');
    check(browserName + ': a round\'s link opens its one program after the name is given, with the banner, the hand-in note, no menu, ' +
      'no guide and no link away, and the note after the saved run; the set-up page\'s link does the same', shown[0] === shown[1] &&
      shown[0].startsWith(de('round.exam') + ' | Round 2 · ' + de('round.name', { name: 'Ana 7' }) + ' · ' + de('round.program', { count: 1, programs: 'rodheat' })) &&
      shown[0].endsWith(' | ' + de('files.handIn', { note: 'Upload it to the class folder' })) && status.includes(de('files.handIn', { note: 'Upload it to the class folder' })) &&
      leaves.length === 0, JSON.stringify([shown, leaves, status]));
    check(browserName + ': axe-core finds nothing serious on the set-up page, the name asked and the round\'s page', findings.length === 0, findings.join('; '));
    check(browserName + ': the round\'s CSV has commas and points in a German browser', point.ok, point.detail);
    check(browserName + ': the hand-in is named by the round and the student, and lists them and every file', zipName === 'Round-2-Ana-7-files-' + localDate() + '.zip' &&
      entries[0][0] === 'hand-in.txt' && list[0] === 'Round: Round 2' && list[1] === 'Name: Ana 7' && list[2] === (entries.length - 1) + ' files:' &&
      entries.slice(1).every(([name, size], i) => list[3 + i].startsWith(name + ', ' + size + ' bytes, ' + localDate())), JSON.stringify([zipName, entries[0]]));

    await driver.open(site + '?tables=dots&colour=red&programs=nothing');
    await waitForStatus(driver, new RegExp(de('status.choose')));
    const warned = await driver.run(() => [[...document.querySelectorAll('#round li')].map((item) => item.textContent), document.querySelectorAll('#programs li').length,
      document.querySelector('#files-style span').textContent, document.querySelector('#files-style button').hidden, document.documentElement.lang]);
    check(browserName + ': a bad link warns of each setting it ignores and keeps the defaults: German from the browser\'s language, ' +
      'its table style, every program', ['tables=dots', 'colour=red', 'programs=nothing'].every((bad, i) => warned[0][i].includes(bad)) && warned[0].length === 3 &&
      warned[1] === 3 && warned[2] === de('tables.comma') && !warned[3] && warned[4] === 'de', JSON.stringify(warned));

    // Arabic from the start page's menu, kept for the site: right to left, but not the terminal.
    await driver.run(() => {
      const menu = document.getElementById('language');
      menu.value = 'ar';
      menu.dispatchEvent(new Event('change'));
    });
    await waitFor(driver, () => document.documentElement.lang === 'ar');
    await driver.open(site + '#needlefield');
    await waitForScreen(driver, /Enter I/);
    const arabic = await driver.run(() => [document.documentElement.dir, getComputedStyle(document.getElementById('consoles')).direction,
      document.getElementById('language-status').hidden, document.getElementById('program-words').getAttribute('href')]);
    check(browserName + ': Arabic chosen on the start page holds for the site, right to left, not reviewed yet, with the terminal left to right and the programs\' English',
      arabic.join() === 'rtl,ltr,false,program-words.ar.html', JSON.stringify(arabic));
    // A translator's trial: a text it lacks shows in English; then the two pseudo-languages, clipped nowhere.
    for (const [button, tag] of [['#kit-accented', 'en-XA'], ['#kit-mirrored', 'ar-XB']]) {
      await driver.open(site.replace('index.html', 'translate.html'));
      await driver.click(button);
      if (tag === 'en-XA') {
        await driver.run(() => {
          const key = Object.keys(localStorage).find((name) => name.endsWith(':trial-language'));
          const trial = JSON.parse(localStorage.getItem(key));
          delete trial.page['status.choose'];
          localStorage.setItem(key, JSON.stringify(trial));
        });
      }
      for (const [width, height] of [[1366, 625], [390, 844]]) {
        await driver.viewport(width, height);
        await driver.open(site + (tag === 'en-XA' ? '' : '#rodheat'));
        await waitForStatus(driver, tag === 'en-XA' ? /^Choose a program above\.$/ : /⟦/);
        const cut = await driver.run(clippedTexts);
        check(browserName + ': at ' + width + 'x' + height + ' in the ' + tag + ' pseudo-language no text is clipped' +
          (tag === 'en-XA' ? ', and a text the language lacks shows in English' : ''), cut.length === 0, JSON.stringify(cut));
      }
    }
    await driver.viewport(1280, 1700);
  } finally {
    await driver.close();
  }
}

// Answers as phones' keyboards (229, then a character or a word), dictation and input methods send them.
async function typingWays(options, site) {
  const browser = await puppeteer.launch(options);
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 1700 });
    const driver = { run: (fn, arg) => page.evaluate(fn, arg) };
    const cdp = await page.createCDPSession();
    await cdp.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
    const insert = (text) => cdp.send('Input.insertText', { text });
    const edit = (command) => () => page.evaluate((name) => document.execCommand(name), command);
    const key229 = (type) => cdp.send('Input.dispatchKeyEvent', { type, key: 'Unidentified', keyCode: 229, windowsVirtualKeyCode: 229 });
    const android = (act) => key229('keyDown').then(act).then(() => key229('keyUp'));
    const ways = [
      [async (text) => { for (const ch of text) await android(() => insert(ch)); }, () => android(edit('insertParagraph'))],
      [(text) => android(() => insert(text)), () => android(() => insert('\n'))],
      [insert, () => insert('\n')],
      // xterm takes the commit from the field a moment later, sooner than anyone presses a key.
      [(text) => cdp.send('Input.imeSetComposition', { text: text.slice(0, -1), selectionStart: 0, selectionEnd: 0 })
        .then(() => Promise.all([insert(text.slice(0, -1)), insert(text.slice(-1))])).then(() => page.evaluate(() => new Promise((resolve) => setTimeout(resolve)))),
      () => page.keyboard.press('Enter')],
    ];
    const answers = ['100', '3', '0 10', '5', '1 5', 'typed', ''];
    await page.goto(site + '#rodheat');
    await waitForScreen(driver, /Enter P/);
    // The ways in turn, each answer with a 9 too many, taken back.
    for (const [i, text] of answers.entries()) {
      await page.focus('#terminal .console:not([hidden]) textarea');
      await ways[i % ways.length][0](text + '9');
      await android(edit('delete'));
      await ways[i % ways.length][1]();
    }
    const results = await waitForScreen(driver, /Press ENTER to exit/).then(() => fileLink(driver, 'typed.txt')).catch((error) => error.message);
    const rows = await screen(driver);
    check('chromium: answers sent as phones, dictation and input methods send them reach rodheat once each, Backspace and Enter too: ' +
      'the native file, readings aside', maskReadings(results) === nativeRodheat(answers, 'typed.txt').file &&
      !rows.some((row) => /Inval/.test(row)), results + rows.join('\n'));
  } finally {
    await browser.close();
  }
}

async function browserSession(browserName, driver, site, studentSite) {
  const figures = {};
  const accessibility = [];
  try {
    await driver.open(site + '#rodheat');
    await waitForScreen(driver, /Enter P/);
    await driver.run(installProbe);
    await answer(driver, '500');
    await waitForScreen(driver, /Power must be between 0 and 300W/);
    for (const text of ['100', '30', '20 60', '5', '1 5 10 15 20', 'run1', '']) await answer(driver, text);
    await waitForStatus(driver, /experiment is running/);
    await pause(4500);
    const { early, later } = await driver.run(() => window.probe);
    check(browserName + ': the clock counts, then the rows appear while the run goes on',
      /t = 10\.0s/.test(early) && !/\|   20 \|/.test(early) && /\|   20 \|/.test(later) &&
      !/\|   60 \|/.test(later), early + later);
    await answer(driver, 'restart');
    await waitForScreen(driver, /Experiment successful!\nPress ENTER to exit/);
    const rows = tableRows(await screen(driver));
    const results = await fileLink(driver, 'run1.txt');
    check(browserName + ': the results file holds the rows of the screen',
      rows.length === 9 && rows.every((row) => results.includes(row + ' \n')),
      JSON.stringify([rows, results]));
    const english = await tables(driver, 'run1.txt', false);
    check(browserName + ': the CSV and the copied table hold the readings of run1.txt, with commas and points', english.ok, english.detail);
    const probe = await driver.run(() => window.probe);
    // The status changes when the run starts and again when it ends.
    const start = probe.changes.findIndex((c) => /experiment is running/.test(c[1]));
    figures.run = (probe.changes[start + 1][0] - probe.changes[start][0]) / 1000;
    figures.worstLag = probe.worstLag;
    check(browserName + ': a 60 s run takes 4.8 s within 5 % after its 1 s pause', Math.abs(figures.run - 5.8) <= 0.24, figures.run);
    const lock = await driver.run(() => navigator.wakeLock && [window.probe.awake, window.probe.locks.every((l) => l.released)]);
    // WebKitGTK refuses the lock in the checks' virtual display.
    if (lock && browserName !== 'webkit') check(browserName + ': the screen is kept on during the run and let go after it', lock[0] && lock[1], lock);
    check(browserName + ': typed-ahead keys during the run are dropped, the closing prompt waits',
      (await screen(driver)).filter((row) => row).pop().startsWith('Press ENTER to exit the simulation'));
    accessibility.push(...await axeFindings(driver));
    if (driver.viewport) {
      await driver.viewport(1366, 625);
      await pause(300);
      check(browserName + ': at 1366x625 the new file and the terminal\'s last line are in view, and the page does not scroll',
        await inView(driver, ['#files a[download="run1.txt"]', '#terminal .console:not([hidden]) .xterm-screen']) &&
        await driver.run(() => document.documentElement.scrollHeight <= innerHeight));
      // Phones (by touch where the driver can), 1366x625 at 200 % zoom, and a pixel below the switch
      // to two columns, where the type must already fit whole: one page that scrolls, the table
      // whole, a one-line bar, Files a tap away.
      for (const [width, height] of [[320, 640], [360, 740], [390, 844], [430, 932], [683, 312], [863, 800]]) {
        await driver.viewport(width, height);
        if (driver.touch) await driver.touch(true);
        await pause(300);
        const narrow = tableRows(await screen(driver));
        const fit = await driver.run(() => ({ bar: document.getElementById('bar').getBoundingClientRect().bottom,
          font: parseFloat(getComputedStyle(document.querySelector('#terminal .console:not([hidden]) .xterm-rows')).fontSize),
          boxed: [...document.querySelectorAll('main, aside, #intro')].some((box) => /auto|scroll/.test(getComputedStyle(box).overflowY) &&
            box.scrollHeight > box.clientHeight + 1) }));
        check(browserName + ': at ' + width + 'x' + height + ' the five-sensor rows are whole in ' + fit.font + ' px type, the bar ends at ' +
          fit.bar + ' px, Files is a tap away and the page scrolls as one', narrow.length > 0 && narrow.every((row) => /^(\|\s+[\d.-]+ ){6}\|$/.test(row)) &&
          fit.font >= (width > 640 ? 15 : width >= 390 ? 10 : 8) && fit.bar <= 72 && !fit.boxed && await inView(driver, ['#to-files']), JSON.stringify([narrow, fit]));
      }
      // The window's size first: a new one takes up the touch emulation again.
      await driver.viewport(1280, 1700);
      if (driver.touch) await driver.touch(false);
    }
    await driver.reload();
    check(browserName + ': the results file stays listed after a reload', (await fileLink(driver, 'run1.txt')) === results);
    await driver.run(installProbe);

    // Ctrl-C stops a run as on a console; leaving a run asks, and keeps its rows when accepted.
    await waitForScreen(driver, /Enter P/);
    if (driver.accessibleNames) {
      let names = '';
      for (let i = 0; i < 50 && !names.includes('Enter P (W), between 0 and 300:'); i++) names = await pause(100).then(driver.accessibleNames);
      check(browserName + ': the accessibility tree holds the question', names.includes('Enter P (W), between 0 and 300:'));
    }
    for (const text of ['100', '30', '0 600', '5', '1 5 10 15 20', 'run2', '']) await answer(driver, text);
    await waitForScreen(driver, /\|   10 \|/);
    accessibility.push(...await axeFindings(driver));
    await driver.press('Ctrl-C');
    await waitForScreen(driver, /Experiment interrupted\.  The readings taken so far were written to "run2\.txt"\.\nPress ENTER to exit/);
    const stopped = await screen(driver);
    const kept = await fileLink(driver, 'run2.txt');
    check(browserName + ': Ctrl-C keeps exactly the rows on screen, then the closing prompt',
      tableRows(stopped).length > 1 && tableRows(kept.split('\n')).map((row) => row.trimEnd()).join('\n') === tableRows(stopped).join('\n') &&
      stopped.filter((row) => row).pop().startsWith('Press ENTER to exit'), JSON.stringify([stopped, kept]));
    // A reload during a run: the next visit lists the rows so far as the run's results file.
    // A second tab open before the run, and the first one's store connection lost during it.
    await driver.tab(site);
    await driver.use(0);
    for (const text of ['restart', '100', '30', '0 600', '5', '1 5 10 15 20', 'g1', '']) await answer(driver, text);
    // The stopped run's table may reach row 20 too.
    await waitForScreen(driver, /\ng1\n[\s\S]*\|   20 \|/);
    await driver.run(() => {
      const transaction = IDBDatabase.prototype.transaction;
      let lost = null;
      IDBDatabase.prototype.transaction = function (...args) {
        lost = lost || this;
        if (this === lost) throw new DOMException('Connection to Indexed Database server lost', 'UnknownError');
        return transaction.apply(this, args);
      };
    });
    await waitForScreen(driver, /\ng1\n[\s\S]*\|   30 \|/);
    const before = tableRows((await screen(driver)).join('\n').split('| t(s) |').pop().split('\n'));
    await driver.dialog(true, () => driver.reload());
    await waitForStatus(driver, /^g1\.txt: the last experiment was cut short when the page closed/);
    await driver.run(installProbe);
    const cut = (await fileLink(driver, 'g1.txt')).split('\n');
    figures.reload = tableRows(cut).length + ' rows kept of ' + before.length + ' on screen';
    await driver.use(1);
    const other = await fileLink(driver, 'g1.txt').catch((error) => error.message);
    await driver.use(0);
    check(browserName + ': a reload during a run whose store connection was lost keeps the rows so far, as a Ctrl-C would have ' +
      'written them, and a tab opened before the run lists them', cut.slice(0, 9).join('\n') === kept.split('\n').slice(0, 9).join('\n') &&
      before.length >= 7 && before.every((row, i) => cut[9 + i] === row + ' ') && tableRows(cut).length <= before.length + 2 &&
      other === cut.join('\n'), cut.join('\n') + ' / ' + other);

    await waitForScreen(driver, /Enter P/);
    for (const text of ['100', '30', '0 600', '5', '1', '', '']) await answer(driver, text);
    await waitForStatus(driver, /experiment is running/);
    await pause(1000);
    await driver.click('#guides a');
    await pause(500);
    if (driver.front) await driver.front();
    check(browserName + ': the guide opens beside a running experiment, which goes on',
      await driver.run(() => location.hash === '#rodheat' && /experiment is running/.test(document.getElementById('status').textContent)));
    await driver.dialog(false, () => driver.run(() => { location.hash = '#needlefield'; }));
    await pause(500);
    check(browserName + ': a declined leave keeps the run and its Stop button',
      await driver.run(() => location.hash === '#rodheat' && /experiment is running/.test(document.getElementById('status').textContent) &&
        !document.getElementById('stop').hidden));
    await driver.dialog(true, () => driver.run(() => { location.hash = '#needlefield'; }));
    await waitForScreen(driver, /Enter I/);
    const left = tableRows(await screen(driver, 'rodheat')).slice(-1)[0];
    check(browserName + ': an accepted leave writes the rows so far', (await fileLink(driver, 'results.txt')).includes(left + ' \n'), left);

    // Two passes, one refused and one bad entry; the keys after Save screen reach the program.
    for (const text of ['2', '50', '50', '1', '150', '20']) await answer(driver, text);
    await waitForScreen(driver, /Coordinates out of range/);
    await driver.click('#save-screen');
    for (const text of ['abc', '-1.5 20 30']) await answer(driver, text);
    await waitForScreen(driver, /PHI = +-?\d+ degrees\n-+\nEnter I.*\n(.*\n)*.*PHI = +-?\d+ degrees/);
    const angles = (await screen(driver)).join('\n').match(/PHI = +-?\d+/g).map((phi) => phi.split(/ +/).pop());
    const needleCsv = await driver.run(() => document.querySelector('#files a[download^="needlefield-"]').download);
    check(browserName + ': needlefield\'s CSV holds its two passes as typed, with the angles on screen',
      /^needlefield-\d\dh\d\dm\d\ds\.csv$/.test(needleCsv) && (await fileLink(driver, needleCsv)) ===
        'I (A),X (mm),Y (mm),PHI (degrees)\n2,50,50,' + angles[0] + '\n-1.5,20,30,' + angles[1] + '\n', angles);
    // The other table style, chosen now, holds for the files listed and the hand-in; Ctrl-D still reaches the program.
    await driver.click('#files-style button');
    const restyled = 'I (A);X (mm);Y (mm);PHI (degrees)\n2;50;50;' + angles[0] + '\n-1,5;20;30;' + angles[1] + '\n';
    const styled = [await fileLink(driver, needleCsv), await fileLink(driver, 'run1.csv')];
    check(browserName + ': after the switch to semicolons, needlefield\'s CSV and a results file\'s CSV use them',
      styled[0] === restyled && /^t \(s\);T1 \(°C\);.*\n\d+;\d+,\d/.test(styled[1]), JSON.stringify(styled));
    await driver.press('Ctrl-D');
    await waitForStatus(driver, /has ended/);
    for (let i = 0; i < 3; i++) await driver.press('Enter');
    await pause(300);
    check(browserName + ': Enter after needlefield ends leaves its angles on screen',
      (await screen(driver)).some((row) => /PHI = +-?\d+ degrees/.test(row)) &&
      await driver.run(() => /has ended/.test(document.getElementById('status').textContent)));

    // The answer line, on for a finger, switched on elsewhere; half the answers inserted where the driver can.
    await (driver.touch ? driver.touch(true) : driver.click('#answer-on'));
    await driver.open(site + '#rodheat');
    await driver.reload();
    await driver.run(installProbe);
    await driver.run(() => { const region = document.getElementById('program-says');
      window.said = [region.textContent].filter(Boolean);
      new MutationObserver(() => region.textContent && window.said.push(region.textContent)).observe(region, { childList: true }); });
    const lineAnswers = ['100', '3', '0 10', '5', '1 5', 'al1', ''];
    for (const [i, text] of lineAnswers.entries()) {
      await waitFor(driver, (n) => !document.getElementById('answer-text').readOnly && window.said.length > n, i);
      await (i % 2 && driver.insert ? driver.insert(text) : driver.type(text));
      await driver.press('Enter');
    }
    await waitFor(driver, (n) => window.said.length > n, lineAnswers.length);
    const { lines: nativeSaid, file: nativeFile } = nativeRodheat(lineAnswers, 'al1.txt');
    // The live region reads each question and message once, in order, and nothing a run prints.
    nativeSaid.splice(nativeSaid.findIndex((line) => line.startsWith('*****')), nativeSaid.filter((line) => /^(\*|\||Heat|Meas|Sens)/.test(line)).length);
    const lineSaid = await driver.run(() => [window.said, document.getElementById('answer').hidden, document.activeElement.id]);
    check(browserName + ': a run answered on the answer line writes the native file, readings aside, and each question is read out once, in order',
      maskReadings(await fileLink(driver, 'al1.txt')) === nativeFile &&
      lineSaid[0].join('\n') === nativeSaid.join('\n') && !lineSaid[1] && lineSaid[2] === 'answer-text', JSON.stringify([lineSaid, nativeSaid]));
    await (driver.touch ? driver.touch(false) : driver.click('#answer-on'));
    await driver.open(site + '#rodheat-profile');
    await waitForStatus(driver, /rodheat-profile.* has ended/, 120000);
    const changes = await driver.run(() => window.probe.changes);
    const at = (pattern) => changes.filter((c) => pattern.test(c[1])).pop()[0];
    figures.profile = (at(/profile.* has ended/) - at(/profile.* is starting/)) / 1000;
    const csv = await fileLink(driver, 'debug.csv');
    check(browserName + ': the profile\'s debug.csv has the known sha256', sha256(csv) === CSV_SHA256);
    check(browserName + ': debug.svg is listed and shown on the page', (await fileLink(driver, 'debug.svg')).endsWith('</svg>\n') &&
      await driver.run(() => !document.getElementById('picture').hidden && document.getElementById('picture-image').naturalWidth > 0));

    // The hand-in: every listed file in one zip; Remove all, then Undo.
    const listed = await driver.run(() => [...document.querySelectorAll('#files li')].map((item) =>
      item.querySelector('a').download + ' ' + item.querySelector('span').textContent.split(' ')[0].replace(/\D/g, '')).sort());
    const entries = await handInZip(driver);
    const inZip = entries.map(([name, size]) => name + ' ' + size).sort().join('\n') + '\n' +
      entries.find(([name]) => /^needlefield-.*\.csv$/.test(name))[2];
    check(browserName + ': Download all\'s zip holds every listed file, needlefield\'s in the style chosen last',
      listed.length > 6 && inZip === listed.join('\n') + '\n' + restyled, inZip);
    // Two files removed one by one (as a double click can), then the rest: one Undo brings all.
    for (let i = 0; i < 2; i++) await driver.click('#files li button[aria-label^="Remove "]');
    await driver.dialog(true, () => driver.click('#remove-all'));
    await waitFor(driver, () => !document.getElementById('files-undo').hidden);
    const emptied = await driver.run(() => document.querySelectorAll('#files li').length);
    await driver.click('#files-undo button');
    await pause(300);
    check(browserName + ': Remove twice, then Remove all, empties Files, and Undo brings every file back', emptied === 0 &&
      (await driver.run(() => document.querySelectorAll('#files li').length)) === listed.length, emptied);

    await driver.open(studentSite.url);
    await waitForStatus(driver, /Choose a program/);
    accessibility.push(...await axeFindings(driver));
    // Every text the build gives a program shows in its menu entry or its description.
    const offered = await driver.run(() => [...document.querySelectorAll('#programs li')].map((item, i) =>
      item.textContent + '\n' + document.querySelectorAll('#program-blurbs li')[i].textContent));
    const en = await pageWordsIn('en');
    check(browserName + ': the student\'s site in the same browser lists none of the teacher\'s files and offers the student\'s programs with their words',
      await driver.run(() => document.querySelectorAll('#files li').length === 0) && offered.length > 0 && offered.length === studentSite.programs.length &&
      studentSite.programs.every(({ name }, i) => [name, en('program.' + name + '.title'), en('program.' + name + '.about')].every((text) => offered[i].includes(text))),
    JSON.stringify(offered));
    // A link made on the teacher's site, for programs the student's site partly has.
    await driver.open(studentSite.url + '?programs=rodheat-profile,needlefield,rodheat&open=needlefield&round=Week%2012');
    await waitForScreen(driver, /Enter I/);
    const honoured = await driver.run(() => [document.getElementById('round').textContent, [...document.querySelectorAll('#programs a')].map((a) => a.hash).join()]);
    check(browserName + ': the student\'s site follows a link made for the teacher\'s, with a warning for the program it has not got',
      /Week 12 · Programs: needlefield, rodheat/.test(honoured[0]) && /Ignored from the link: programs=rodheat-profile \(not on this site\)/.test(honoured[0]) &&
      honoured[1] === '#needlefield,#rodheat', JSON.stringify(honoured));
    check(browserName + ': axe-core finds nothing serious on the start page, during a run and after one',
      accessibility.length === 0, accessibility.join('; '));
  } finally {
    await driver.close();
  }
  console.log(browserName + ' figures: 60 s run and its 1 s pause in ' + figures.run.toFixed(3) + ' s, worst answer time ' +
    Math.round(figures.worstLag) + ' ms during it, rodheat-profile in ' + figures.profile.toFixed(2) + ' s, a reload with the store\'s connection lost: ' +
    figures.reload);
}

(async () => {
  try {
    await recipeChecks(nodeChecks(work));
    const site = 'file://' + path.join(webBuild, 'site', 'index.html');
    // Another kit's site: the same page with the student's programs under the student's kit name,
    // both as the build lists them for the release.
    const student = path.join(work, 'student-site');
    fs.cpSync(path.join(webBuild, 'site'), student, { recursive: true });
    const built = (name) => fs.readFileSync(path.join(webBuild, name), 'utf8');
    const students = built('student-programs.txt').trim().split(/\s+/);
    const siteScript = path.join(student, 'programs', 'site.js');
    const teacher = vm.runInNewContext(fs.readFileSync(siteScript, 'utf8') + ';window.labsimSite', { window: {} });
    const studentSite = { url: 'file://' + path.join(student, 'index.html'), programs: teacher.programs.filter((program) => students.includes(program.name)) };
    fs.writeFileSync(siteScript, 'window.labsimSite = ' + JSON.stringify({ ...teacher, id: built('kits.txt').match(/^student (\S+)/m)[1],
      programs: studentSite.programs }) + ';\n');
    const quiet = ['--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'];
    const chromium = { executablePath: '/usr/bin/chromium', headless: true,
      args: (process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : []).concat(quiet) };
    const firefox = { browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true };
    await browserSession('chromium', await puppeteerDriver(chromium), site, studentSite);
    await germanBrowser('chromium', { ...chromium, args: chromium.args.concat(['--lang=de-DE', '--accept-lang=de-DE']) }, site);
    await typingWays(chromium, site);
    await servedChecks('chromium', chromium);
    await browserSession('firefox', await puppeteerDriver(firefox), site, studentSite);
    await servedChecks('firefox', firefox);
    await germanBrowser('firefox', { ...firefox, extraPrefsFirefox: { 'intl.accept_languages': 'de-DE' } }, site);
    await browserSession('webkit', await webkitDriver(), site, studentSite);
    const privateFirefox = await puppeteer.launch({ ...firefox, extraPrefsFirefox: { 'browser.privatebrowsing.autostart': true } });
    const page = await privateFirefox.newPage();
    await page.goto(site);
    await page.waitForFunction(() => /Choose a program/.test(document.getElementById('status').textContent));
    check('firefox: a private window is told that its files go when it closes',
      /private window: its files go/.test(await page.evaluate(() => document.getElementById('files-note').textContent)));
    await privateFirefox.close();
  } catch (error) {
    check('the browser sessions run to their end', false, error.stack);
  } finally {
    fs.rmSync(work, { recursive: true, force: true });
  }
  console.log(counts.passed + ' passed, ' + counts.failed + ' failed');
  process.exitCode = counts.failed ? 1 : 0;
})();
