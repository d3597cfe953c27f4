// The way from one program to another, or to the start page, by the address's fragment: leaving
// a running experiment asks first, and a declined Back or Forward returns to the entry it came
// from instead of overwriting the one it went to. Each entry of the page's history carries its
// place for that.

/**
 * @param {{programs: string[], open: string | null, leaving: string, running: () => boolean, stop: () => Promise<unknown>,
 *   leave: () => void, show: (name: string | null) => void, shown: () => string | null}} page
 *   programs: those offered; open: the one shown first when the address names none; leaving: the
 *   question before a running experiment is left;
 *   leave: the running program's session ends; show: the program (or the start page) is shown
 */
export function fragmentRouter(page) {
  const wanted = () => {
    const name = decodeURIComponent(location.hash.slice(1));
    return page.programs.includes(name) ? name : null;
  };
  /** @returns {number | undefined} */
  const place = () => (history.state && typeof history.state.labsimPlace === 'number' ? history.state.labsimPlace : undefined);
  let current = place() ?? 0;
  if (place() === undefined) history.replaceState({ labsimPlace: current }, '');
  let accepted = false;
  let routing = false;

  // A link within the page asks before the address changes, so a declined one leaves no trace.
  document.addEventListener('click', (event) => {
    const link = event.target instanceof Element ? event.target.closest('a') : null;
    if (!link || !page.running() || !(link.getAttribute('href') || '').startsWith('#') || link.hash === location.hash) return;
    if (window.confirm(page.leaving)) accepted = true;
    else event.preventDefault();
  });

  async function route() {
    const name = wanted();
    const arrived = place();
    if (arrived === undefined) {
      current += 1;
      history.replaceState({ labsimPlace: current }, '');
    }
    if (routing || name === page.shown()) {
      current = place() ?? current;
      return;
    }
    if (page.running()) {
      const yes = accepted || window.confirm(page.leaving);
      accepted = false;
      if (!yes) {
        // Declined: back to the running program's entry, which never noticed.
        const shown = page.shown();
        if (arrived !== undefined && arrived !== current) history.go(current - arrived);
        else history.replaceState({ labsimPlace: current }, '', shown ? '#' + shown : location.pathname + location.search);
        return;
      }
      routing = true;
      await page.stop();
      routing = false;
    }
    current = place() ?? current;
    page.leave();
    page.show(wanted());
  }
  window.addEventListener('hashchange', route);

  // Where the browser lets the page ask before it goes, it asks; where it does not (a phone's
  // closed tab), the readings so far are already kept.
  window.addEventListener('beforeunload', (event) => {
    if (!page.running()) return;
    event.preventDefault();
    event.returnValue = '';
  });

  return {
    start() {
      if (page.open && !wanted()) history.replaceState(history.state, '', '#' + page.open);
      page.show(wanted());
    },
  };
}
