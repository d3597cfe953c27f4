// A phone's screen stays on during a run, which its sleep would otherwise pause or end. The
// browser drops the lock whenever the page is hidden, so it is asked for again on return.

/** @param {() => boolean} running */
export function screenLock(running) {
  /** @type {WakeLockSentinel | null} */
  let lock = null;
  async function update() {
    if (!running()) {
      if (lock) lock.release().catch(() => {});
      lock = null;
      return;
    }
    if (lock || !navigator.wakeLock || document.visibilityState !== 'visible') return;
    try {
      const granted = await navigator.wakeLock.request('screen');
      if (running() && !lock) {
        lock = granted;
        granted.addEventListener('release', () => { if (lock === granted) lock = null; });
      } else {
        granted.release().catch(() => {});
      }
    } catch (error) {
      // Refused (a low battery, a policy): the run goes on regardless.
    }
  }
  document.addEventListener('visibilitychange', update);
  return { update };
}
