// Keeps the site in the browser, so that the page opens and plays offline after its first visit and installs to a
// home screen: everything the page loads (the page, its code, the engine, the font, the demo) is put in a cache
// named after this version when the worker installs, and answered from there. A new version is a new worker (the
// build writes the version and the list below), which fills its own cache beside the old one, takes over at once,
// and removes the old cache; the page open then goes on with what it has loaded, and its next start is the new one.
const VERSION = 'development';
const FILES = [];
const CACHE = `shiori-${VERSION}`;

self.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(CACHE)
      .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' }))))
      .then(() => self.skipWaiting()),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches.keys().then((names) => Promise.all(names.filter((name) => name.startsWith('shiori-') && name !== CACHE).map((name) => caches.delete(name)))),
  );
});

// The site's own files from the cache; anything else (none is asked for) from the network. The address of the page
// itself carries the game it opens after '#', which a request never holds.
self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== location.origin) return;
  event.respondWith(
    caches.open(CACHE).then(async (cache) => (await cache.match(event.request, { ignoreSearch: true })) ?? fetch(event.request)),
  );
});
