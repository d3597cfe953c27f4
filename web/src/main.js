// The page: the start page and the menu, one terminal per program that keeps what it printed
// while the page is open, the buttons, and the way from one program to another (or away from
// the page) without losing a reading.
import { labsimFiles } from './files.js';
import { needleRecorder } from './needle_record.js';
import { keepOffline } from './offline.js';
import { PROBLEMS, ProgramProblem, problemOf, start as startProgram } from './programs.js';
import { statusLine } from './status.js';
import { NEEDLE_HEADER, csv } from './tables.js';
import { labsimConsole } from './terminal.js';

/** @typedef {import('./messages.js').ProgramMessage} ProgramMessage */
/** @typedef {import('./status.js').State} State */
/** @typedef {import('./store.js').Readings} Readings */
/**
 * @typedef {object} Session  one start of a program
 * @property {string} name
 * @property {State} state
 * @property {Awaited<ReturnType<typeof startProgram>> | null} handle
 * @property {(() => void)[]} waiters  resolved at the next question or the end
 * @property {string | null} [problem]
 * @property {Readings | null} readings  the running experiment's readings so far
 * @property {{typed: (line: string | null) => void, printed: (text: string) => void} | null} recorder
 * @property {TextDecoder} decoder
 */

/**
 * @typedef {object} Site  what the build tells the page, in programs/site.js
 * @property {string} id  names the storage of the site's files
 * @property {string} [version]
 * @property {number} columns  the terminal's type shrinks until this many columns fit
 * @property {{name: string, title: string, about: string}[]} programs
 * @property {{file: string, title: string}[]} guides
 */
/** @type {Site} */
const site = /** @type {any} */ (window).labsimSite;
/** @type {Record<string, string>} */
const titles = Object.fromEntries(site.programs.map((program) => [program.name, program.name + ': ' + program.title]));
/** @param {string} id */
const element = (id) => /** @type {HTMLElement} */ (document.getElementById(id));
const stopButton = /** @type {HTMLButtonElement} */ (element('stop'));
const restartButton = element('restart');
const saveButton = element('save-screen');
const intro = element('intro');
const terminals = element('terminal');
const picture = element('picture');
const status = statusLine(element('status'), titles);
// Below the terminal on a phone, Files is one tap away from the bar.
const toFiles = element('to-files');
const files = labsimFiles(site.id, {
  notice: status.notice,
  backToTerminal,
  listed: (count) => {
    toFiles.hidden = !count;
    toFiles.textContent = 'Files (' + count + ')';
  },
});
toFiles.addEventListener('click', () => {
  const first = /** @type {HTMLElement | null} */ (document.querySelector('#files a'));
  element('files-heading').scrollIntoView();
  if (first) first.focus({ preventScroll: true });
});

// The program on screen, and the one running in a Worker (the same one, or none).
/** @type {string | null} */
let shown = null;
/** @type {Session | null} */
let live = null;
/** @type {Record<string, ReturnType<typeof labsimConsole> & {box: HTMLElement}>} */
const consoles = {};

const running = () => !!live && (live.state === 'running' || live.state === 'stopping');

function showState() {
  status.program(live);
  stopButton.hidden = !running();
  stopButton.disabled = !!live && live.state === 'stopping';
  restartButton.hidden = !live || live.state !== 'ended';
  saveButton.hidden = !shown;
}

/** @param {Event} [event]  the click of a button; one pressed by the keyboard has no count */
function backToTerminal(event) {
  if (!shown) return;
  if (event instanceof MouseEvent && event.detail === 0) consoleFor(shown).quiet();
  consoleFor(shown).focus();
}

/**
 * Tells whether the browser kept a file, once it has said so.
 * @param {string} name
 * @param {Promise<import('./files.js').Kept>} kept
 */
async function told(name, kept) {
  const outcome = await kept;
  if (outcome === 'stored') {
    status.notice('Saved ' + name + ': see Files.' + (files.downloadNow() ? ' ' + files.downloadNow() : ''));
  } else if (outcome === 'refused') {
    status.notice('The browser refused to keep ' + name + ': download it now from Files; it ' +
      'stays listed only while this page is open.');
  } else {
    status.notice(name + ' is listed under Files: download it now, this browser keeps no files.');
  }
}

