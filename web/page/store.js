// The files the programs write, and a run's readings so far, kept in this browser for this site
// alone. Every page opened from file:// shares one origin, so the storage is named after the
// site's kit and programs: a student's site never lists the teacher's files.
//
// The connection is the browser's to lose: WebKit drops it after the page has been in the
// background, and an open one keeps the page out of the back-forward cache. So it is opened when
// needed, closed when the page is hidden away or another version of the database asks, and a
// write that finds it lost opens it again and tries once more.

/** @typedef {import('./tables.js').Table} Table */
/**
 * @typedef {object} StoredFile
 * @property {string} name
 * @property {number} time
 * @property {number} key  tells two files of one name apart
 * @property {Uint8Array} bytes  plain bytes, not a Blob: WebKit keeps no Blob in a private window
 * @property {string[][]} [cells]  a results file's readings, as the program handed them over
 * @property {Table} [table]  the file is this table as CSV, made again when the style changes
 */
/**
 * @typedef {object} Readings  a run's readings so far, under the page that runs it
 * @property {string} page
 * @property {string} name
 * @property {number} time
 * @property {number} [alive]  when that page last said it still runs
 * @property {Uint8Array} bytes
 * @property {string[][]} cells
 */

// The errors of a connection that is gone, rather than of a write the browser refuses.
const LOST = ['InvalidStateError', 'UnknownError', 'TransactionInactiveError'];
/** @param {unknown} error */
const lost = (error) => error instanceof DOMException && LOST.includes(error.name);

/** @param {string} siteId @returns {Promise<IDBDatabase | null>} */
function openDatabase(siteId) {
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

/**
 * @param {string} siteId
 * @param {{hidden: (listener: () => void) => void}} [lifecycle]  where the page says it is put away
 */
export async function openStore(siteId, lifecycle) {
  /** @type {Promise<IDBDatabase | null> | null} */
  let connecting = null;
  /** @type {IDBDatabase | null} */
  let database = null;

  function connect() {
    if (!connecting) {
      connecting = openDatabase(siteId).then((opened) => {
        database = opened;
        if (!opened) connecting = null;
        else {
          // A newer version elsewhere waits for no one; a connection the browser ends is dropped.
          opened.onversionchange = () => disconnect(opened);
          opened.onclose = () => disconnect(opened);
        }
        return opened;
      });
    }
    return connecting;
  }
  /** @param {IDBDatabase | null} which */
  function disconnect(which) {
    if (!which || database !== which) return;
    database = null;
    connecting = null;
    which.close();
  }

  /**
   * @param {IDBDatabase} db
   * @param {IDBTransactionMode} mode
   * @param {string[]} stores
   * @param {(tx: IDBTransaction) => IDBRequest | void} work
   * @returns {Promise<any>}
   */
  function once(db, mode, stores, work) {
    return new Promise((resolve, reject) => {
      const tx = db.transaction(stores, mode);
      let request;
      try {
        request = work(tx);
      } catch (error) {
        try {
          tx.abort();
        } catch (finished) {
          // Nothing of it was done.
        }
        throw error;
      }
      // Only a completed transaction counts: "Saved" waits for it.
      tx.oncomplete = () => resolve(request ? request.result : undefined);
      tx.onerror = () => reject(tx.error);
      tx.onabort = () => reject(tx.error);
    });
  }

  /**
   * @param {string[]} stores
   * @param {(tx: IDBTransaction) => IDBRequest | void} work
   * @param {IDBTransactionMode} [mode]
   */
  async function transaction(stores, work, mode = 'readwrite') {
    for (let attempt = 0; ; attempt++) {
      const db = database || (await connect());
      if (!db) throw new Error('no storage');
      try {
        return await once(db, mode, stores, work);
      } catch (error) {
        if (attempt > 0 || !lost(error)) throw error;
        disconnect(db);
      }
    }
  }

  const lasting = !!(await connect());
  /** @type {StoredFile[]} */
  let files = [];
  if (lasting) files = await transaction(['files'], (tx) => tx.objectStore('files').getAll(), 'readonly').catch(() => []);
  if (lifecycle) lifecycle.hidden(() => disconnect(database));

  return {
    lasting,
    files,
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
    all: () => transaction(['files'], (tx) => tx.objectStore('files').getAll(), 'readonly'),
    /** @returns {Promise<Readings[]>} */
    readings: () => transaction(['readings'], (tx) => tx.objectStore('readings').getAll(), 'readonly'),
    /** @param {Readings} readings */
    keepReadings: (readings) => transaction(['readings'], (tx) => tx.objectStore('readings').put(readings)),
    /**
     * The run's readings become a file, or give way to the file the program wrote, in one step;
     * false where another page took them first.
     * @param {Readings} readings
     * @param {StoredFile | null} file
     * @param {boolean} [onlyIfLeft]  only while the readings are still there
     * @returns {Promise<boolean>}
     */
    settleReadings: (readings, file, onlyIfLeft = false) => {
      let settled = !onlyIfLeft;
      return transaction(['files', 'readings'], (tx) => {
        const kept = tx.objectStore('readings');
        const put = () => {
          if (file) tx.objectStore('files').put(file);
          kept.delete(readings.page);
        };
        if (!onlyIfLeft) return put();
        const request = kept.get(readings.page);
        request.onsuccess = () => {
          settled = !!request.result;
          if (settled) put();
        };
        return undefined;
      }).then(() => settled);
    },
  };
}
