// Keeps the page's files after the first visit, so that it opens and casts with the network off,
// and the city finder once it has been used.
// The build writes in the version, a digest of the files, and each file's own SHA-256: a new
// build is a new worker, which fetches the whole new set before it takes over and deletes the
// old one, and only the very bytes of this build are ever kept.
"use strict";

const kVersion = "VERSION";
// Each file of the page by its name under the worker's scope, with the SHA-256 of its bytes.
const kFiles = { "FILES": "" };
// Files fetched only when the page first needs them, kept from then on.
const kKept = { "KEPT": "" };
const kCache = `velmora-${kVersion}`;
// How long the network has to give a whole file before the kept copy is shown instead.
const kPatienceMs = 3000;

// The media type each file must come with, by its ending.
const kTypes = {
  html: "text/html", js: "text/javascript", css: "text/css", wasm: "application/wasm",
  webmanifest: "application/manifest+json", png: "image/png", bin: "application/octet-stream",
};

const hex = (buffer) => [...new Uint8Array(buffer)].map((b) => b.toString(16).padStart(2, "0")).join("");
const digestOf = (file) => kFiles[file] ?? kKept[file];

// The answer as a copy to keep, or null unless it is the whole file this build expects: from
// this origin, not redirected, a plain 200 of the file's media type, its bytes those of the
// build. A captive portal's page, a server's error or a cut transfer is never kept.
async function wholeFile(response, file) {
  if (response.type !== "basic" || response.redirected || response.status !== 200) return null;
  const type = (response.headers.get("Content-Type") ?? "").split(";")[0].trim().toLowerCase();
  if (type !== kTypes[file.slice(file.lastIndexOf(".") + 1)]) return null;
  let bytes;
  try {
    bytes = await response.arrayBuffer();
  } catch {
    return null;
  }
  if (hex(await crypto.subtle.digest("SHA-256", bytes)) !== digestOf(file)) return null;
  return new Response(bytes, { status: 200, headers: { "Content-Type": response.headers.get("Content-Type") } });
}

// Fetches `file` afresh and gives the copy to keep, or null.
async function fetchWhole(file, request = new Request(new URL(file, self.registration.scope), { cache: "reload" })) {
  try {
    return await wholeFile(await fetch(request), file);
  } catch {
    return null;
  }
}

async function keep(cache, file, copy) {
  await cache.put(new URL(file, self.registration.scope), copy.clone());
  // The scope's own address opens the index.
  if (file === "index.html") await cache.put(new URL("./", self.registration.scope), copy.clone());
}

// The new version's files, and afresh those kept from an earlier one that the page has used.
// A file that does not come whole leaves the old version in charge.
self.addEventListener("install", (event) => {
  event.waitUntil(
    (async () => {
      const cache = await caches.open(kCache);
      const copies = await Promise.all(Object.keys(kFiles).map((file) => fetchWhole(file)));
      if (copies.includes(null)) throw new Error("a file of the page did not come whole");
      for (const [i, file] of Object.keys(kFiles).entries()) await keep(cache, file, copies[i]);
      for (const file of Object.keys(kKept)) {
        if ((await caches.match(new URL(file, self.registration.scope))) === undefined) continue;
        const copy = await fetchWhole(file);
        if (copy !== null) await keep(cache, file, copy);
      }
      await self.skipWaiting();
    })(),
  );
});

// The page says when it has loaded a file that is kept once used: it may have been fetched
// before this worker ran.
self.addEventListener("message", (event) => {
  const file = event.data?.keep;
  if (!Object.hasOwn(kKept, file)) return;
  event.waitUntil(
    caches.open(kCache).then(async (cache) => {
      if ((await cache.match(new URL(file, self.registration.scope))) !== undefined) return;
      const copy = await fetchWhole(file);
      if (copy !== null) await keep(cache, file, copy);
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

const later = (ms) => new Promise((resolve) => setTimeout(() => resolve(null), ms));

// A file of the page from the network while it gives the whole file within kPatienceMs, so that
// a new version shows on the next visit, each kept as it comes; the kept copy otherwise, when the
// network fails, errs, gives something else or keeps the page waiting.
async function pageFile(event, file) {
  const cache = await caches.open(kCache);
  const kept = await cache.match(new URL(file, self.registration.scope));
  const network = fetch(event.request).then(async (response) => {
    const copy = await wholeFile(response.clone(), file);
    if (copy !== null) await keep(cache, file, copy);
    return { response, copy };
  });
  event.waitUntil(network.catch(() => {}));
  if (kept === undefined) {
    // Nothing kept yet: whatever the network gives.
    const { response } = await network;
    return response;
  }
  const answer = await Promise.race([network.catch(() => null), later(kPatienceMs)]);
  return answer?.copy?.clone() ?? kept;
}

self.addEventListener("fetch", (event) => {
  const { request } = event;
  const url = new URL(request.url);
  if (request.method !== "GET" || url.origin !== self.location.origin) return;
  const scope = new URL(self.registration.scope);
  const path = url.pathname.startsWith(scope.pathname) ? url.pathname.slice(scope.pathname.length) : null;
  const file = path === "" ? "index.html" : path;
  if (digestOf(file) !== undefined) {
    event.respondWith(pageFile(event, file));
  } else if (request.mode === "navigate") {
    // Any other address under the scope opens the page's index without a network.
    event.respondWith(
      fetch(request).catch(async (error) => {
        const kept = await caches.match(new URL("index.html", scope));
        if (kept === undefined) throw error;
        return kept;
      }),
    );
  }
});
