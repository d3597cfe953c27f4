// needlefield's accepted passes, as the program hands them over, kept as a CSV file from the
// first one on, so that no angle lives on the screen alone.
import { csv } from './tables.js';

// The time of day as a file name may carry it: 14h03m22s.
export function clockTime() {
  const time = new Date().toTimeString().slice(0, 8).split(':');
  return time[0] + 'h' + time[1] + 'm' + time[2] + 's';
}

/**
 * One table per start of the program.
 * @param {string} program
 * @param {{save: (name: string, bytes: Uint8Array, what: {table: import('./tables.js').Table}) => Promise<import('./files.js').Kept>,
 *   style: () => import('./tables.js').Style}} files
 * @param {(name: string, kept: Promise<import('./files.js').Kept>) => void} told
 */
export function passTable(program, files, told) {
  const name = program + '-' + clockTime() + '.csv';
  /** @type {string[][]} */
  const rows = [];
  return {
    /** @param {string[]} header @param {string[]} row */
    add(header, row) {
      rows.push(row);
      const table = { header, rows: rows.slice() };
      told(name, files.save(name, csv(table, files.style()), { table }));
    },
  };
}
