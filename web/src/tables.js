// The tables a student takes into analysis: a results file's readings and needlefield's angles
// as CSV for a spreadsheet or Python, and as tab-separated text that pastes into columns.

/** @typedef {{header: string[], rows: string[][]}} Table */
/** @typedef {'point' | 'comma'} Style  commas and decimal points, or semicolons and decimal commas */

const decoder = new TextDecoder();
const encoder = new TextEncoder();

// The setup block of a results file is always eight lines; its table's header is the ninth.
const TABLE_HEADER_LINE = 8;

/**
 * The readings of a rodheat results file, the numbers as the file writes them; null for any other file.
 * @param {Uint8Array} bytes
 * @returns {Table | null}
 */
export function resultsTable(bytes) {
  const lines = decoder.decode(bytes).split('\n');
  if (!(lines[TABLE_HEADER_LINE] || '').startsWith('| t(s) |')) return null;
  /** @param {string} line */
  const cells = (line) => line.split('|').slice(1, -1).map((cell) => cell.trim());
  const sensors = cells(lines[TABLE_HEADER_LINE]).length - 1;
  const header = ['t (s)'];
  for (let i = 1; i <= sensors; i++) header.push('T' + i + ' (°C)');
  const rows = lines.slice(TABLE_HEADER_LINE + 1).filter((line) => line.startsWith('|')).map(cells);
  return { header, rows };
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
 * A CSV written by csv(), again in the given style.
 * @param {Uint8Array} bytes
 * @param {Style} style
 */
export function restyled(bytes, style) {
  const [head, ...lines] = decoder.decode(bytes).split('\n').filter(Boolean);
  const comma = head.includes(';');
  /** @param {string} line */
  const cells = (line) => line.split(comma ? ';' : ',');
  const rows = lines.map((line) => cells(line).map((cell) => (comma ? cell.replace(',', '.') : cell)));
  return csv({ header: cells(head), rows }, style);
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

export const NEEDLE_HEADER = ['I (A)', 'X (mm)', 'Y (mm)', 'PHI (degrees)'];
