// Keeps the page's files after the first visit, so that it opens and casts with the network off,
// and the city finder once it has been used.
// The build writes in the version, a digest of the files: a new build is a new worker, which
// fetches the whole new set before it takes over and deletes the old one.
"use strict";

const kVersion = "VERSION";
const kFiles = ["FILES"];
// Files fetched only when the page first needs them, kept from then on.
const kKept = ["KEPT"];
const kCache = `velmora-${kVersion}`;

const fresh = (file) => new Request(file, { cache: "reload" });

// The new version's files, and afresh those kept from an earlier one that the page has used.
self.addEventListener("install", (event) => {
  event.waitUntil(
    (async () => {
      const cache = await caches.open(kCache);
      await cache.addAll(kFiles.map(fresh));
      const used = [];
      for (const file of kKept) {
        if ((await caches.match(new URL(file, self.registration.scope))) !== undefined) used.push(file);
      }
      await cache.addAll(used.map(fresh)).catch(() => {});
      await self.skipWaiting();
    })(),
  );
});

// The page says when it has loaded a file that is kept once used: it may have been fetched
// before this worker ran.
self.addEventListener("message", (event) => {
  const file = event.data?.keep;
  if (!kKept.includes(file)) return;
  event.waitUntil(
    caches.open(kCache).then(async (cache) => {
      const at = new URL(file, self.registration.scope);
      if ((await cache.match(at)) === undefined) await cache.add(at).catch(() => {});
    }),
  );
});

self.addEventListener("activate", (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) => Promise.all(names.filter((name) => name !== kCache).map((name) => caches.delete(name))))
      .then(() => self.clients.claim()),
  );
});

// The page's own files from the network while there is one, so that a new version shows on the
// next visit, each kept in the cache as it comes; from the cache without one, an opening of the
// page as its index whatever the address says after it.
self.addEventListener("fetch", (event) => {
  const { request } = event;
  const url = new URL(request.url);
  if (request.method !== "GET" || url.origin !== self.location.origin) return;
  const scope = new URL(self.registration.scope);
  const file = url.pathname.startsWith(scope.pathname) ? url.pathname.slice(scope.pathname.length) || "./" : null;
  const keep = kFiles.includes(file) || kKept.includes(file);
  event.respondWith(
    fetch(request).then(
      (response) => {
        if (keep && response.ok) {
          const copy = response.clone();
          event.waitUntil(caches.open(kCache).then((cache) => cache.put(new URL(file, scope), copy)));
        }
        return response;
      },
      async (error) => {
        const cache = await caches.open(kCache);
        const kept =
          (keep ? await cache.match(new URL(file, scope)) : undefined) ??
          (request.mode === "navigate" ? await cache.match(new URL("index.html", scope)) : undefined);
        if (kept === undefined) throw error;
        return kept;
      },
    ),
  );
});
