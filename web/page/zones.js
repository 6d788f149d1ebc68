// The zones this browser knows, to pick from as the zone's name is typed: listed when the
// field is first reached, not while the page opens.

export function listZones(zoneField) {
  zoneField.addEventListener(
    "focus",
    () => {
      if (typeof Intl.supportedValuesOf !== "function") return;
      document.getElementById("zone-names").append(...Intl.supportedValuesOf("timeZone").map((name) => new Option("", name)));
    },
    { once: true },
  );
}
