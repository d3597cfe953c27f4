// The files a program hands over and a run's readings so far: kept in the browser's store,
// listed under Files, the same in every tab of the site, and never lost to a store that fails
// (a file the browser refuses stays listed while the page is open, and says so).
import { fileList } from './file_list.js';
import { storageNote } from './storage_note.js';
import { openStore } from './store.js';
import { tableStyle } from './table_style.js';
import { csv } from './tables.js';
import { HEARTBEAT } from './tabs.js';

/** @typedef {import('./file_list.js').ListedFile} ListedFile */
/** @typedef {import('./store.js').Readings} Readings */
/** @typedef {'stored' | 'refused' | 'unkept'} Kept  in the browser's storage, refused by it, or kept by none */

/** @param {string} path  as the program wrote it @returns {string} the name Files lists it under */
export const fileName = (path) => path.split('/').pop() || path;

/** @param {string} id */
const element = (id) => /** @type {HTMLElement} */ (document.getElementById(id));

/**
 * @param {string} siteId
 * @param {{notice: (text: string) => void, backToTerminal: (event?: Event) => void,
 *   listed: (count: number) => void, lifecycle: import('./lifecycle.js').Lifecycle,
 *   tabs: import('./tabs.js').Tabs, cutShort: (name: string) => void}} page
 * @param {{tables: import('./tables.js').Style | null, handin: string, who: () => {round: string, name: string}}} round
 *   what the organiser's link set: the tables' style, the hand-in note, and whose the hand-in is
 * @param {{words: import('./words.js').Words, dateTime: (time: number) => string}} language
 */
