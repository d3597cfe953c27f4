// One console window per program, made when the program is first shown and kept while the page
// is open, so that what a program printed stays on screen; one is shown at a time.
import { labsimConsole } from './terminal.js';

/**
 * @param {HTMLElement} container  where the consoles go
 * @param {HTMLElement} section  shown while a program is
 * @param {number} columns  the terminal's type shrinks until this many columns fit
 * @param {{line: (bytes: Uint8Array | null) => void, interrupt: () => void}} handlers  for the one shown
 */
export function programConsoles(container, section, columns, handlers) {
  /** @type {Record<string, ReturnType<typeof labsimConsole> & {box: HTMLElement}>} */
  const made = {};
  /** @type {string | null} */
  let shown = null;

  /** @param {string} name */
  function of(name) {
    if (made[name]) return made[name];
    const box = document.createElement('div');
    box.className = 'console';
    box.dataset.program = name;
    container.appendChild(box);
    made[name] = Object.assign(labsimConsole(box, columns, handlers), { box });
    return made[name];
  }

  /** @type {ReturnType<typeof setTimeout> | undefined} */
  let resizing;
  window.addEventListener('resize', () => {
    clearTimeout(resizing);
    resizing = setTimeout(() => shown && of(shown).resize(), 50);
  });

  return {
    of,
    shown: () => shown,
    /** whether any program was started, whose text a reload would lose */
    any: () => Object.keys(made).length > 0,
    /** @param {string | null} name */
    show(name) {
      shown = name;
      section.hidden = name === null;
      Object.keys(made).forEach((other) => { made[other].box.hidden = other !== name; });
      if (name === null) return;
      of(name).box.hidden = false;
      of(name).resize();
    },
    /** @param {Event} [event]  the click of a button; one pressed by the keyboard has no count */
    backToTerminal(event) {
      if (!shown) return;
      if (event instanceof MouseEvent && event.detail === 0) of(shown).quiet();
      of(shown).focus();
    },
  };
}
/** @typedef {ReturnType<typeof programConsoles>} Consoles */
