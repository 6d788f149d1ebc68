// velmora/places against velmora-cli --places: the same cities in the same order for a few hundred
// queries drawn from the table, its words folded as GLib folds them for every character, and its
// refusals.
//
//   VELMORA_PACKAGE=build/web/velmora-1.31.0.tgz VELMORA_CLI=build/release/src/cli/velmora-cli \
//   VELMORA_PLACE_INDEX=build/release/src/places/velmora-place-index node --test web/test/places.test.mjs

import assert from "node:assert/strict";
import { execFile, execFileSync } from "node:child_process";
import { mkdtempSync, readdirSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { after, before, describe, test } from "node:test";
import { promisify } from "node:util";

import { finderSource, packPlaces } from "../tools/place_index.mjs";

const run = promisify(execFile);
const root = resolve(import.meta.dirname ?? new URL(".", import.meta.url).pathname, "../..");
const cli = process.env.VELMORA_CLI ?? join(root, "build/release/src/cli/velmora-cli");
const placeIndex = process.env.VELMORA_PLACE_INDEX ?? join(root, "build/release/src/places/velmora-place-index");
const packed =
  process.env.VELMORA_PACKAGE ??
  join(root, "build/web", readdirSync(join(root, "build/web")).find((f) => /^velmora-[0-9].*\.tgz$/.test(f)));
// Transliteration follows the locale; the package's is the C locale's.
const env = { ...process.env, LC_ALL: "C.UTF-8" };

const scratch = mkdtempSync(join(tmpdir(), "velmora-places-"));
let findPlaces;
let index;

before(async () => {
  execFileSync("tar", ["-xzf", packed, "-C", scratch]);
  ({ findPlaces } = await import(join(scratch, "package", "places.js")));
  index = JSON.parse(execFileSync(placeIndex, { encoding: "utf8", maxBuffer: 1 << 26, env }));
});
after(() => rmSync(scratch, { recursive: true, force: true }));

// A longitude as velmora-cli prints it: rounded half away from zero to four decimals, no
// trailing zeros.
function decimal(value) {
  const scaled = Math.sign(value) * Math.round(Math.abs(value) * 10000);
  const whole = Math.trunc(Math.abs(scaled) / 10000);
  const fraction = String(Math.abs(scaled) % 10000).padStart(4, "0").replace(/0+$/, "");
  return `${scaled < 0 ? "-" : ""}${whole}${fraction ? `.${fraction}` : ""}`;
}

async function cliPlaces(query) {
  try {
    const { stdout } = await run(cli, ["--places", query], { env, maxBuffer: 1 << 24 });
    return stdout.split("\n").filter(Boolean);
  } catch (error) {
    assert.match(error.stderr, /no city of 15,000 people or more by that name/, query);
    return [];
  }
}

// Queries a person might type, drawn from every part of the table by a fixed sequence.
function queries() {
  let seed = 21;
  const next = (n) => {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    return seed % n;
  };
  const stripped = (text) => text.normalize("NFD").replace(/\p{M}/gu, "");
  const list = [];
  for (let i = 0; i < 30; ++i) {
    const city = index.cities[next(index.cities.length)];
    const region = index.regions[city.region].name;
    const country = index.countries[city.country];
    const first = city.name.split(/[\s-]/)[0];
    list.push(
      city.name,
      first,
      city.name.slice(0, 1 + next(4)),
      city.name.toLowerCase(),
      stripped(city.name).toUpperCase(),
      `${city.name}, ${region}`,
      `${first}, ${country.name}`,
      `${stripped(first).toLowerCase()}, ${country.code.toLowerCase()}`,
      `${city.name.slice(0, 3)}, ${region.split(" ")[0].slice(0, 4)}, ${country.code}`,
    );
  }
  list.push(
    "", "!!", "   ", ",", ", Canada", "Qwxyz", "London, Narnia", "London, !!", "London,, ,Canada",
    "Springfield, Ill, USA", "Springfield, IL", "London, CA", "london, ca, ontario", "Paris, tx", "Athens, GA", "Perth, au", "Perth, WA", "Vancouver, wa", "Vancouver, BC", "Darwin, NT",
    "Sydney, nsw", "Portland, ME", "Adelaide, SA", "Indianapolis, IN", "Paris, TX, USA", "Paris, TX, Canada", "Lyon, au", "Mission, CA", "Pa, fr, î", "Pa, fr, îl", "Pa, fr, 12", "Leeds, uk", "Dubai, uae", "sao paulo", "SÃO PAULO", "Ürümqi", "urumqi",
    "İstanbul", "istanbul", "ISTANBUL", "Straße", "k", "a", "1", "de", "New York", "york", "san jose, cr",
    "München", "munchen", "St. Petersburg", "saint", "Xi'an", "ﬁrenze", "ＴＯＫＹＯ", "Lon\tdon",
    " \tLondon\r\n , \fON ", "Burgdorf, Hanover, Lower Saxony, Germany", "burgdorf, hanover", "Burgdorf,, Hanover",
    `London,${" ".repeat(249)}`, `London,${" ".repeat(250)}`, "a,".repeat(5000),
    "Kraków", "krakow", "Đà Nẵng", "Thành phố Hồ Chí Minh", "القاهرة", "東京",
  );
  return list;
}

test("findPlaces gives velmora-cli's cities in velmora-cli's order", async () => {
  const list = queries();
  assert.ok(list.length >= 300, `${list.length} queries`);
  const expected = [];
  // Two at a time: velmora-cli reads the whole table for each query.
  for (let i = 0; i < list.length; i += 2) {
    expected.push(...(await Promise.all(list.slice(i, i + 2).map(cliPlaces))));
  }
  let found = 0;
  list.forEach((query, i) => {
    const places = findPlaces(query).map((p) => `${p.label}\t${p.zone}\t${decimal(p.longitude)}`);
    assert.deepEqual(places, expected[i], JSON.stringify(query));
    if (places.length > 0) ++found;
    const limited = findPlaces(query, 3);
    assert.deepEqual(limited.map((p) => `${p.label}\t${p.zone}\t${decimal(p.longitude)}`), expected[i].slice(0, 3));
  });
  assert.ok(found > list.length / 2, `${found} of ${list.length} queries found a city`);
});

// Every city of the table is found by its own name, region and country, the one with a comma in
// its own name included.
test("a sweep of the table: each city found by its name, region and country", () => {
  const missed = [];
  for (const city of index.cities) {
    const region = index.regions[city.region].name;
    const country = index.countries[city.country].name;
    const query = [city.name, region, country].filter(Boolean).join(", ");
    const zone = index.zones[city.zone];
    const found = findPlaces(query).some(
      (place) => place.name === city.name && place.zone === zone && place.longitude === city.longitude,
    );
    if (!found) missed.push(query);
  }
  assert.deepEqual(missed, []);
});

// Each abbreviation of a state, province or territory names a region the table holds in that
// country, as it spells it.
test("every region's abbreviation names a region of the table", () => {
  const held = new Set(index.cities.map((c) => `${index.countries[c.country].code}\t${index.regions[c.region].name}`));
  const unknown = index.regionAbbreviations.filter(([, code, region]) => !held.has(`${code}\t${region}`));
  assert.deepEqual(unknown, []);
  assert.ok(index.regionAbbreviations.length >= 70);
});

test("a place carries the table's fields and its label", () => {
  const [urumqi] = findPlaces("Urumqi", 1);
  assert.deepEqual(urumqi, {
    name: "Ürümqi",
    region: "Xinjiang Uyghur Autonomous Region",
    country: "China",
    countryCode: "CN",
    zone: "Asia/Urumqi",
    latitude: index.cities.find((c) => c.name === "Ürümqi").latitude,
    longitude: index.cities.find((c) => c.name === "Ürümqi").longitude,
    population: index.cities.find((c) => c.name === "Ürümqi").population,
    label: "Ürümqi, Xinjiang Uyghur Autonomous Region, China",
  });
});

describe("the query is folded as GLib folds it", () => {
  let words;
  before(() => {
    const placeFinder = new Function(`${finderSource}\nreturn placeFinder;`)();
    ({ words } = placeFinder(packPlaces(index)).inspect());
  });
  const glib = (lines) =>
    execFileSync(placeIndex, ["--fold"], { input: lines.join("\n") + "\n", encoding: "utf8", maxBuffer: 1 << 28, env })
      .split("\n")
      .slice(0, lines.length);
  const compare = (lines) => {
    const expected = glib(lines);
    lines.forEach((line, i) => {
      const actual = words(line).folded.join("\t");
      if (actual !== expected[i]) assert.equal(actual, expected[i], `U+${line.codePointAt(0).toString(16)} ${JSON.stringify(line)}`);
    });
  };

  test("every character alone and between letters", () => {
    const lines = [];
    for (let cp = 1; cp <= 0x10ffff; ++cp) {
      if (cp === 0x0a || (cp >= 0xd800 && cp <= 0xdfff)) continue;
      const c = String.fromCodePoint(cp);
      lines.push(c, `A${c}b`);
    }
    compare(lines);
  });

  test("words that compose, expand or mix scripts", () => {
    compare([
      "A\u030Angstro\u0308m", "ǅemal", "ﬃ ﬆ", "ΣΊΣΥΦΟΣ ὈΔΥΣΣΕΎΣ", "İSTANBUL ıiIİ", "STRASSE Straße ẞ",
      "ᄒ\u1161\u11AB", "①② ⅻ ¼", "ﷺ", "Ꭰꭰ", "\u0301abc", "x\u0301\u0302\u0303", "Ａｂｃ１２３",
      ...index.cities.filter((_, i) => i % 50 === 0).map((c) => c.name),
    ]);
  });
});

describe("refusals", () => {
  test("a query other than a string is a TypeError that says what is taken", () => {
    for (const query of [undefined, null, 42, ["London"], { toString: () => "London" }]) {
      assert.throws(() => findPlaces(query), { name: "TypeError", message: /query must be a string/ });
    }
  });

  test("a limit other than a whole number of 0 or more is a RangeError", () => {
    for (const limit of [-1, 1.5, NaN, "3", true, -Infinity]) {
      assert.throws(() => findPlaces("London", limit), { name: "RangeError", message: /whole number of places, 0 or more/ });
    }
    assert.deepEqual(findPlaces("London", 0), []);
    assert.equal(findPlaces("London", Infinity).length, findPlaces("London").length);
  });

  test("text that is not valid UTF-8 finds nothing, as in velmora-cli", () => {
    for (const query of ["Lon\uD800don", "London\uDC00", "\uDFFF", "Lon\0don"]) {
      assert.deepEqual(findPlaces(query), [], JSON.stringify(query));
    }
  });
});