export function labsimFiles(siteId, page, round, language) {
  const { words } = language;
  const { tabs } = page;
  /** @type {Awaited<ReturnType<typeof openStore>> | null} */
  let store = null;
  let nextKey = 1;
  // Counts this page's own changes, so that a list read from the store before one is not shown.
  let changes = 0;
  const lasting = () => !!store && store.lasting;
  const note = storageNote(element('files-note'), words);
  const style = tableStyle(siteId, element('files-style'), { changed: restyle, backToTerminal: page.backToTerminal, words }, round.tables);
  const handin = round.handin ? ' ' + words('files.handIn', { note: round.handin }) : '';
  element('files-handin').textContent = handin.trim();
  element('files-handin').hidden = !handin;
  const list = fileList({
    list: element('files'), actions: element('files-actions'), removeAll: element('remove-all'),
    downloadAll: /** @type {HTMLAnchorElement} */ (element('download-all')), undoBar: element('files-undo'),
  }, {
    style: style.current, notice: page.notice, backToTerminal: page.backToTerminal, listed: page.listed,
    removed: (files) => ++changes && lasting() && store && store.remove(files).then(tabs.tell, () => {}),
    restored: (files) => ++changes && lasting() && Promise.all(files.map((file) => store && store.restore(file)))
      .then(tabs.tell, () => {}),
    who: round.who, words, dateTime: language.dateTime,
  });

  /**
   * @param {string} name
   * @param {Uint8Array} bytes
   * @param {{cells?: string[][], table?: import('./tables.js').Table}} [what]
   * @returns {ListedFile}
   */
  function record(name, bytes, what = {}) {
    return { name, time: Date.now(), key: nextKey++, bytes, ...what };
  }

  /**
   * @param {ListedFile} file
   * @param {Promise<unknown> | null} writing
   * @returns {Promise<Kept>}
   */
  async function kept(file, writing) {
    if (!writing) {
      file.unkept = true;
      return 'unkept';
    }
    const outcome = await writing.then(() => /** @type {Kept} */ ('stored'), () => /** @type {Kept} */ ('refused'));
    if (outcome === 'stored') tabs.tell();
    else {
      file.unkept = true;
      list.render();
    }
    return outcome;
  }

  /**
   * A file of the same name replaces the one listed, as it would in a folder.
   * @param {string} name
   * @param {Uint8Array} bytes
   * @param {{cells?: string[][], table?: import('./tables.js').Table, readings?: Readings | null}} [what]
   *   readings: a run's readings that this file now holds
   */
  function save(name, bytes, what = {}) {
    const { readings, ...facts } = what;
    const file = record(name, bytes, facts);
    changes++;
    list.add(file);
    return kept(file, !lasting() || !store ? null : readings ? store.settleReadings(readings, file) : store.put(file));
  }

  // needlefield's tables follow the style, so that a hand-in never mixes the two; each gets a new
  // key, and with it new addresses for its link and the zip.
  /** @param {import('./tables.js').Style} now */
  function restyle(now) {
    changes++;
    for (const file of list.files().filter((other) => other.table)) {
      const again = { ...file, key: nextKey++, bytes: csv(/** @type {import('./tables.js').Table} */ (file.table), now) };
      list.add(again);
      if (lasting() && store) store.put(again).then(tabs.tell, () => {});
    }
    list.render();
  }

  // Another tab changed the files, or this one comes back to the front: the store has the list.
  async function refresh() {
    if (!lasting() || !store) return;
    const before = changes;
    const stored = await store.all().catch(() => null);
    if (!stored) return;
    if (changes !== before) {
      refresh();
      return;
    }
    nextKey = stored.reduce((key, file) => Math.max(key, file.key + 1), nextKey);
    // Files the browser refused to keep live in this page alone.
    list.show(stored.concat(list.files().filter((file) => file.unkept && !stored.some((other) => other.name === file.name))));
    await settleClosedRuns();
  }

  // Runs cut short by a page that closed: their readings become their files, said once.
  let settling = false;
  async function settleClosedRuns() {
    if (!store || settling) return;
    settling = true;
    try {
      const left = await store.readings().catch(() => []);
      for (const readings of await tabs.gone(left)) {
        const name = fileName(readings.name);
        const file = record(name, readings.bytes, readings.cells ? { cells: readings.cells } : {});
        if (await store.settleReadings(readings, file, true).catch(() => false)) {
          list.add(file);
          tabs.tell();
          page.cutShort(name);
        }
        tabs.forget(readings.page);
      }
    } finally {
      settling = false;
    }
  }

  return {
    async open() {
      store = await openStore(siteId, page.lifecycle);
      nextKey = store.files.reduce((key, file) => Math.max(key, file.key + 1), nextKey);
      list.show(store.files.slice());
      await note.tell(store.lasting);
      tabs.changed(refresh);
      // A hand-in holds what the other tabs kept too, where no channel told this one.
      for (const type of ['pointerdown', 'focus']) element('download-all').addEventListener(type, refresh);
    },
    settleClosedRuns,
    save,
    /**
     * A run's readings so far, kept where a closed page cannot lose them; not listed until the
     * run ends without its file. Kept again now and then while the run goes on, which tells
     * other tabs that this page still runs it.
     * @param {Readings} readings
     */
    keepReadings(readings) {
      readings.page = tabs.page;
      readings.alive = Date.now();
      return lasting() && store ? store.keepReadings(readings).then(() => true, () => false) : Promise.resolve(false);
    },
    heartbeat: HEARTBEAT,
    /**
     * The readings of a run that ended without its file become that file, listed by its name.
     * @param {Readings} readings
     */
    settle(readings) {
      const name = fileName(readings.name);
      return { name, kept: save(name, readings.bytes, { cells: readings.cells, readings }) };
    },
    style: style.current,
    /** The hand-in is named anew: the student has given a name. */
    named: () => list.render(),
    /**
     * Tells whether the browser kept a file, once it has said so.
     * @param {string} name
     * @param {Promise<Kept>} kept
     */
    async told(name, kept) {
      const outcome = await kept;
      if (outcome === 'stored') {
        page.notice(words('files.saved', { file: name }) + (note.downloadNow() ? ' ' + note.downloadNow() : '') + handin);
      } else if (outcome === 'refused') {
        page.notice(words('files.refused', { file: name }));
      } else {
        page.notice(words('files.keptByNone', { file: name }));
      }
    },
  };
}