/** @param {string} name */
function consoleFor(name) {
  if (consoles[name]) return consoles[name];
  const box = document.createElement('div');
  box.className = 'console';
  box.dataset.program = name;
  terminals.appendChild(box);
  const made = labsimConsole(box, site.columns, {
    line: (bytes) => {
      if (!live || !live.handle) return;
      status.notice('');
      if (live.recorder) live.recorder.typed(bytes && new TextDecoder().decode(bytes));
      live.handle.input(bytes);
    },
    interrupt: stop,
  });
  consoles[name] = Object.assign(made, { box });
  return consoles[name];
}

// The time of day as a file name may carry it: 14h03m22s.
function clockTime() {
  const time = new Date().toTimeString().slice(0, 8).split(':');
  return time[0] + 'h' + time[1] + 'm' + time[2] + 's';
}

// needlefield's accepted passes, kept as a table from the first one on.
/** @param {string} name */
function recorderFor(name) {
  if (name !== 'needlefield') return null;
  const file = 'needlefield-' + clockTime() + '.csv';
  /** @type {string[][]} */
  const rows = [];
  return needleRecorder((row) => {
    rows.push(row);
    told(file, files.save(file, csv({ header: NEEDLE_HEADER, rows }, files.style())));
  });
}

// --- a program's life: starting, asking, running, ended
/** @param {string} name */
async function start(name) {
  const terminal = consoleFor(name);
  if (terminal.hasText()) {
    terminal.write('\r\n\x1b[2m--- ' + name + ' started again at ' +
      new Date().toLocaleTimeString() + ' ---\x1b[0m\r\n\r\n');
  }
  /** @type {Session} */
  const session = {
    name, state: 'starting', handle: null, waiters: [], readings: null, recorder: recorderFor(name),
    decoder: new TextDecoder(),
  };
  live = session;
  status.notice('');
  showState();
  let handle;
  const cannot = (/** @type {string} */ what, /** @type {string} */ why) =>
    titles[name] + ' ' + what + ': ' + why.replace('NAME', name);
  try {
    handle = await startProgram(name, {
      message: (message) => receive(session, message),
      failure: (text) => session.state === 'ended' || end(session, cannot('stopped',
        PROBLEMS[problemOf(text) || 'damaged'] + ' (The browser said: ' + text + '.) The files listed are kept.')),
    });
  } catch (error) {
    end(session, cannot('cannot start', error instanceof ProgramProblem ? PROBLEMS[error.kind]
      : String(error) + '. Reload the page, or start it again.'));
    return;
  }
  if (live !== session) {
    handle.end();
    return;
  }
  session.handle = handle;
  session.state = 'working';
  terminal.accept(true);
  terminal.focus();
  showState();
}

/**
 * @param {Session} session
 * @param {string | null} problem
 */
function end(session, problem) {
  if (session.handle) session.handle.end();
  session.state = 'ended';
  session.problem = problem;
  // Readings that never reached their file become it, as a console's closed window would leave.
  if (session.readings) {
    const readings = session.readings;
    session.readings = null;
    const { name, kept } = files.settle(readings);
    told(name, kept);
  }
  consoleFor(session.name).accept(false);
  keepScreenOn(false);
  session.waiters.splice(0).forEach((resolve) => resolve());
  if (live === session) showState();
}

/** @param {Uint8Array} a @param {Uint8Array} b */
const sameBytes = (a, b) => a.length === b.length && a.every((byte, i) => byte === b[i]);

/**
 * @param {Session} session
 * @param {ProgramMessage} message
 */
