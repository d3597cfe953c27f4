// The tables a student takes into analysis: a results file's readings and needlefield's angles
// as CSV for a spreadsheet or Python, and as tab-separated text that pastes into columns.

/** @typedef {{header: string[], rows: string[][]}} Table */
/** @typedef {'point' | 'comma'} Style  commas and decimal points, or semicolons and decimal commas */

const encoder = new TextEncoder();

/**
 * A results file's readings as the program handed them over, one row a reading: its time, then
 * each sensor's temperature.
 * @param {string[][]} cells
 * @returns {Table}
 */
export function readingsTable(cells) {
  const header = ['t (s)'];
  for (let i = 1; i < (cells[0] || []).length; i++) header.push('T' + i + ' (°C)');
  return { header, rows: cells };
}

/**
 * @param {Table} table
 * @param {Style} style
 * @param {string} separator
 */
function lines(table, style, separator) {
  /** @param {string} cell */
  const number = (cell) => (style === 'comma' ? cell.replace('.', ',') : cell);
  return [table.header.join(separator)]
    .concat(table.rows.map((row) => row.map(number).join(separator)))
    .map((line) => line + '\n').join('');
}

/**
 * UTF-8 with a byte-order mark, which spreadsheets need to read the degree sign.
 * @param {Table} table
 * @param {Style} style
 */
export function csv(table, style) {
  return encoder.encode('\ufeff' + lines(table, style, style === 'comma' ? ';' : ','));
}

/**
 * @param {Table} table
 * @param {Style} style
 */
export function tabSeparated(table, style) {
  return lines(table, style, '\t');
}

/**
 * Whether the language writes 1.5 with a decimal comma.
 * @param {string} language
 * @returns {Style}
 */
export function styleOf(language) {
  try {
    const parts = new Intl.NumberFormat(language).formatToParts(1.5);
    return parts.some((part) => part.type === 'decimal' && part.value === ',') ? 'comma' : 'point';
  } catch (error) {
    return 'point';
  }
}
