// The page, composed: each part is made here and handed what it needs; none reaches for another.
import { answerLine } from './answer_line.js';
import { roundBanner } from './banner.js';
import { barControls } from './controls.js';
import { programConsoles } from './consoles.js';
import { cutShortNotice } from './cut_short.js';
import { labsimFiles } from './files.js';
import { pageLanguage } from './language.js';
import { pageLifecycle } from './lifecycle.js';
import { siteMenu } from './menu.js';
import { keepOffline } from './offline.js';
import { linkQuery } from './organiser_link.js';
import { programPicture } from './picture.js';
import { fragmentRouter } from './router.js';
import { screenLock } from './screen_lock.js';
import { programSessions } from './sessions.js';
import { readSettings } from './settings.js';
import { statusLine } from './status.js';
import { studentName } from './student_name.js';
import { siteTabs } from './tabs.js';
import { programVoice } from './voice.js';

/**
 * @typedef {object} Site  what the build tells the page, in programs/site.js
 * @property {string} id  names the storage of the site's files
 * @property {string} [version]
 * @property {number} columns  the terminal's type shrinks until this many columns fit
 * @property {{name: string}[]} programs
 * @property {import('./menu.js').Guide[]} guides
 */
/** @type {Site} */
const site = /** @type {any} */ (window).labsimSite;
/** @param {string} id */
const element = (id) => /** @type {HTMLElement} */ (document.getElementById(id));
const onSite = site.programs.map((program) => program.name);
const settings = readSettings(linkQuery(site.id), onSite);
const language = pageLanguage(site.id, settings.lang);
const { words } = language;
language.fill(document);
language.offer(/** @type {HTMLSelectElement} */ (element('language')), element('language-status'));
const titles = Object.fromEntries(onSite.map((name) => [name, name + ': ' + words('program.' + name + '.title')]));
const banner = roundBanner(element('round'), settings, onSite, { words, languageName: language.name });
const student = studentName(/** @type {HTMLFormElement} */ (element('student')), site.id, settings.round);
let studentsName = settings.askName ? student.known() : '';

const lifecycle = pageLifecycle();
const status = statusLine(element('status'), titles, words);
const consoles = programConsoles(element('consoles'), element('terminal'), site.columns, {
  line: (bytes) => sessions.input(bytes),
  interrupt: () => sessions.stop(),
});
const answer = answerLine({
  form: /** @type {HTMLFormElement} */ (element('answer')), field: /** @type {HTMLInputElement} */ (element('answer-text')),
  question: element('answer-question'), toggle: /** @type {HTMLInputElement} */ (element('answer-on')),
}, {
  siteId: site.id,
  submit: (line) => consoles.shown() && consoles.of(/** @type {string} */ (consoles.shown())).submit(line),
  shown: () => consoles.shown() && consoles.of(/** @type {string} */ (consoles.shown())).scrollToBottom(),
  interrupt: () => sessions.stop(),
  relayout: () => consoles.shown() && consoles.of(/** @type {string} */ (consoles.shown())).resize(),
  words,
});
// The keyboard goes back to where the student answers: the answer line, or the terminal.
/** @param {Event} [event] */
const backToTerminal = (event) => (answer.on() && consoles.shown() ? answer.focus() : consoles.backToTerminal(event));
const tabs = siteTabs(site.id, lifecycle);
const cutShort = cutShortNotice(site.id, status.notice, words);
const files = labsimFiles(site.id, {
  notice: status.notice, backToTerminal, listed: (count) => controls.listed(count),
  lifecycle, tabs, cutShort: cutShort.add,
}, { tables: settings.tables, handin: settings.handin, who: () => ({ round: settings.round, name: studentsName }) }, language);
const picture = programPicture(element('picture'), /** @type {HTMLImageElement} */ (element('picture-image')));
const sessions = programSessions({
  titles, consoles, files, picture, lifecycle, answer, voice: programVoice(element('program-says')), words,
  notice: status.notice, focus: () => backToTerminal(), changed: () => {
    controls.update();
    lock.update();
  },
});
const lock = screenLock(sessions.running);
const controls = barControls({
  bar: element('bar'), stop: /** @type {HTMLButtonElement} */ (element('stop')), restart: element('restart'),
  save: element('save-screen'), toFiles: element('to-files'), filesHeading: element('files-heading'),
}, { sessions, consoles, status, backToTerminal, files: () => files, words });
const menu = siteMenu({
  menu: element('programs'), blurbs: element('program-blurbs'), guides: element('guides'), intro: element('intro'),
  programWords: /** @type {HTMLAnchorElement} */ (element('program-words')),
}, { programs: settings.programs.map((name) => site.programs[onSite.indexOf(name)]), guides: site.guides }, settings.exam, language);
const router = fragmentRouter({
  programs: settings.programs, open: settings.open, leaving: words('leave.confirm'),
  running: sessions.running, stop: sessions.stop, leave: sessions.leave, shown: consoles.shown,
  show: (name) => {
    menu.mark(name);
    consoles.show(name);
    picture.follow(name);
    controls.update();
    if (name) sessions.start(name);
  },
});

files.open().then(() => (settings.askName ? student.ask((shown) => {
  element('intro').hidden = shown;
  status.waitFor(shown ? words('status.name') : '');
}) : '')).then((name) => {
  studentsName = name;
  banner.named(name);
  files.named();
  router.start();
  cutShort.show();
  files.settleClosedRuns();
  // Idle: no program started, so nothing on screen is lost if the page reloads into a new version.
  keepOffline(site, { idle: () => !consoles.any(), notice: status.notice, words });
});
