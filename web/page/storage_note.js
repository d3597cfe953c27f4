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

/** @param {HTMLElement} note */
export function storageNote(note) {
  // What the status adds to each saved file where the browser may not keep it.
  let downloadNow = '';

  /** @param {Lasts} lasts @param {boolean} lasting */
  function describe(lasts, lasting) {
    const next = ' Whoever uses this browser next sees these files too: download what you need, ' +
      'then "Remove all".';
    downloadNow = '';
    if (!lasting) {
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
