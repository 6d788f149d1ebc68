// velmora/places: the time of a findPlaces call for what a person types into a place field, one
// keystroke at a time, the one-time cost of loading the table, and the size of the entry that
// holds it, raw and compressed as a server sends it.
//
//   node bench/web/places_bench.mjs [PACKAGE_DIR]

import { readFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { gzipSync } from "node:zlib";

const root = resolve(new URL(".", import.meta.url).pathname, "../..");
const packageDir = resolve(process.argv[2] ?? join(root, "build/web/package"));
const entry = join(packageDir, "places.js");

const ms = (start) => Number(process.hrtime.bigint() - start) / 1e6;

let start = process.hrtime.bigint();
const { findPlaces } = await import(entry);
const importMs = ms(start);
start = process.hrtime.bigint();
findPlaces("B", 10);
const firstMs = ms(start);

// Every prefix of what is typed, as a place field asks after each keystroke for ten matches.
const typed = ["London, Canada", "Springfield, Illinois", "sao paulo", "Ürümqi", "new york",
  "Frankfurt am Main", "Sydney, CA", "Kraków, Poland", "Qwxyz", "Thành phố Hồ Chí Minh"];
const keystrokes = typed.flatMap((text) => Array.from(text, (_, i) => text.slice(0, i + 1)));
const times = [];
for (let round = 0; round < 5; ++round) {
  for (const query of keystrokes) {
    start = process.hrtime.bigint();
    findPlaces(query, 10);
    times.push(ms(start));
  }
}
times.sort((a, b) => a - b);
const at = (q) => times[Math.min(times.length - 1, Math.floor(q * times.length))].toFixed(2);
// Every match, as velmora-cli --places lists them: the longest a query takes.
start = process.hrtime.bigint();
const every = findPlaces("a").length;
const everyMs = ms(start);

const raw = readFileSync(entry);
console.log(`import velmora/places:     ${importMs.toFixed(1)} ms`);
console.log(`first findPlaces:          ${firstMs.toFixed(1)} ms (unpacks the table and folds every name once)`);
console.log(`findPlaces per keystroke:  median ${at(0.5)} ms, 95th percentile ${at(0.95)} ms, most ${times.at(-1).toFixed(2)} ms over ${times.length} calls (target under 30 ms)`);
console.log(`every match of "a":        ${every} cities in ${everyMs.toFixed(1)} ms`);
console.log(`places.js:                 ${raw.length} bytes, ${gzipSync(raw, { level: 9 }).length} gzipped (target under 409600)`);
