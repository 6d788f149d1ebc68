// The history of every time zone, which the module casts a birth place from: loaded when the
// birth place is first used or a birth first names a zone, so that a chart without a birth place
// never waits for it, and kept by the worker for use offline. The zone field then offers
// velmora-cli's current names (its old ones are taken too).

export const kNoZones = "The time zones could not be loaded: cast from the clock time as entered, or try again.";

// `ready` resolves to the package's functions, or null when the module could not be loaded.
export function zoneTable({ ready, zoneField, placeBox }) {
  let loading = null;
  // Resolves to whether the zones are loaded; tried again next time when they could not be.
  function load() {
    loading ??= ready
      .then((velmora) => (velmora === null ? Promise.reject() : globalThis.velmoraLoadZones()))
      .then(
        () => {
          // The worker keeps them, even when they were fetched before the worker ran.
          navigator.serviceWorker?.ready.then((registration) => registration.active?.postMessage({ keep: "zones.bin" }));
          return true;
        },
        () => {
          loading = null;
          return false;
        },
      );
    return loading;
  }
  placeBox.addEventListener("focusin", () => load(), { once: true });
  zoneField.addEventListener(
    "focus",
    () =>
      load().then((loaded) => {
        if (!loaded) return;
        ready.then((velmora) =>
          document.getElementById("zone-names").append(...velmora.zoneNames().map((name) => new Option("", name))),
        );
      }),
    { once: true },
  );
  return { load };
}

// Whether a birth names a zone, itself or through its city.
export const namesZone = (birth) => (birth.zone ?? "") !== "" || birth.place !== undefined;
