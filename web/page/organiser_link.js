// Which organiser's link the page follows. In a browser's tab, the address's own; an app on a
// home screen or installed opens its start address, which has none, and keeps the settings of the
// last link that had some, until another does.
import { readLocal, writeLocal } from './local.js';

/** @param {string} siteId @returns {string} the query whose settings hold */
export function linkQuery(siteId) {
  const key = 'labsim:' + siteId + ':link';
  if (location.search.length > 1) {
    writeLocal(key, location.search);
    return location.search;
  }
  const app = ['standalone', 'fullscreen', 'minimal-ui'].some((mode) => matchMedia('(display-mode: ' + mode + ')').matches) ||
    !!(/** @type {any} */ (navigator).standalone);
  return app ? readLocal(key) || '' : '';
}
