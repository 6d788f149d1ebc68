// Reading and writing the page's links, in Node: what a fragment gives the fields, the first
// thing wrong with it in the page's words, and the fragment a Run writes, which reads back as
// the birth it was written from.
//
//   node --test web/test/links.test.mjs

import assert from "node:assert/strict";
import { test } from "node:test";
import { cityOfLink, fragmentOf, linkCityPhrase, readFragment } from "../page/links.js";

const kKeysSaid =
  "is not something the page reads: a link gives date and time (such as #date=2000-02-04&time=23:00) and, for a " +
  "birth place, place, zone, longitude, solar and dst.";

test("a fragment gives every value it can read, trimmed, empty ones left out, and its first problem", () => {
  const cases = [
    { name: "no fragment", fragment: "", given: null },
    { name: "only the mark", fragment: "#", given: null },
    { name: "a birth", fragment: "#date=2000-02-04&time=23:00",
      values: { date: "2000-02-04", time: "23:00" }, problem: null },
    { name: "a birth place", fragment: "#date=1990-01-15&time=12:00&zone=Asia/Shanghai&longitude=87.6&solar=mean",
      values: { date: "1990-01-15", time: "12:00", zone: "Asia/Shanghai", longitude: "87.6", solar: "mean" }, problem: null },
    { name: "escapes and a comma in a city", fragment: "#date=1988-07-15&time=09:30&place=Burgdorf,%20Hanover%2C%20Germany",
      values: { date: "1988-07-15", time: "09:30", place: "Burgdorf, Hanover, Germany" }, problem: null },
    { name: "spaces around a value, trimmed as a field trims", fragment: "#date=%202000-02-04&time=%2023:00%20&zone=%20Asia/Shanghai",
      values: { date: "2000-02-04", time: "23:00", zone: "Asia/Shanghai" }, problem: null },
    { name: "an empty zone is none", fragment: "#date=2000-02-04&time=23:00&zone=&longitude=%20",
      values: { date: "2000-02-04", time: "23:00" }, problem: null },
    { name: "the first of a key twice", fragment: "#date=2000-02-04&time=23:00&time=01:00",
      values: { date: "2000-02-04", time: "23:00" }, problem: null },
    { name: "an unknown key before the date: the rest is read all the same", fragment: "#sex=male&date=2000-02-04&time=23:00",
      values: { date: "2000-02-04", time: "23:00" }, problem: { key: null, sentence: `The link's "sex" ${kKeysSaid}` } },
    { name: "a broken escape before the date", fragment: "#time=%ZZ&date=2000-02-04&zone=Asia/Shanghai",
      values: { date: "2000-02-04", zone: "Asia/Shanghai" },
      problem: { key: "time", sentence: "The link's time cannot be read: its % escapes are broken." } },
    { name: "a broken escape in a key", fragment: "#%E0=1&date=2000-02-04&time=23:00",
      values: { date: "2000-02-04", time: "23:00" },
      problem: { key: null, sentence: "The link's \"%E0\" cannot be read: its % escapes are broken." } },
    { name: "no time", fragment: "#date=2000-02-04",
      values: { date: "2000-02-04" }, problem: { key: "time", sentence: "The link gives no birth time: it needs one such as time=23:00." } },
    { name: "an empty date is no date", fragment: "#date=&time=23:00",
      values: { time: "23:00" }, problem: { key: "date", sentence: "The link gives no birth date: it needs one such as date=2000-02-04." } },
  ];
  for (const c of cases) {
    const given = readFragment(c.fragment);
    if (c.given === null) assert.equal(given, null, c.name);
    else assert.deepEqual(given, { values: c.values, problem: c.problem }, c.name);
  }
});

test("a link's sentences quote at most a short beginning of what it gives", () => {
  const long = "x".repeat(100_000);
  const shown = `"${"x".repeat(120)}..."`;
  assert.equal(readFragment(`#${long}=1&date=2000-02-04&time=23:00`).problem.sentence, `The link's ${shown} ${kKeysSaid}`);
  assert.equal(readFragment("#date=2000-02-04&time=23:00&%0A%E2%80%8B=1").problem.sentence, `The link's "??" ${kKeysSaid}`);
  const values = readFragment(`#date=2000-02-04&time=23:00&place=${long}&zone=${long}`).values;
  assert.equal(linkCityPhrase(values),
    `The link's city ${shown} is not a city of 15,000 people or more that the page knows in ${shown}.`);
  assert.equal(linkCityPhrase({ place: "Nowhere,Mars" }), 'The link\'s city "Nowhere,Mars" is not a city of 15,000 people or more that the page knows.');
});

test("the fragment a Run writes reads back as the birth it was written from", () => {
  const springfield = { label: "Springfield, Massachusetts, United States of America", zone: "America/New_York", longitude: -72.58981 };
  const cases = [
    { birth: { date: "2000-02-04", time: "23:00" }, fragment: "#date=2000-02-04&time=23:00" },
    { birth: { date: "1990-01-15", time: "12:00", solar: "mean", zone: "Asia/Shanghai", longitude: "87.6" },
      fragment: "#date=1990-01-15&time=12:00&zone=Asia/Shanghai&longitude=87.6&solar=mean" },
    { birth: { date: "2021-11-07", time: "01:30", solar: "standard", dst: true, zone: "America/New_York" },
      fragment: "#date=2021-11-07&time=01:30&zone=America/New_York&solar=standard&dst=on" },
    { birth: { date: "1988-07-15", time: "09:30", solar: "mean", dst: false, place: springfield },
      fragment: "#date=1988-07-15&time=09:30&place=Springfield,%20Massachusetts,%20United%20States%20of%20America" +
        "&zone=America/New_York&longitude=-72.58981&solar=mean&dst=off" },
    { birth: { date: "2000-02-04", time: "23:00", solar: "standard", zone: "" }, fragment: "#date=2000-02-04&time=23:00&solar=standard" },
  ];
  for (const { birth, fragment } of cases) {
    assert.equal(fragmentOf(birth), fragment);
    const { values, problem } = readFragment(fragment);
    assert.equal(problem, null, fragment);
    const expected = { ...birth };
    if (typeof expected.dst === "boolean") expected.dst = expected.dst ? "on" : "off";
    if (expected.place !== undefined) {
      Object.assign(expected, { place: birth.place.label, zone: birth.place.zone, longitude: String(birth.place.longitude) });
    }
    if (expected.zone === "") delete expected.zone;
    assert.deepEqual(values, expected, fragment);
  }
});

test("a link's city is the one in its zone at its longitude, its own label first, else the most populous", () => {
  const cities = [
    { label: "Springfield, Missouri, United States of America", zone: "America/Chicago", longitude: -93.29824 },
    { label: "Springfield, Massachusetts, United States of America", zone: "America/New_York", longitude: -72.58981 },
    { label: "Springfield, Illinois, United States of America", zone: "America/Chicago", longitude: -89.64371 },
  ];
  const findPlaces = (query) => (query.startsWith("Springfield") ? cities : []);
  const cases = [
    [{ place: "Springfield" }, cities[0]],
    [{ place: "Springfield", zone: "America/New_York" }, cities[1]],
    [{ place: "Springfield", zone: "America/Chicago", longitude: "-89.64371" }, cities[2]],
    [{ place: "Springfield, Illinois, United States of America" }, cities[2]],
    [{ place: "Springfield", zone: "Europe/Paris" }, null],
    [{ place: "Nowhere" }, null],
  ];
  for (const [values, city] of cases) assert.equal(cityOfLink(findPlaces, values), city, JSON.stringify(values));
});
