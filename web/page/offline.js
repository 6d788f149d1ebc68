// Offline and installing: served, the page can be installed and keeps its files for use offline;
// opened from a folder it has neither, and works as it is. Both wait until the page has loaded
// and `ready` (its module) has settled, so that they take nothing from its start.

export function offerOffline(ready) {
  if (location.protocol !== "http:" && location.protocol !== "https:") return;
  const loaded = new Promise((resolve) =>
    document.readyState === "complete" ? resolve() : addEventListener("load", resolve, { once: true }),
  );
  Promise.all([loaded, ready]).then(() => {
    const manifest = document.createElement("link");
    manifest.rel = "manifest";
    manifest.href = "manifest.webmanifest";
    document.head.append(manifest);
    // Without the worker the page works the same, only not offline.
    navigator.serviceWorker?.register("sw.js").catch(() => {});
  });
}
