'use strict';
// The files the programs write, kept in this browser for this site alone. Every page opened
// from file:// shares one origin, so the storage is named after the site's kit and programs:
// a student's site never lists the teacher's files.
window.labsimFiles = function (siteId) {
  const list = document.getElementById('files');
  const note = document.getElementById('files-note');
  const undoBar = document.getElementById('files-undo');
  const memory = [];
  let database = null;
  let nextKey = 1;
  let forgetsOnClose = false;
  let removed = null;

  function openDatabase() {
    return new Promise((resolve) => {
      let request;
      try {
        request = indexedDB.open('labsim:' + siteId, 1);
      } catch (error) {
        resolve(null);
        return;
      }
      request.onupgradeneeded = () => request.result.createObjectStore('files', { keyPath: 'name' });
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => resolve(null);
    });
  }

  function transaction(mode, work) {
    return new Promise((resolve, reject) => {
      const tx = database.transaction('files', mode);
      const result = work(tx.objectStore('files'));
      tx.oncomplete = () => resolve(result.result);
      tx.onerror = () => reject(tx.error);
      tx.onabort = () => reject(tx.error);
    });
  }

  // Whether what the page keeps outlives the window: true, false, or null where the browser does
  // not tell. A private window's storage is a small one in memory; Firefox and Safari refuse it
  // the origin's private file system, which they grant a normal window (Firefox on file:// too).
  async function storageOutlivesWindow() {
    const storage = navigator.storage;
    if (!storage || !storage.persisted) return null;
    try {
      if (await storage.persisted()) return true;
      // Firefox asks on file:// pages in a way that can close them; a served site may ask.
      const served = /^https?:$/.test(location.protocol);
      if (served && (await storage.persist())) return true;
      const { quota } = await storage.estimate();
      if (quota !== undefined && quota < 200 * 1024 * 1024) return false;
      if ((served || /Firefox\//.test(navigator.userAgent)) && storage.getDirectory &&
          !(await storage.getDirectory().then(() => true, () => false))) return false;
    } catch (error) {
      return null;
    }
    return null;
  }

  async function open() {
    database = await openDatabase();
    if (database) {
      try {
        memory.push(...(await transaction('readonly', (store) => store.getAll())));
        nextKey = memory.reduce((key, file) => Math.max(key, file.key + 1), nextKey);
      } catch (error) {
        database = null;
      }
    }
    const lasting = database ? await storageOutlivesWindow() : false;
    forgetsOnClose = lasting === false;
    if (!database) {
      note.textContent = 'This browser keeps no files for this page: download each file as soon ' +
        'as it is listed, before you close the page.';
    } else if (forgetsOnClose) {
      note.textContent = 'This is a private window: its files go when the window closes. ' +
        'Download each file as soon as it is listed.';
    } else {
      note.textContent = 'Files stay in this browser on this computer only, until you remove ' +
        'them (in a private window, until it closes). Download what you need to hand in.';
    }
    render();
  }

  // A file of the same name replaces the one listed, as it would in a folder. A refusal of the
  // browser's is told under the list; the file stays listed regardless.
  async function save(name, bytes) {
    // Plain bytes, not a Blob: WebKit keeps no Blob in the storage of a private window.
    const record = { name, time: Date.now(), key: nextKey++, bytes };
    return put(record);
  }

  async function put(record) {
    const index = memory.findIndex((file) => file.name === record.name);
    if (index >= 0) memory.splice(index, 1);
    memory.push(record);
    if (database) {
      try {
        await transaction('readwrite', (store) => store.put(record));
      } catch (error) {
        note.textContent = 'The browser refused to keep ' + record.name + ' (' +
          (error && error.name) + '): download it now, it stays listed only until the page is closed.';
      }
    }
    render();
  }

  async function remove(name) {
    const index = memory.findIndex((file) => file.name === name);
    if (index < 0) return;
    removed = memory.splice(index, 1)[0];
    if (database) await transaction('readwrite', (store) => store.delete(name)).catch(() => {});
    render();
    undoBar.hidden = false;
    undoBar.querySelector('span').textContent = 'Removed ' + name + '.';
    undoBar.querySelector('button').focus();
  }

  undoBar.querySelector('button').addEventListener('click', async () => {
    undoBar.hidden = true;
    if (!removed) return;
    const record = removed;
    removed = null;
    // A newer file of that name is kept rather than the one removed.
    if (!memory.some((file) => file.name === record.name)) await put(record);
    const link = list.querySelector('a');
    if (link) link.focus();
  });

  // A link keeps its address while the list changes, so that a click during a change still works.
  let links = new Map();
  function render() {
    const files = memory.slice().sort((a, b) => b.time - a.time || b.key - a.key);
    const kept = new Map();
    list.textContent = '';
    files.forEach((file) => {
      const id = file.name + '@' + file.time;
      const url = links.get(id) || URL.createObjectURL(new Blob([file.bytes]));
      kept.set(id, url);
      const item = document.createElement('li');
      const link = document.createElement('a');
      link.href = url;
      link.download = file.name;
      link.textContent = file.name;
      const details = document.createElement('span');
      details.textContent = file.bytes.length + ' bytes, ' + new Date(file.time).toLocaleString();
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = 'Remove';
      button.setAttribute('aria-label', 'Remove ' + file.name + ' from the list');
      button.addEventListener('click', () => remove(file.name));
      item.append(link, ' ', details, ' ', button);
      list.appendChild(item);
    });
    links.forEach((url, id) => kept.has(id) || URL.revokeObjectURL(url));
    links = kept;
  }

  return { open, save, forgetsOnClose: () => forgetsOnClose };
};
