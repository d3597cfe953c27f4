// A site served from https (or this computer) opens with no network after its first visit: a
// service worker keeps every file of its version. A new version is fetched whole in the
// background and taken over while the page is idle, or at the next visit; the page then says
// once that it changed. A page opened from the file system asks for nothing.
import { readLocal, writeLocal } from './local.js';

/**
 * @param {{id: string, version?: string}} site
 * @param {{idle: () => boolean, notice: (text: string) => void, words: import('./words.js').Words}} page
 */
export function keepOffline(site, page) {
  if (!/^https?:$/.test(location.protocol) || !navigator.serviceWorker || !site.version) return;
  const worker = navigator.serviceWorker;
  // The manifest makes the site installable; a page from the file system could not read it.
  const manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'manifest.webmanifest';
  document.head.appendChild(manifest);
  const seen = 'labsim:' + site.id + ':version';
  // Without local storage (a locked-down browser), no notice either.
  const last = readLocal(seen);
  if (worker.controller && last && last !== site.version) {
    page.notice(page.words('offline.updated'));
  }
  writeLocal(seen, site.version);
  // Only a page that had a version before reloads into the new one; the first claim changes none.
  const before = worker.controller;
  worker.addEventListener('controllerchange', () => {
    if (before && page.idle()) location.reload();
  });
  /** @type {import('../program/messages.js').WorkerMessage} */
  const message = 'take-over';
  worker.register('sw.js').then((registration) => {
    const takeOver = () => {
      if (registration.waiting && before && page.idle()) registration.waiting.postMessage(message);
    };
    takeOver();
    registration.addEventListener('updatefound', () => {
      const installing = registration.installing;
      if (installing) installing.addEventListener('statechange', takeOver);
    });
  }, () => {
    // Refused (a policy, a private window): the site works as before, with the network.
  });
}
