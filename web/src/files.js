// The Files list: each file to download, a results file's table as CSV or copied, everything at
// once for a hand-in, Remove and Remove all with Undo, and the notes on where files stay and
// which separators the tables use.
import { openStore } from './store.js';
import { csv, restyled, resultsTable, styleOf, tabSeparated } from './tables.js';
import { copyText } from './terminal.js';
import { zip } from './zip.js';

/** @typedef {import('./store.js').StoredFile & {unkept?: boolean}} StoredFile */
/** @typedef {import('./store.js').Readings} Readings */
/** @typedef {import('./tables.js').Style} Style */
/** @typedef {'stored' | 'refused' | 'unkept'} Kept  in the browser's storage, refused by it, or kept by none */

/** @param {string} id */
const element = (id) => /** @type {HTMLElement} */ (document.getElementById(id));

const STYLE_WORDS = {
  point: ['Tables (CSV, Copy table) use commas and decimal points.', 'Use semicolons and decimal commas'],
  comma: ['Tables (CSV, Copy table) use semicolons and decimal commas.', 'Use commas and decimal points'],
};

/**
 * @param {string} siteId
 * @param {{notice: (text: string) => void, backToTerminal: (event?: Event) => void,
 *   listed: (count: number) => void}} page
 */
export function labsimFiles(siteId, page) {
  const list = element('files');
  const note = element('files-note');
  const undoBar = element('files-undo');
  const undoButton = /** @type {HTMLButtonElement} */ (undoBar.querySelector('button'));
  const actions = element('files-actions');
  const downloadAll = /** @type {HTMLAnchorElement} */ (element('download-all'));
  const styleText = /** @type {HTMLElement} */ (element('files-style').querySelector('span'));
  const styleButton = /** @type {HTMLButtonElement} */ (element('files-style').querySelector('button'));
  /** @type {StoredFile[]} */
  let memory = [];
  /** @type {Awaited<ReturnType<typeof openStore>> | null} */
  let store = null;
  let nextKey = 1;
  // What the status adds to each saved file where the browser may not keep it.
  let downloadNow = '';
  /** @type {StoredFile[]} */
  let removed = [];

  // The separators a student's spreadsheet expects: the language's, or the one last chosen here.
  const styleKey = 'labsim:' + siteId + ':tables';
  /** @returns {Style} */
  function readStyle() {
    try {
      const chosen = localStorage.getItem(styleKey);
      if (chosen === 'point' || chosen === 'comma') return chosen;
    } catch (error) {
      // A browser that keeps nothing still offers the language's style.
    }
    return styleOf(navigator.language);
  }
  /** @type {Style} */
  let style = readStyle();
  styleButton.addEventListener('click', () => {
    style = style === 'comma' ? 'point' : 'comma';
    try {
      localStorage.setItem(styleKey, style);
    } catch (error) {
      // Kept for this visit only.
    }
    // needlefield's tables follow, so that a hand-in never mixes the two.
    for (const file of memory.filter((other) => /^needlefield-.*\.csv$/.test(other.name))) {
      const again = { ...file, bytes: restyled(file.bytes, style) };
      listFile(again);
      if (store && store.lasting) store.put(again).then(tellOtherPages, () => {});
    }
    render();
    styleButton.focus();
  });

  // How long what the page keeps lasts: for good, only until the private window closes, until
  // the browser needs the room (a served site the browser has not promised to keep; Safari
  // also clears a site after 7 days without a visit), or unknown where the browser does not
  // tell. A private window's storage is a small one in memory; Firefox and Safari refuse it the
  // origin's private file system, which they grant a normal window (Firefox on file:// too).
  /** @returns {Promise<'persistent' | 'private' | 'evictable' | 'unknown'>} */
  async function storageLasts() {
    const storage = navigator.storage;
    if (!storage || !storage.persisted) return 'unknown';
    try {
      if (await storage.persisted()) return 'persistent';
      const served = /^https?:$/.test(location.protocol);
      const { quota } = await storage.estimate();
      if (quota !== undefined && quota < 200 * 1024 * 1024) return 'private';
      if ((served || /Firefox\//.test(navigator.userAgent)) && storage.getDirectory &&
          !(await storage.getDirectory().then(() => true, () => false))) return 'private';
      if (served) return 'evictable';
    } catch (error) {
      return 'unknown';
    }
    return 'unknown';
  }

  /** @param {'persistent' | 'private' | 'evictable' | 'unknown'} lasts */
  function describe(lasts) {
    const next = ' Whoever uses this browser next sees these files too: download what you need, ' +
      'then "Remove all".';
    downloadNow = '';
    if (!store || !store.lasting) {
      note.textContent = 'This browser keeps no files for this page: download each file as soon ' +
        'as it is listed, before you close the page.';
    } else if (lasts === 'private') {
      downloadNow = 'Download it now: this private window forgets it.';
      note.textContent = 'This is a private window: its files go when the window closes. ' +
        'Download each file as soon as it is listed.';
    } else if (lasts === 'evictable') {
      downloadNow = 'Download it now: this browser may delete it.';
      note.textContent = 'This browser did not promise to keep these files: it may delete them ' +
        'when it needs room (Safari after 7 days without a visit). Download each file after each ' +
        'run.' + next;
    } else {
      note.textContent = 'Files stay in this browser on this computer only, until you remove ' +
        'them' + (lasts === 'persistent' ? '' : ' (in a private window, until it closes)') + '.' + next;
    }
  }

  async function open() {
    store = await openStore(siteId);
    memory = store.files.slice();
    nextKey = memory.reduce((key, file) => Math.max(key, file.key + 1), nextKey);
    const lasts = store.lasting ? await storageLasts() : 'private';
    describe(lasts);
    render();
    // A served site asks to be kept. Firefox asks the student first and answers only when they
    // do, so the page never waits for it.
    if (lasts === 'evictable') {
      navigator.storage.persist().then((granted) => granted && describe('persistent'), () => {});
    }
  }

  /**
   * @param {string} name
   * @param {Uint8Array} bytes
   * @returns {StoredFile}
   */
  function record(name, bytes) {
    // Plain bytes, not a Blob: WebKit keeps no Blob in the storage of a private window.
    return { name, time: Date.now(), key: nextKey++, bytes };
  }

  /** @param {StoredFile} file */
  function listFile(file) {
    memory = memory.filter((other) => other.name !== file.name).concat([file]);
    render();
  }

  /**
   * @param {Promise<unknown>} writing
   * @returns {Promise<Kept>}
   */
  function outcome(writing) {
    if (!store || !store.lasting) return Promise.resolve('unkept');
    return writing.then(() => {
      tellOtherPages();
      return /** @type {Kept} */ ('stored');
    }, () => /** @type {Kept} */ ('refused'));
  }

  /**
   * A file of the same name replaces the one listed, as it would in a folder; a file the browser
   * refuses to keep stays listed while the page is open.
   * @param {string} name
   * @param {Uint8Array} bytes
   * @param {Readings | null} [readings]  a run's readings that this file now holds
   */
  async function save(name, bytes, readings) {
    const file = record(name, bytes);
    listFile(file);
    const kept = store ? await outcome(readings ? store.settleReadings(readings, file) : store.put(file)) : 'unkept';
    file.unkept = kept !== 'stored';
    return kept;
  }

  /**
   * A run's readings so far, kept where a closed page cannot lose them; not listed until the run
   * ends without its file.
   * @param {Readings} readings
   */
  function keepReadings(readings) {
    if (!store) return Promise.resolve(/** @type {Kept} */ ('unkept'));
    readings.page = store.page;
    return store.keepReadings(readings).then(() => /** @type {Kept} */ ('stored'), () => /** @type {Kept} */ ('refused'));
  }

  /**
   * The readings of a run that ended without its file become that file, listed by its name.
   * @param {Readings} readings
   */
  function settle(readings) {
    const name = readings.name.split('/').pop() || readings.name;
    return { name, kept: save(name, readings.bytes, readings) };
  }

  /** @param {StoredFile[]} files */
  // Undo brings back everything removed since it was last pressed: a double click on Remove,
  // whose second click lands on the next file once the list has moved, loses nothing.
  async function remove(files) {
    if (!files.length) return;
    removed = removed.concat(files);
    memory = memory.filter((file) => !files.includes(file));
    render();
    const what = removed.length === 1 ? removed[0].name : removed.length + ' files';
    undoBar.hidden = false;
    /** @type {HTMLElement} */ (undoBar.querySelector('span')).textContent = 'Removed ' + what + '.';
    undoButton.setAttribute('aria-label', 'Undo: bring back ' + what);
    undoButton.focus();
    page.notice('');
    if (store && store.lasting) await store.remove(files).catch(() => {});
    tellOtherPages();
  }

  undoButton.addEventListener('click', async (event) => {
    undoBar.hidden = true;
    // A newer file of that name, here or in another tab, is kept rather than the one removed.
    const back = removed.filter((file) => !memory.some((other) => other.name === file.name));
    removed = [];
    page.notice('');
    memory = memory.concat(back);
    render();
    page.backToTerminal(event);
    if (store && store.lasting) await Promise.all(back.map((file) => store && store.restore(file).catch(() => {})));
    tellOtherPages();
  });

  // Other tabs of the site see each change, so that none hands in or removes an old list.
  const channel = typeof BroadcastChannel === 'function' ? new BroadcastChannel('labsim:' + siteId) : null;
  function tellOtherPages() {
    if (channel) channel.postMessage('files');
  }
  if (channel) {
    channel.onmessage = async () => {
      if (!store || !store.lasting) return;
      const stored = await store.all().catch(() => null);
      if (!stored) return;
      // Files the browser refused to keep live in this page alone.
      memory = stored.concat(memory.filter((file) => file.unkept && !stored.some((other) => other.name === file.name)));
      render();
    };
  }

  element('remove-all').addEventListener('click', () => {
    const count = memory.length;
    if (!count || !window.confirm('Remove all ' + count + (count === 1 ? ' file' : ' files') +
      ' from this browser? Download them first if you still need them.')) return;
    remove(memory.slice());
  });

  // A home-screen app on iPadOS and iOS ignores a download link: there each file goes to the
  // share sheet instead, which saves it to Files or sends it on. The share must start within the
  // tap, so the file is made from the bytes at hand.
  /** @param {MouseEvent} event @param {HTMLAnchorElement} link */
  function shareInstead(event, link) {
    const bytes = sources.get(link.href);
    if (!(/** @type {any} */ (navigator).standalone) || !navigator.canShare || !bytes) return;
    const type = { csv: 'text/csv', zip: 'application/zip', svg: 'image/svg+xml' }[link.download.split('.').pop() || ''];
    const file = new File([/** @type {BlobPart} */ (bytes())], link.download, { type: type || 'text/plain' });
    if (!navigator.canShare({ files: [file] })) return;
    event.preventDefault();
    navigator.share({ files: [file] }).catch(() => {});
  }
  // Any download gives the keyboard back to the terminal once the browser has taken the file.
  list.addEventListener('click', (event) => {
    if (!(event.target instanceof HTMLAnchorElement)) return;
    shareInstead(event, event.target);
    setTimeout(() => page.backToTerminal(event), 0);
  });
  downloadAll.addEventListener('click', (event) => {
    downloadAll.download = 'files-' + localDate() + '.zip';
    shareInstead(event, downloadAll);
    setTimeout(() => page.backToTerminal(event), 0);
  });

  /**
   * @param {StoredFile} file
   * @param {import('./tables.js').Table} table
   * @param {Event} event
   */
  async function copyTable(file, table, event) {
    const copied = await copyText(tabSeparated(table, style));
    page.notice(copied ? 'Copied the table of ' + file.name + ': paste it into a spreadsheet.'
      : 'The browser did not let the page copy: download the CSV instead.');
    page.backToTerminal(event);
  }

  /** @param {string} text @param {string} label */
  function button(text, label) {
    const made = document.createElement('button');
    made.type = 'button';
    made.textContent = text;
    made.setAttribute('aria-label', label);
    return made;
  }

  // A link keeps its address while the list changes, so that a click during a change still works.
  let urls = new Map();
  // The bytes behind each address, for the share sheet.
  /** @type {Map<string, () => Uint8Array>} */
  let sources = new Map();
  /** @param {Map<string, string>} kept @param {string} id @param {() => Uint8Array} bytes */
  function url(kept, id, bytes) {
    const made = urls.get(id) || URL.createObjectURL(new Blob([/** @type {BlobPart} */ (bytes())]));
    kept.set(id, made);
    sources.set(made, bytes);
    return made;
  }

  function render() {
    const files = memory.slice().sort((a, b) => b.time - a.time || b.key - a.key);
    /** @type {Map<string, string>} */
    const kept = new Map();
    list.textContent = '';
    files.forEach((file) => {
      const id = file.name + '@' + file.key;
      const item = document.createElement('li');
      const link = document.createElement('a');
      link.href = url(kept, id, () => file.bytes);
      link.download = file.name;
      link.textContent = file.name;
      const details = document.createElement('span');
      details.textContent = file.bytes.length + ' bytes, ' + new Date(file.time).toLocaleString();
      item.append(link, ' ', details, ' ');
      const table = /\.txt$/.test(file.name) ? resultsTable(file.bytes) : null;
      if (table) {
        const csvName = file.name.replace(/\.txt$/, '.csv');
        const csvLink = document.createElement('a');
        csvLink.href = url(kept, id + ':' + style, () => csv(table, style));
        csvLink.download = csvName;
        csvLink.textContent = 'CSV';
        csvLink.setAttribute('aria-label', 'CSV of ' + file.name + ': download ' + csvName);
        const copy = button('Copy table', 'Copy table of ' + file.name);
        copy.addEventListener('click', (event) => copyTable(file, table, event));
        item.append(csvLink, ' ', copy, ' ');
      }
      const removeButton = button('Remove', 'Remove ' + file.name + ' from the list');
      removeButton.addEventListener('click', () => remove([file]));
      item.append(removeButton);
      list.appendChild(item);
    });
    if (files.length) {
      downloadAll.href = url(kept, 'all:' + files.map((file) => file.name + '@' + file.key).join('/'),
        () => zip(files.slice().reverse()));
      downloadAll.download = 'files-' + localDate() + '.zip';
    }
    actions.hidden = !files.length;
    page.listed(files.length);
    urls.forEach((made, id) => kept.has(id) || URL.revokeObjectURL(made));
    urls = kept;
    const addresses = new Set(kept.values());
    sources = new Map([...sources].filter(([made]) => addresses.has(made)));
    styleText.textContent = STYLE_WORDS[style][0];
    styleButton.textContent = STYLE_WORDS[style][1];
  }

  return {
    open,
    save,
    keepReadings,
    settle,
    style: () => style,
    downloadNow: () => downloadNow,
    /** @param {(readings: Readings) => void} callback */
    whenPagesClose: (callback) => store && store.whenPagesClose(callback),
  };
}

// The date as the student's calendar shows it, for the hand-in's name.
function localDate() {
  const now = new Date();
  const two = (/** @type {number} */ n) => String(n).padStart(2, '0');
  return now.getFullYear() + '-' + two(now.getMonth() + 1) + '-' + two(now.getDate());
}
