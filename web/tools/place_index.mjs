// Packs the cities velmora-place-index writes into the compact table the package's place finder
// reads, then unpacks it with the finder itself and checks it against the index: every city's
// fields, the words of every text the library's retries reach, the region and country words, the
// order of the matches. A difference stops the build, so the package cannot find other cities
// than velmora-cli does.

import { readFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

const web = join(dirname(fileURLToPath(import.meta.url)), "..");
export const finderSource = readFileSync(join(web, "lib", "place_finder.js"), "utf8");
const placeFinder = new Function(`${finderSource}\nreturn placeFinder;`)();

const b36 = (n) => n.toString(36);

// Each number as its step from the one before, so that runs of near values take few characters.
function steps(values) {
  let before = 0;
  return values
    .map((v) => {
      const step = v - before;
      before = v;
      return b36(step);
    })
    .join(",");
}

function stepped(pairs) {
  let before = 0;
  return pairs
    .map(([key, value]) => {
      const step = key - before;
      before = key;
      return `${b36(step)}=${value}`;
    })
    .join(",");
}

function refuse(what, text, separators) {
  if (separators.test(text)) throw new Error(`the place index cannot hold ${what} ${JSON.stringify(text)}`);
  return text;
}

// The packed table: every member a string, for a module of plain literals.
export function packPlaces(index) {
  const cities = index.cities.map((city, table) => ({
    ...city,
    table,
    lat: Math.round(city.latitude * 1e5),
    lon: Math.round(city.longitude * 1e5),
  }));
  for (const c of cities) {
    if (c.lat / 1e5 !== c.latitude || c.lon / 1e5 !== c.longitude) {
      throw new Error(`${c.name}: the place index keeps degrees to five decimals, not ${c.latitude}, ${c.longitude}`);
    }
  }
  // Stored by country (in the table's order, which keeps a country's cities together), region and
  // latitude: neighbours differ little, which is what the steps and the compression live on.
  const stored = [...cities].sort(
    (a, b) => a.country - b.country || a.region - b.region || a.lat - b.lat || a.table - b.table,
  );
  for (let i = 1; i < cities.length; ++i) {
    if (cities[i].country < cities[i - 1].country) throw new Error("the table does not keep each country's cities together");
  }
  // Among cities of one country and one population, the table's order.
  const seen = new Map();
  const ties = [];
  for (const c of cities) {
    const key = `${c.country} ${c.population}`;
    c.tie = seen.get(key) ?? 0;
    seen.set(key, c.tie + 1);
  }
  stored.forEach((c, at) => c.tie > 0 && ties.push([at, b36(c.tie)]));

  const countryRuns = [];
  for (const c of stored) {
    if (countryRuns.length > 0 && countryRuns.at(-2) === c.country) ++countryRuns[countryRuns.length - 1];
    else countryRuns.push(c.country, 1);
  }
  const ranges = [];
  for (const [first, last] of index.wordRanges) ranges.push(first, last);
  const line = /[\n\t]/;
  const entry = /[,=]/;
  return {
    wordRanges: steps(ranges),
    caseFolds: stepped(index.caseFolds.map(([cp, to]) => [cp, refuse("the folding", to, entry)])),
    transliterations: stepped(index.transliterations.map(([cp, to]) => [cp, refuse("the transliteration", to, entry)])),
    aliases: index.aliases.map(([alias, code]) => `${alias}=${code}`).join(","),
    regionAbbreviations: index.regionAbbreviations
      .map((row) => row.map((field) => refuse("the region abbreviation", field, /[\n\t]/)).join("\t"))
      .join("\n"),
    zones: index.zones.map((z) => refuse("the zone", z, line)).join("\n"),
    regions: index.regions.map((r) => refuse("the region", r.name, line)).join("\n"),
    countries: index.countries.map((c) => `${refuse("the country", c.name, line)}\t${refuse("the code", c.code, line)}`).join("\n"),
    names: stored.map((c) => refuse("the name", c.name, line)).join("\n"),
    country: countryRuns.map(b36).join(","),
    region: steps(stored.map((c) => c.region)),
    zone: steps(stored.map((c) => c.zone)),
    latitude: steps(stored.map((c) => c.lat)),
    longitude: steps(stored.map((c) => c.lon)),
    population: stored.map((c) => b36(c.population)).join(","),
    ties: stepped(ties),
  };
}

// The words as the index writes them: a folded word, or [folded, ascii].
const indexWords = (folded, ascii) => folded.map((w, i) => (ascii[i] === null ? w : [w, ascii[i]]));

// Throws at the first difference, naming where it lies.
function same(what, actual, expected) {
  if (Array.isArray(actual) && Array.isArray(expected) && actual.length === expected.length) {
    actual.forEach((a, i) => same(`${what}, item ${i}`, a, expected[i]));
    return;
  }
  const a = JSON.stringify(actual);
  const e = JSON.stringify(expected);
  if (a !== e) throw new Error(`the packed place index differs from GLib's at ${what}: ${a} where ${e}`);
}

// Unpacks `packed` with the package's finder and compares everything it will search with `index`.
export function checkPlaces(packed, index) {
  const { table, start, retry, place, stateWords } = placeFinder(packed).inspect();
  same("the regions", table.regionWords.map((w) => indexWords(w.folded, w.ascii)), index.regions.map((r) => r.words));
  same("the countries", table.countryWords.map((w) => indexWords(w.folded, w.ascii)), index.countries.map((c) => c.words));
  const tableIndex = new Array(table.names.length);
  table.names.forEach((_, city) => {
    const p = place(city);
    // The city of the table this stored city is: its name and numbers single it out.
    const key = `${p.name}\t${p.latitude}\t${p.longitude}\t${p.population}`;
    tableIndex[city] = key;
  });
  const byKey = new Map(index.cities.map((c, i) => [`${c.name}\t${c.latitude}\t${c.longitude}\t${c.population}`, i]));
  if (byKey.size !== index.cities.length) throw new Error("two cities of the table share name, place and population");
  for (let city = 0; city < table.names.length; ++city) {
    const i = byKey.get(tableIndex[city]);
    const c = index.cities[i];
    const p = place(city);
    same(`city ${i}`, [p.name, p.region, p.country, p.countryCode, p.zone],
      [c.name, index.regions[c.region].name, index.countries[c.country].name, index.countries[c.country].code, index.zones[c.zone]]);
    // Every state the library's retries reach, numbered in the order the index found them.
    const states = [start(table.cities[city])];
    const at = new Map([[0, 0]]);
    for (let s = 0; s < states.length; ++s) {
      const stateWordList = stateWords(states[s]);
      const next = stateWordList.map((_, w) => {
        const r = retry(states[s], w);
        if (!at.has(r.offset)) {
          at.set(r.offset, states.length);
          states.push(r);
        }
        return at.get(r.offset);
      });
      const folded = stateWordList.map(([word]) => word);
      const ascii = stateWordList.map(([, a]) => a);
      same(`city ${i} (${c.name}), state ${s}`, { words: indexWords(folded, ascii), next }, c.states[s]);
      // A query's first word can start only a state's first word, which the city's key holds.
      if (folded.length > 0 && ![folded[0], ascii[0] ?? ""].every((w) => table.cities[city].key.includes(w))) {
        throw new Error(`the key of ${c.name} does not hold ${folded[0]}`);
      }
    }
    same(`the number of states of ${c.name}`, states.length, c.states.length);
    tableIndex[city] = i;
  }
  const expected = index.cities.map((_, i) => i).sort((a, b) => index.cities[b].population - index.cities[a].population || a - b);
  same("the order of matches", Array.from(table.order, (city) => tableIndex[city]), expected);
}

// The module's text of the packed table, as one object literal.
export function packedSource(packed) {
  return `const packedPlaces = {\n${Object.entries(packed)
    .map(([key, value]) => `  ${key}: ${JSON.stringify(value)},`)
    .join("\n")}\n};\n`;
}
