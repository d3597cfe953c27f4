// One .zip of several files, stored as they are: the hand-in of everything listed.

/** @type {number[]} */
const crcTable = [];
for (let n = 0; n < 256; n++) {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  crcTable.push(c >>> 0);
}

/** @param {Uint8Array} bytes */
function crc32(bytes) {
  let crc = 0xffffffff;
  for (const byte of bytes) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

/**
 * @param {{name: string, bytes: Uint8Array, time: number}[]} files
 * @returns {Uint8Array}
 */
export function zip(files) {
  const encoder = new TextEncoder();
  /** @type {Uint8Array[]} */
  const parts = [];
  /** @type {Uint8Array[]} */
  const directory = [];
  let offset = 0;
  for (const file of files) {
    const name = encoder.encode(file.name);
    const date = new Date(file.time);
    const dosTime = (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1);
    const dosDate = (Math.max(date.getFullYear() - 1980, 0) << 9) | ((date.getMonth() + 1) << 5) | date.getDate();
    // Version 2.0, the name in UTF-8, stored, then the time, the checksum and the sizes.
    const fields = [20, 0x0800, 0, dosTime, dosDate, crc32(file.bytes), file.bytes.length, file.bytes.length,
      name.length, 0];
    const sizes = [2, 2, 2, 2, 2, 4, 4, 4, 2, 2];
    const local = record(0x04034b50, fields, sizes, name);
    parts.push(local, file.bytes);
    directory.push(record(0x02014b50, [20].concat(fields, [0, 0, 0, 0, offset]),
      [2].concat(sizes, [2, 2, 2, 4, 4]), name));
    offset += local.length + file.bytes.length;
  }
  const size = directory.reduce((sum, entry) => sum + entry.length, 0);
  const end = record(0x06054b50, [0, 0, files.length, files.length, size, offset, 0], [2, 2, 2, 2, 4, 4, 2],
    new Uint8Array(0));
  const all = new Uint8Array(offset + size + end.length);
  let at = 0;
  for (const part of parts.concat(directory, [end])) {
    all.set(part, at);
    at += part.length;
  }
  return all;
}

/**
 * A signature, little-endian fields of the given sizes, then a name.
 * @param {number} signature
 * @param {number[]} fields
 * @param {number[]} sizes
 * @param {Uint8Array} name
 */
function record(signature, fields, sizes, name) {
  const length = 4 + sizes.reduce((sum, size) => sum + size, 0);
  const bytes = new Uint8Array(length + name.length);
  const view = new DataView(bytes.buffer);
  view.setUint32(0, signature, true);
  let at = 4;
  fields.forEach((value, i) => {
    if (sizes[i] === 2) view.setUint16(at, value, true);
    else view.setUint32(at, value, true);
    at += sizes[i];
  });
  bytes.set(name, length);
  return bytes;
}
