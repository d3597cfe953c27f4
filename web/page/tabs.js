// The site's other pages: each change to the files is told to them, and each page answers a roll
// call while it lives, so that another can tell a run cut short by a closed page from one still
// going in another tab. The channel does not reach every engine's other tabs (Firefox and WebKit
// from file://), so a running page also says so in the store (a heartbeat), and a closing one
// leaves its name in local storage, which every engine shares between its tabs.

import { readLocalList, writeLocal } from './local.js';

const PAGES = 'labsim-pages';
// A heartbeat older than this means the page is gone, or frozen where it cannot answer.
export const HEARTBEAT = 5000;
const STALE = 30000;

/**
 * @param {string} siteId
 * @param {import('./lifecycle.js').Lifecycle} lifecycle
 */
export function siteTabs(siteId, lifecycle) {
  const page = 'page-' + Date.now().toString(36) + '-' + Math.random().toString(36).slice(2);
  const closedKey = 'labsim:' + siteId + ':closed';
  /** @type {(() => void)[]} */
  const listeners = [];
  /** @type {BroadcastChannel | null} */
  let changes = null;
  /** @type {BroadcastChannel | null} */
  let rollCall = null;
  const changed = () => listeners.forEach((listener) => listener());

  // Open channels keep a page out of the back-forward cache: they live while the page is shown.
  function open() {
    if (typeof BroadcastChannel !== 'function' || changes) return;
    changes = new BroadcastChannel('labsim:' + siteId);
    changes.onmessage = changed;
    const answering = new BroadcastChannel(PAGES);
    answering.onmessage = (event) => event.data === 'who' && answering.postMessage(page);
    rollCall = answering;
  }
  function close() {
    if (changes) changes.close();
    if (rollCall) rollCall.close();
    changes = rollCall = null;
  }

  // Without local storage, the heartbeat alone tells.
  const closedPages = () => readLocalList(closedKey);
  const keepClosed = (/** @type {string[]} */ pages) => writeLocal(closedKey, pages.slice(-20));

  open();
  lifecycle.hidden(() => {
    keepClosed(closedPages().filter((other) => other !== page).concat([page]));
    tell();
    close();
  });
  lifecycle.restored(() => {
    keepClosed(closedPages().filter((other) => other !== page));
    open();
  });
  lifecycle.seen(changed);

  function tell() {
    if (changes) changes.postMessage('files');
  }

  /** @returns {Promise<Set<string>>} the pages that answer within a second */
  function answering() {
    return new Promise((resolve) => {
      const alive = new Set();
      if (typeof BroadcastChannel !== 'function') {
        resolve(alive);
        return;
      }
      const ask = new BroadcastChannel(PAGES);
      ask.onmessage = (event) => alive.add(event.data);
      ask.postMessage('who');
      setTimeout(() => {
        ask.close();
        resolve(alive);
      }, 1000);
    });
  }

  return {
    page,
    tell,
    /** @param {() => void} listener  another page changed the files, or this one is seen again */
    changed: (listener) => listeners.push(listener),
    /**
     * Those of the pages that are gone: closed, or silent with an old heartbeat.
     * @template {{page: string, alive?: number}} T
     * @param {T[]} runs
     * @returns {Promise<T[]>}
     */
    async gone(runs) {
      const closed = closedPages();
      const others = runs.filter((run) => run.page !== page);
      const silent = others.filter((run) => !closed.includes(run.page) && Date.now() - (run.alive || 0) > STALE);
      const alive = silent.length ? await answering() : new Set();
      return others.filter((run) => closed.includes(run.page) || (silent.includes(run) && !alive.has(run.page)));
    },
    /** @param {string} gone  its readings are settled: no need to remember it */
    forget(gone) {
      keepClosed(closedPages().filter((other) => other !== gone));
    },
  };
}
/** @typedef {ReturnType<typeof siteTabs>} Tabs */