function receive(session, message) {
  const terminal = consoleFor(session.name);
  if (message.type === 'out') {
    terminal.write(message.bytes);
    if (session.recorder) session.recorder.printed(session.decoder.decode(message.bytes, { stream: true }));
  } else if (message.type === 'read') {
    session.state = 'asking';
    session.waiters.splice(0).forEach((resolve) => resolve());
    terminal.ask();
  } else if (message.type === 'discard') {
    terminal.discard();
  } else if (message.type === 'run') {
    if (message.running) session.state = 'running';
    else if (session.state === 'running' || session.state === 'stopping') session.state = 'working';
    keepScreenOn(message.running);
  } else if (message.type === 'readings') {
    session.readings = { page: '', name: message.name, time: Date.now(), bytes: message.bytes };
    files.keepReadings(session.readings);
  } else if (message.type === 'file') {
    // The file that holds the run's readings replaces them in the same step.
    const readings = session.readings && sameBytes(session.readings.bytes, message.bytes) ? session.readings : null;
    if (readings) session.readings = null;
    told(message.name, files.save(message.name, message.bytes, readings));
    if (message.name === 'debug.svg') showPicture(session.name, message.bytes);
  } else if (message.type === 'exit') {
    const problem = message.code === 'aborted' ? problemOf(message.reason || '') : null;
    end(session, message.code !== 'aborted' ? null : titles[session.name] + ' stopped: ' +
      (problem ? PROBLEMS[problem].replace('NAME', session.name)
        : 'an internal error (' + (message.reason || 'no detail') + '). "Start again" runs it once more.') +
      ' The files listed are kept.');
  }
  if (live === session) showState();
}

// A phone's screen stays on during a run, which its sleep would otherwise pause or end. The
// browser drops the lock whenever the page is hidden, so it is asked for again on return.
/** @type {WakeLockSentinel | null} */
let screenLock = null;
/** @param {boolean} on */
async function keepScreenOn(on) {
  if (!on || !running()) {
    if (screenLock) screenLock.release().catch(() => {});
    screenLock = null;
    return;
  }
  if (screenLock || !navigator.wakeLock || document.visibilityState !== 'visible') return;
  try {
    const lock = await navigator.wakeLock.request('screen');
    if (running() && !screenLock) {
      screenLock = lock;
      lock.addEventListener('release', () => { if (screenLock === lock) screenLock = null; });
    } else {
      lock.release().catch(() => {});
    }
  } catch (error) {
    // Refused (a low battery, a policy): the run goes on regardless.
  }
}
document.addEventListener('visibilitychange', () => keepScreenOn(true));

// As Ctrl-C on a console: the program writes the rows so far and asks its closing question.
// Resolves once it has, or has ended.
function stop() {
  const session = live;
  if (!session || !session.handle || !running()) return Promise.resolve();
  const done = new Promise((resolve) => session.waiters.push(() => resolve(undefined)));
  if (session.state === 'running') {
    session.state = 'stopping';
    session.handle.stop();
    showState();
  }
  return done;
}

// A second click on Stop or Start again, which hide once used, lands here and still finds the terminal.
element('bar').addEventListener('click', (event) => {
  if (!(event.target instanceof HTMLButtonElement)) backToTerminal();
});
stopButton.addEventListener('click', (event) => {
  stop();
  backToTerminal(event);
});
restartButton.addEventListener('click', () => {
  if (shown && (!live || live.state === 'ended')) start(shown);
});
saveButton.addEventListener('click', (event) => {
  if (!shown) return;
  const name = shown + '-screen-' + clockTime() + '.txt';
  told(name, files.save(name, new TextEncoder().encode(consoleFor(shown).text())));
  backToTerminal(event);
});

// Where the browser lets the page ask before it goes, it asks; where it does not (a phone's
// closed tab), the readings so far are already kept.
window.addEventListener('beforeunload', (event) => {
  if (!running()) return;
  event.preventDefault();
  event.returnValue = '';
});

// The picture shows beside the terminal of the program that drew it.
/** @type {string | null} */
let pictured = null;
/** @param {string} name @param {Uint8Array} bytes */
function showPicture(name, bytes) {
  const image = /** @type {HTMLImageElement} */ (element('picture-image'));
  if (image.src) URL.revokeObjectURL(image.src);
  image.src = URL.createObjectURL(new Blob([/** @type {BlobPart} */ (bytes)], { type: 'image/svg+xml' }));
  pictured = name;
  picture.hidden = shown !== pictured;
}

