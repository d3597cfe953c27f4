// What the program says, read out once by a screen reader: at each question, everything it
// printed since the last one (a refusal, "Experiment successful!", the question itself), in its
// order. What a run prints, its rows above all, stays in the terminal and in Files.

/** @param {HTMLElement} region  a polite live region */
export function programVoice(region) {
  const decoder = new TextDecoder();
  let said = '';
  let running = false;
  return {
    /** @param {Uint8Array} bytes */
    printed(bytes) {
      const text = decoder.decode(bytes, { stream: true });
      if (!running) said += text;
    },
    // A program starts afresh.
    reset() {
      said = '';
      running = false;
    },
    /** @param {boolean} on */
    run(on) {
      running = on;
    },
    /** @returns {string} the question: the last line printed */
    asked() {
      const lines = said.split(/[\r\n]+/).map((line) => line.trim()).filter(Boolean);
      const text = lines.join('\n');
      said = '';
      if (!text) return '';
      // Cleared first, so that the same words twice are read twice.
      region.textContent = '';
      setTimeout(() => { region.textContent = text; }, 50);
      return lines[lines.length - 1];
    },
  };
}
