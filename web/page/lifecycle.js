// When the page is put away and when it comes back. A page may be frozen in the back-forward
// cache rather than closed, and a followed link does not always hide it first, so pagehide is
// heard as well as a change of visibility.

export function pageLifecycle() {
  return {
    /** @param {() => void} listener  the page is closing or going into the back-forward cache */
    hidden: (listener) => window.addEventListener('pagehide', listener),
    /** @param {() => void} listener  the page is back from the back-forward cache */
    restored: (listener) => window.addEventListener('pageshow', (event) => event.persisted && listener()),
    /** @param {() => void} listener  the page may have been behind another: it is seen again */
    seen: (listener) => {
      document.addEventListener('visibilitychange', () => document.visibilityState === 'visible' && listener());
      window.addEventListener('focus', listener);
      window.addEventListener('pageshow', (event) => event.persisted && listener());
    },
    /** @param {() => void} listener  the student may not see the page again: keep what matters */
    leaving: (listener) => {
      document.addEventListener('visibilitychange', () => document.visibilityState === 'hidden' && listener());
      window.addEventListener('pagehide', listener);
    },
  };
}
/** @typedef {ReturnType<typeof pageLifecycle>} Lifecycle */
