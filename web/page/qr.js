// A QR code of a link, drawn as SVG in the page, with no network.
/*! The QR codes are made by qrcode-generator: Copyright (c) 2009 Kazuhiko Arase, under the MIT
 * license (http://www.opensource.org/licenses/mit-license.php). The word 'QR Code' is a
 * registered trademark of DENSO WAVE INCORPORATED. */
import qrcode from 'qrcode-generator';

/**
 * @param {string} text  ASCII, as a link whose every other character is escaped
 * @returns {{modules: number, svg: string}}  modules: its width in modules, without the quiet zone
 */
export function qrCode(text) {
  // Medium error correction: a code on a board read from a few rows back, or a card a little worn.
  const code = qrcode(0, 'M');
  code.addData(text, 'Byte');
  code.make();
  return { modules: code.getModuleCount(), svg: code.createSvgTag({ cellSize: 4, margin: 16, scalable: true }) };
}
