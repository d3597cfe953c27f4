// How long what the page keeps lasts, told under Files and after each saved file: for good, only
// until the private window closes, until the browser needs the room (a served site the browser
// has not promised to keep; Safari also clears a site after 7 days without a visit), or unknown
// where the browser does not tell.

/** @typedef {'persistent' | 'private' | 'evictable' | 'unknown'} Lasts */

// A private window's storage is a small one in memory; Firefox and Safari refuse it the origin's
// private file system, which they grant a normal window (Firefox on file:// too).
/** @returns {Promise<Lasts>} */
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

/** @param {HTMLElement} note @param {import('./words.js').Words} words */
export function storageNote(note, words) {
  // What the status adds to each saved file where the browser may not keep it.
  let downloadNow = '';

  /** @param {Lasts} lasts @param {boolean} lasting */
  function describe(lasts, lasting) {
    const next = ' ' + words('storage.next');
    downloadNow = '';
    if (!lasting) {
      note.textContent = words('storage.none');
    } else if (lasts === 'private') {
      downloadNow = words('storage.privateNow');
      note.textContent = words('storage.private');
    } else if (lasts === 'evictable') {
      downloadNow = words('storage.evictableNow');
      note.textContent = words('storage.evictable') + next;
    } else {
      note.textContent = words(lasts === 'persistent' ? 'storage.kept' : 'storage.keptUnlessPrivate') + next;
    }
  }

  return {
    /** @param {boolean} lasting  whether the browser gave the page any storage at all */
    async tell(lasting) {
      const lasts = lasting ? await storageLasts() : 'private';
      describe(lasts, lasting);
      // A served site asks to be kept. Firefox asks the student first and answers only when they
      // do, so the page never waits for it.
      if (lasts === 'evictable') {
        navigator.storage.persist().then((granted) => granted && describe('persistent', true), () => {});
      }
    },
    downloadNow: () => downloadNow,
  };
}
