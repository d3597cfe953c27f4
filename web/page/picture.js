// A picture a program drew, shown beside the terminal of the program that drew it.

/** @param {HTMLElement} box @param {HTMLImageElement} image */
export function programPicture(box, image) {
  /** @type {string | null} */
  let drawnBy = null;
  /** @type {string | null} */
  let shown = null;
  return {
    /** @param {string} name  the program @param {Uint8Array} bytes  SVG */
    draw(name, bytes) {
      if (image.src) URL.revokeObjectURL(image.src);
      image.src = URL.createObjectURL(new Blob([/** @type {BlobPart} */ (bytes)], { type: 'image/svg+xml' }));
      drawnBy = name;
      box.hidden = shown !== drawnBy;
    },
    /** @param {string | null} name  the program now on screen */
    follow(name) {
      shown = name;
      box.hidden = name === null || name !== drawnBy;
    },
  };
}
