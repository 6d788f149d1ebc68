// A birth in the address's fragment, which browsers never send to a server: written after each
// Run, read when a link is opened. Nothing here touches the page, so that it runs in Node too.

import { quoted } from "./words.js";

// What a link may say, in the order a link writes it.
export const kLinkKeys = ["date", "time", "place", "zone", "longitude", "solar", "dst"];

// A value in the fragment, escaped only where it must be: zones keep their "/", times their
// ":", cities their ",".
const linkValue = (text) =>
  encodeURIComponent(text).replace(/%2F/g, "/").replace(/%3A/g, ":").replace(/%2C/g, ",");

// The fragment for a birth as the page casts it: a city goes with its zone and longitude, which
// tell apart cities of the same name.
export function fragmentOf(birth) {
  const given = { ...birth };
  if (typeof given.dst === "boolean") given.dst = given.dst ? "on" : "off";
  if (given.place !== undefined) {
    given.zone = given.place.zone;
    given.longitude = given.place.longitude;
    given.place = given.place.label;
  }
  return "#" + kLinkKeys
    .filter((key) => given[key] !== undefined && given[key] !== "")
    .map((key) => `${key}=${linkValue(String(given[key]))}`)
    .join("&");
}

// What a fragment gives: `values`, every key the page reads that it could read, trimmed as the
// fields trim what is typed and left out when empty, as an empty field is; and `problem`, the
// first thing wrong with it ({key, sentence}, key null when no field is concerned) or null.
// Null for no fragment.
export function readFragment(fragment) {
  const text = fragment.replace(/^#/, "");
  if (text === "") return null;
  const values = {};
  let problem = null;
  const found = (key, sentence) => (problem ??= { key, sentence });
  for (const part of text.split("&")) {
    if (part === "") continue;
    const at = part.indexOf("=");
    const rawKey = at < 0 ? part : part.slice(0, at);
    let key;
    try {
      key = decodeURIComponent(rawKey);
    } catch {
      found(null, `The link's ${quoted(rawKey)} cannot be read: its % escapes are broken.`);
      continue;
    }
    if (!kLinkKeys.includes(key)) {
      found(null, `The link's ${quoted(key)} is not something the page reads: a link gives date and time ` +
        "(such as #date=2000-02-04&time=23:00) and, for a birth place, place, zone, longitude, solar and dst.");
      continue;
    }
    let value;
    try {
      value = decodeURIComponent(at < 0 ? "" : part.slice(at + 1)).trim();
    } catch {
      found(key, `The link's ${key} cannot be read: its % escapes are broken.`);
      continue;
    }
    if (value !== "" && !Object.hasOwn(values, key)) values[key] = value;
  }
  for (const [key, example] of [["date", "date=2000-02-04"], ["time", "time=23:00"]]) {
    if (values[key] === undefined) found(key, `The link gives no birth ${key}: it needs one such as ${example}.`);
  }
  return { values, problem };
}

// The sentence for a link's city that the page does not know, in its zone at its longitude when
// the link gives them.
export const linkCityPhrase = (values) =>
  `The link's city ${quoted(values.place)} is not a city of 15,000 people or more that the page knows` +
  `${values.zone === undefined ? "" : ` in ${quoted(values.zone)}`}` +
  `${values.longitude === undefined ? "" : ` at longitude ${quoted(values.longitude)}`}.`;

// The city a link names: of the cities its name finds, the one in its zone at its longitude
// when it gives them, its own label first; the most populous otherwise; null for none.
export function cityOfLink(findPlaces, values) {
  const found = findPlaces(values.place).filter(
    (place) =>
      (values.zone === undefined || place.zone === values.zone) &&
      (values.longitude === undefined || place.longitude === Number(values.longitude)),
  );
  return found.find((place) => place.label === values.place) ?? found[0] ?? null;
}
