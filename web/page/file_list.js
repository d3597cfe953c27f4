// The Files list as the student sees it: each file to download (the share sheet in an iOS
// home-screen app), a results file's table as CSV or copied, everything at once for a hand-in,
// and Remove and Remove all with Undo.
import { csv, readingsTable, tabSeparated } from './tables.js';
import { handInFiles, handInName } from './hand_in.js';
import { copyText } from './clipboard.js';
import { zip } from './zip.js';

/** @typedef {import('./store.js').StoredFile & {unkept?: boolean}} ListedFile */
/** @typedef {import('./tables.js').Style} Style */

/**
 * @param {{list: HTMLElement, actions: HTMLElement, downloadAll: HTMLAnchorElement, removeAll: HTMLElement,
 *   undoBar: HTMLElement}} elements
 * @param {{style: () => Style, notice: (text: string) => void, backToTerminal: (event?: Event) => void,
 *   listed: (count: number) => void, removed: (files: ListedFile[]) => void, restored: (files: ListedFile[]) => void,
 *   who: () => {round: string, name: string}, words: import('./words.js').Words, dateTime: (time: number) => string}} page
 *   who: the round and the student, which name the hand-in
 */
export function fileList(elements, page) {
  const { list, actions, downloadAll, undoBar } = elements;
  const { words } = page;
  const undoButton = /** @type {HTMLButtonElement} */ (undoBar.querySelector('button'));
  /** @type {ListedFile[]} */
  let shown = [];
  /** @type {ListedFile[]} */
  let removed = [];

  // Undo brings back everything removed since it was last pressed: a double click on Remove,
  // whose second click lands on the next file once the list has moved, loses nothing.
  /** @param {ListedFile[]} files */
  function remove(files) {
    if (!files.length) return;
    removed = removed.concat(files);
    shown = shown.filter((file) => !files.includes(file));
    render();
    const what = removed.length === 1 ? removed[0].name : words('files.removedMany', { count: removed.length });
    undoBar.hidden = false;
    /** @type {HTMLElement} */ (undoBar.querySelector('span')).textContent = words('files.removed', { what });
    undoButton.setAttribute('aria-label', words('files.undoLabel', { what }));
    undoButton.focus();
    page.notice('');
    page.removed(files);
  }

  undoButton.addEventListener('click', (event) => {
    undoBar.hidden = true;
    // A newer file of that name, here or in another tab, is kept rather than the one removed.
    const back = removed.filter((file) => !shown.some((other) => other.name === file.name));
    removed = [];
    page.notice('');
    shown = shown.concat(back);
    render();
    page.backToTerminal(event);
    page.restored(back);
  });

  elements.removeAll.addEventListener('click', () => {
    const count = shown.length;
    if (!count || !window.confirm(words('files.removeAllConfirm', { count }))) return;
    remove(shown.slice());
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
    downloadAll.download = handInName(page.who(), new Date());
    shareInstead(event, downloadAll);
    setTimeout(() => page.backToTerminal(event), 0);
  });

  /**
   * @param {ListedFile} file
   * @param {import('./tables.js').Table} table
   * @param {Event} event
   */
  async function copyTable(file, table, event) {
    const copied = await copyText(tabSeparated(table, page.style()));
    page.notice(copied ? words('files.copied', { file: file.name }) : words('files.notCopied'));
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

  // A link keeps its address while the list changes, so that a click during a change still
  // works; an address names its file's key and style, so that changed bytes get a new one.
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
    const style = page.style();
    const files = shown.slice().sort((a, b) => b.time - a.time || b.key - a.key);
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
      details.textContent = words('files.details', { size: file.bytes.length, time: page.dateTime(file.time) }) +
        (file.unkept ? '; ' + words('files.unkept') : '');
      item.append(link, ' ', details, ' ');
      if (file.cells) {
        const table = readingsTable(file.cells);
        const csvName = file.name.replace(/\.txt$/, '') + '.csv';
        const csvLink = document.createElement('a');
        csvLink.href = url(kept, id + ':' + style, () => csv(table, style));
        csvLink.download = csvName;
        csvLink.textContent = 'CSV';
        csvLink.setAttribute('aria-label', words('files.csvLabel', { file: file.name, csv: csvName }));
        const copy = button(words('files.copy'), words('files.copyLabel', { file: file.name }));
        copy.addEventListener('click', (event) => copyTable(file, table, event));
        item.append(csvLink, ' ', copy, ' ');
      }
      const removeButton = button(words('files.remove'), words('files.removeLabel', { file: file.name }));
      removeButton.addEventListener('click', () => remove([file]));
      item.append(removeButton);
      list.appendChild(item);
    });
    if (files.length) {
      const who = page.who();
      downloadAll.href = url(kept, 'all:' + who.name + ':' + files.map((file) => file.name + '@' + file.key).join('/'),
        () => zip(handInFiles(who, files.slice().reverse(), new Date())));
      downloadAll.download = handInName(who, new Date());
    }
    actions.hidden = !files.length;
    page.listed(files.length);
    urls.forEach((made, id) => kept.has(id) || URL.revokeObjectURL(made));
    urls = kept;
    const addresses = new Set(kept.values());
    sources = new Map([...sources].filter(([made]) => addresses.has(made)));
  }

  return {
    /** @returns {ListedFile[]} */
    files: () => shown,
    /** @param {ListedFile[]} files  the whole list, as it now is */
    show(files) {
      shown = files;
      render();
    },
    /** @param {ListedFile} file  replaces the one of its name, as in a folder */
    add(file) {
      shown = shown.filter((other) => other.name !== file.name).concat([file]);
      render();
    },
    render,
  };
}
