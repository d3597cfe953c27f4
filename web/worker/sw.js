// The served site as an app that opens with no network: every file of one version in one cache,
// which a new version replaces whole. SITE (the version and the files) is written above by the
// build.
/** @typedef {import('../program/messages.js').WorkerMessage} WorkerMessage */
const worker = /** @type {ServiceWorkerGlobalScope} */ (/** @type {unknown} */ (self));
const scope = worker.registration.scope;
// Two kits on one server each keep a cache of their own.
const prefix = 'labsim ' + scope + ' ';
const current = prefix + SITE.version;

worker.addEventListener('install', (event) => {
  // All or nothing: one file that fails leaves the old version in place.
  event.waitUntil(caches.open(current).then((cache) =>
    cache.addAll(SITE.files.map((file) => new Request(file, { cache: 'reload' })))));
});

worker.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((key) => key.startsWith(prefix) && key !== current)
      .map((key) => caches.delete(key))))
    .then(() => worker.clients.claim()));
});

// A new version takes over at once only when the one page that asks is the site's only page:
// any other page would go on with the old version's page and the new version's programs.
worker.addEventListener('message', (event) => {
  /** @type {WorkerMessage} */
  const message = event.data;
  if (message !== 'take-over') return;
  event.waitUntil(worker.clients.matchAll({ type: 'window' }).then((pages) => {
    if (pages.length <= 1) return worker.skipWaiting();
    return undefined;
  }));
});

worker.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || !request.url.startsWith(scope)) return;
  let file = request.url.slice(scope.length).split(/[?#]/)[0];
  if (file === '' || file.endsWith('/')) file += 'index.html';
  if (!SITE.files.includes(decodeURI(file))) return;
  event.respondWith(caches.open(current)
    .then((cache) => cache.match(new URL(file, scope).href))
    .then((answer) => answer || fetch(request)));
});
