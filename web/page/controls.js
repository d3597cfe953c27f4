// The bar under the menu: the status line, Stop, Start again, Save screen, and on a phone the
// way down to Files.
import { clockTime } from './needle_table.js';

/**
 * @param {{bar: HTMLElement, stop: HTMLButtonElement, restart: HTMLElement, save: HTMLElement, toFiles: HTMLElement,
 *   filesHeading: HTMLElement}} elements
 * @param {{sessions: import('./sessions.js').Sessions, consoles: import('./consoles.js').Consoles,
 *   status: ReturnType<typeof import('./status.js').statusLine>,
 *   files: () => ReturnType<typeof import('./files.js').labsimFiles>, backToTerminal: (event?: Event) => void,
 *   words: import('./words.js').Words}} page
 */
export function barControls(elements, page) {
  const { sessions, consoles, backToTerminal } = page;
  const { stop, restart, save } = elements;

  // A second click on Stop or Start again, which hide once used, lands here and still finds the terminal.
  elements.bar.addEventListener('click', (event) => {
    if (!(event.target instanceof HTMLButtonElement)) backToTerminal();
  });
  stop.addEventListener('click', (event) => {
    sessions.stop();
    backToTerminal(event);
  });
  restart.addEventListener('click', () => {
    const shown = consoles.shown();
    const live = sessions.live();
    if (shown && (!live || live.state === 'ended')) sessions.start(shown);
  });
  save.addEventListener('click', (event) => {
    const shown = consoles.shown();
    if (!shown) return;
    const name = shown + '-screen-' + clockTime() + '.txt';
    const files = page.files();
    files.told(name, files.save(name, new TextEncoder().encode(consoles.of(shown).text())));
    backToTerminal(event);
  });
  elements.toFiles.addEventListener('click', () => {
    const first = /** @type {HTMLElement | null} */ (document.querySelector('#files a'));
    elements.filesHeading.scrollIntoView();
    if (first) first.focus({ preventScroll: true });
  });

  return {
    update() {
      const live = sessions.live();
      page.status.program(live);
      stop.hidden = !sessions.running();
      stop.disabled = !!live && live.state === 'stopping';
      restart.hidden = !live || live.state !== 'ended';
      save.hidden = !consoles.shown();
    },
    /** @param {number} count  files listed */
    listed(count) {
      elements.toFiles.hidden = !count;
      elements.toFiles.textContent = page.words('bar.filesCount', { count });
    },
  };
}
