// Keeps the page's files after the first visit, so that it opens and casts with the network off.
// The build writes in the version, a digest of the files: a new build is a new worker, installed
// beside the old one on the next visit and taking over once it has the new files, the old ones
// then deleted.
"use strict";

const kVersion = "VERSION";
const kFiles = ["FILES"];
const kCache = `velmora-${kVersion}`;

self.addEventListener("install", (event) => {
  event.waitUntil(
    caches
      .open(kCache)
      .then((cache) => cache.addAll(kFiles.map((file) => new Request(file, { cache: "reload" }))))
      .then(() => self.skipWaiting()),
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

// The page's own files from the cache, an opening of the page as its index whatever the address
// says after it; anything else from the network.
self.addEventListener("fetch", (event) => {
  const { request } = event;
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(
    caches.open(kCache).then(async (cache) => {
      const kept =
        (await cache.match(request, { ignoreSearch: true })) ??
        (request.mode === "navigate" ? await cache.match("index.html") : undefined);
      return kept ?? fetch(request);
    }),
  );
});
