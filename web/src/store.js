// The files the programs write, and a run's readings so far, kept in this browser for this site
// alone. Every page opened from file:// shares one origin, so the storage is named after the
// site's kit and programs: a student's site never lists the teacher's files.

/** @typedef {{name: string, time: number, key: number, bytes: Uint8Array}} StoredFile */
/** @typedef {{page: string, name: string, time: number, bytes: Uint8Array}} Readings */

/** @returns {Promise<IDBDatabase | null>} */
function openDatabase(/** @type {string} */ siteId) {
  return new Promise((resolve) => {
    /** @type {IDBOpenDBRequest} */
    let request;
    try {
      request = indexedDB.open('labsim:' + siteId, 2);
    } catch (error) {
      resolve(null);
      return;
    }
    request.onupgradeneeded = () => {
      const names = request.result.objectStoreNames;
      if (!names.contains('files')) request.result.createObjectStore('files', { keyPath: 'name' });
      if (!names.contains('readings')) request.result.createObjectStore('readings', { keyPath: 'page' });
    };
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => resolve(null);
    request.onblocked = () => resolve(null);
  });
}

// Each page answers a roll call with its name while it lives, so that another page of the site
// can tell a run cut short by a closed page from one still going in another tab. (A lock held
// for the page's life would say the same, but WebKit can keep a reloaded page's lock held.)
const page = 'page-' + Date.now().toString(36) + '-' + Math.random().toString(36).slice(2);
const rollCall = typeof BroadcastChannel === 'function' ? new BroadcastChannel('labsim-pages') : null;
if (rollCall) rollCall.onmessage = (event) => event.data === 'who' && rollCall.postMessage(page);

/** @returns {Promise<Set<string>>} the pages that answer within a second */
function pagesAlive() {
  return new Promise((resolve) => {
    const alive = new Set();
    if (typeof BroadcastChannel !== 'function') {
      resolve(alive);
      return;
    }
    const ask = new BroadcastChannel('labsim-pages');
    ask.onmessage = (event) => alive.add(event.data);
    ask.postMessage('who');
    setTimeout(() => {
      ask.close();
      resolve(alive);
    }, 1000);
  });
}

/** @param {string} siteId */
export async function openStore(siteId) {
  const database = await openDatabase(siteId);
  /**
   * @param {string[]} stores
   * @param {(tx: IDBTransaction) => IDBRequest | void} work
   * @returns {Promise<any>}
   */
  function transaction(stores, work) {
    return new Promise((resolve, reject) => {
      if (!database) {
        reject(new Error('no storage'));
        return;
      }
      const tx = database.transaction(stores, 'readwrite');
      const request = work(tx);
      tx.oncomplete = () => resolve(request ? request.result : undefined);
      tx.onerror = () => reject(tx.error);
      tx.onabort = () => reject(tx.error);
    });
  }

  /** @type {StoredFile[]} */
  let files = [];
  /** @type {Readings[]} */
  let readings = [];
  if (database) {
    try {
      files = await transaction(['files'], (tx) => tx.objectStore('files').getAll());
      readings = await transaction(['readings'], (tx) => tx.objectStore('readings').getAll());
    } catch (error) {
      files = [];
    }
  }

  /**
   * Calls back with each run's readings once the page that took them is gone: at once for a page
   * closed before this one opened, and within seconds of the close of another tab still running
   * one. A run that ends in its own page leaves nothing behind.
   * @param {(readings: Readings) => void} callback
   */
  async function whenPagesClose(callback) {
    if (!readings.length) return;
    const alive = await pagesAlive();
    const waiting = [];
    for (const left of readings) {
      if (alive.has(left.page)) {
        waiting.push(left);
        continue;
      }
      const still = await transaction(['readings'], (tx) => tx.objectStore('readings').get(left.page))
        .catch(() => null);
      if (still) callback(still);
    }
    readings = waiting;
    if (waiting.length) setTimeout(() => whenPagesClose(callback), 5000);
  }
  return {
    lasting: !!database,
    files,
    whenPagesClose,
    page,
    /** @param {StoredFile} file  replaces a file of that name */
    put: (file) => transaction(['files'], (tx) => tx.objectStore('files').put(file)),
    /** @param {StoredFile[]} files  each removed only where no newer file of its name replaced it */
    remove: (files) => transaction(['files'], (tx) => files.forEach((file) => {
      const store = tx.objectStore('files');
      const request = store.get(file.name);
      request.onsuccess = () => request.result && request.result.key === file.key &&
        request.result.time === file.time && store.delete(file.name);
    })),
    /** @param {StoredFile} file  put back unless a file of its name came meanwhile */
    restore: (file) => transaction(['files'], (tx) => {
      const store = tx.objectStore('files');
      const request = store.get(file.name);
      request.onsuccess = () => request.result || store.put(file);
    }),
    /** @returns {Promise<StoredFile[]>} */
    all: () => transaction(['files'], (tx) => tx.objectStore('files').getAll()),
    /** @param {Readings} readings */
    keepReadings: (readings) => transaction(['readings'], (tx) => tx.objectStore('readings').put(readings)),
    /**
     * The run's readings become a file, or give way to the file the program wrote, in one step.
     * @param {Readings} readings
     * @param {StoredFile | null} file
     */
    settleReadings: (readings, file) => transaction(['files', 'readings'], (tx) => {
      if (file) tx.objectStore('files').put(file);
      tx.objectStore('readings').delete(readings.page);
    }),
  };
}
