// What the page keeps for the site in local storage (and a tab in its own). A locked-down browser or a private window may
// refuse it; the page then goes on with what it holds in memory, for this visit only.

/**
 * @param {string} key
 * @param {() => Storage} [where]  local storage, or the tab's own
 * @returns {string | null}
 */
export function readLocal(key, where = () => localStorage) {
  try {
    return where().getItem(key);
  } catch (error) {
    return null;
  }
}

/** @param {string} key @returns {string[]}  a list kept as JSON, empty where there is none */
export function readLocalList(key) {
  try {
    const list = JSON.parse(readLocal(key) || '[]');
    return Array.isArray(list) ? list : [];
  } catch (error) {
    return [];
  }
}

/**
 * @param {string} key
 * @param {string | string[] | null} value  null removes it; a list is kept as JSON
 * @param {() => Storage} [where]  local storage, or the tab's own
 */
export function writeLocal(key, value, where = () => localStorage) {
  try {
    if (value === null) where().removeItem(key);
    else where().setItem(key, typeof value === 'string' ? value : JSON.stringify(value));
  } catch (error) {
    // Kept in this page only.
  }
}