// --- the start page, the menu and the way between programs
const menu = element('programs');
const list = element('program-blurbs');
site.programs.forEach(({ name, title, about }) => {
  const item = document.createElement('li');
  const link = document.createElement('a');
  link.href = '#' + name;
  // A phone's narrow bar shows the name alone.
  const what = document.createElement('span');
  what.className = 'what';
  what.textContent = ': ' + title;
  link.append(name, what);
  item.appendChild(link);
  menu.appendChild(item);
  const blurb = document.createElement('li');
  const strong = document.createElement('strong');
  strong.textContent = name;
  blurb.append(strong, ' ' + about);
  list.appendChild(blurb);
});
// The guides open beside the page, so that reading one never ends a run.
/** @param {HTMLAnchorElement} link @param {string} title */
function besideThePage(link, title) {
  link.target = '_blank';
  link.rel = 'noopener';
  link.setAttribute('aria-label', title + ' (opens in a new tab)');
}
const guides = element('guides');
site.guides.forEach((guide) => {
  const item = document.createElement('li');
  const link = document.createElement('a');
  link.href = guide.file;
  link.textContent = guide.title;
  besideThePage(link, guide.title);
  item.appendChild(link);
  guides.appendChild(item);
});
document.querySelectorAll('#intro a[href$=".html"]').forEach((link) =>
  besideThePage(/** @type {HTMLAnchorElement} */ (link), link.textContent || ''));

/** @param {string | null} name */
function show(name) {
  shown = name;
  document.querySelectorAll('#programs a').forEach((a) => {
    if (/** @type {HTMLAnchorElement} */ (a).hash === '#' + name) a.setAttribute('aria-current', 'page');
    else a.removeAttribute('aria-current');
  });
  intro.hidden = name !== null;
  terminals.hidden = name === null;
  Object.keys(consoles).forEach((other) => { consoles[other].box.hidden = other !== name; });
  picture.hidden = name === null || name !== pictured;
  if (name === null) {
    showState();
    return;
  }
  consoleFor(name).box.hidden = false;
  consoleFor(name).resize();
  start(name);
}

const wanted = () => {
  const name = decodeURIComponent(location.hash.slice(1));
  return site.programs.some((program) => program.name === name) ? name : null;
};

// Each entry of the page's history carries its place, so that a declined Back or Forward can
// return to the entry it came from instead of overwriting the one it went to.
/** @returns {number | undefined} */
const place = () => (history.state && typeof history.state.labsimPlace === 'number' ? history.state.labsimPlace : undefined);
let current = place() ?? 0;
if (place() === undefined) history.replaceState({ labsimPlace: current }, '');

const leaveQuestion = 'The experiment is still running. Stop it here, keep the readings taken so ' +
  'far in its results file, and leave?';
// A link within the page asks before the address changes, so a declined one leaves no trace.
document.addEventListener('click', (event) => {
  const link = event.target instanceof Element ? event.target.closest('a') : null;
  if (!link || !running() || !(link.getAttribute('href') || '').startsWith('#') || link.hash === location.hash) return;
  if (window.confirm(leaveQuestion)) accepted = true;
  else event.preventDefault();
});

let accepted = false;
let routing = false;
async function route() {
  const name = wanted();
  const arrived = place();
  if (arrived === undefined) {
    current += 1;
    history.replaceState({ labsimPlace: current }, '');
  }
  if (routing || name === shown) {
    current = place() ?? current;
    return;
  }
  if (running()) {
    const yes = accepted || window.confirm(leaveQuestion);
    accepted = false;
    if (!yes) {
      // Declined: back to the running program's entry, which never noticed.
      if (arrived !== undefined && arrived !== current) history.go(current - arrived);
      else history.replaceState({ labsimPlace: current }, '', shown ? '#' + shown : location.pathname);
      return;
    }
    routing = true;
    await stop();
    routing = false;
  }
  current = place() ?? current;
  if (live) end(live, null);
  live = null;
  show(wanted());
}
window.addEventListener('hashchange', route);

/** @type {ReturnType<typeof setTimeout> | undefined} */
let resizing;
window.addEventListener('resize', () => {
  clearTimeout(resizing);
  resizing = setTimeout(() => shown && consoleFor(shown).resize(), 50);
});

files.open().then(() => {
  show(wanted());
  // Idle: no program started, so nothing on screen is lost if the page reloads into a new version.
  keepOffline(site, { idle: () => !Object.keys(consoles).length, notice: status.notice });
  // Runs cut short by a closed page: their readings become their files, said once.
  files.whenPagesClose(async (readings) => {
    const { name, kept } = files.settle(readings);
    await kept;
    status.notice('The last experiment was cut short when the page closed; its readings so far ' +
      'are kept in ' + name + ': see Files.');
  });
});
