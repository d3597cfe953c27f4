// The clipboard, as each browser lets a page reach it.

/**
 * Puts text on the clipboard; the older way where the browser refuses the newer one.
 * @param {string} text
 * @returns {Promise<boolean>} whether it was copied
 */
export function copyText(text) {
  const fallback = () => {
    const area = document.createElement('textarea');
    area.value = text;
    document.body.appendChild(area);
    area.select();
    try {
      return document.execCommand('copy');
    } catch (error) {
      return false;
    } finally {
      area.remove();
    }
  };
  if (navigator.clipboard && navigator.clipboard.writeText) {
    return navigator.clipboard.writeText(text).then(() => true, fallback);
  }
  return Promise.resolve(fallback());
}
