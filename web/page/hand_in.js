// What a round's hand-in is called and the list inside it that says whose it is. No DOM.

/** @typedef {{name: string, bytes: Uint8Array, time: number}} HandedFile */

const two = (/** @type {number} */ n) => String(n).padStart(2, '0');
/** @param {Date} date  as the student's calendar shows it */
export const localDate = (date) => date.getFullYear() + '-' + two(date.getMonth() + 1) + '-' + two(date.getDate());
const localTime = (/** @type {Date} */ date) => localDate(date) + ' ' + two(date.getHours()) + ':' + two(date.getMinutes()) + ':' + two(date.getSeconds());

// A name a student typed, made fit for a file's name on every system: none of the characters
// Windows refuses, blanks as hyphens, and short enough for a hand-in folder's list.
/** @param {string} text */
const forFileName = (text) => [...text.replace(/[\\/:*?"<>|\u0000-\u001f\u007f]/g, '').trim().replace(/\s+/g, '-')]
  .slice(0, 40).join('').replace(/^[.-]+|[.-]+$/g, '');

/**
 * ROUND-NAME-files-YYYY-MM-DD.zip, each part where there is one.
 * @param {{round: string, name: string}} who
 * @param {Date} date
 */
export function handInName(who, date) {
  return [forFileName(who.round), forFileName(who.name), 'files-' + localDate(date) + '.zip'].filter(Boolean).join('-');
}

/**
 * The files of the hand-in, and first, for a round or a named student, the list of them.
 * @param {{round: string, name: string}} who
 * @param {HandedFile[]} files  oldest first
 * @param {Date} date
 * @returns {HandedFile[]}
 */
export function handInFiles(who, files, date) {
  if (!who.round && !who.name) return files;
  const lines = (who.round ? ['Round: ' + who.round] : []).concat(who.name ? ['Name: ' + who.name] : [],
    [files.length + (files.length === 1 ? ' file:' : ' files:')],
    files.map((file) => file.name + ', ' + file.bytes.length + ' bytes, ' + localTime(new Date(file.time))));
  // A student's own file may have the list's name.
  let list = 'hand-in.txt';
  while (files.some((file) => file.name === list)) list = '_' + list;
  /** @type {HandedFile} */
  const listed = { name: list, bytes: new TextEncoder().encode(lines.join('\n') + '\n'), time: date.getTime() };
  return [listed].concat(files);
}
