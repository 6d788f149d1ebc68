// Random arguments for every function the package exports: each answer must be a typed error
// (TypeError or RangeError) or equal to the answer of a second copy of the module that has only
// ever been given the calls that succeeded, so that no refused call, however large or strange,
// leaves anything behind that changes a later answer.
//
//   node web/test/fuzz_package.mjs PACKAGE_DIR SECONDS

import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";

const packageDir = resolve(process.argv[2] ?? "build/web/package");
const seconds = Number(process.argv[3] ?? 20);
const url = pathToFileURL(join(packageDir, "velmora.js")).href;
const tried = await import(url);
const clean = await import(`${url}?clean`); // a separate instance of the module

let state = 20000204;
const random = () => {
  state = (state * 1103515245 + 12345) % 2147483648;
  return state / 2147483648;
};
const pick = (list) => list[Math.floor(random() * list.length)];

const pieces = ["2000", "-", "02", "04", "23", ":", "00", "T", "Z", "+08:00", " ", "\t", "\n", "\0",
  "€", "\u202e", "\ud800", "9", "-1", "1901-12-31", "22:59", "2051-12-31", "23:59", "\u00a0"];
function text() {
  const roll = random();
  if (roll < 0.02) return pick(["€", "1", "x"]).repeat(Math.floor(random() * 3e6)); // huge
  if (roll < 0.1) return pick(pieces).repeat(Math.floor(random() * 2000));
  let out = "";
  for (let n = Math.floor(random() * 6); n > 0; --n) out += pick(pieces);
  return out;
}
function value() {
  return pick([
    () => text(),
    () => random() * 400 - 200,
    () => pick([NaN, Infinity, -0, 1e300, 87.6, 180, -180.0001]),
    () => pick([null, undefined, true, false, 0n, Symbol("x"), [], {}, () => 1]),
    () => pick(["Asia/Shanghai", "America/New_York", "UTC", "Etc/GMT-8", "Nowhere/Land", ""]),
    () => pick(["standard", "mean", "apparent", "MEAN"]),
  ])();
}
// A city as findPlaces gives it, some of its fields replaced by anything at all.
const kCities = [
  { name: "Ürümqi", region: "Xinjiang Uyghur Autonomous Region", country: "China", countryCode: "CN",
    zone: "Asia/Urumqi", latitude: 43.80096, longitude: 87.60046, population: 3029372,
    label: "Ürümqi, Xinjiang Uyghur Autonomous Region, China" },
  { name: "Burgdorf, Hanover", region: "Lower Saxony", country: "Germany", countryCode: "DE",
    zone: "Europe/Berlin", latitude: 52.44654, longitude: 10.0064, population: 30112,
    label: "Burgdorf, Hanover, Lower Saxony, Germany" },
];
function city() {
  const out = { ...pick(kCities) };
  for (const key of Object.keys(out)) {
    if (random() < 0.1) out[key] = value();
  }
  return random() < 0.1 ? value() : out;
}
function birth() {
  const valid = { date: pick(["2000-02-04", "1988-07-15", "2021-11-07", "1901-12-31"]),
    time: pick(["23:00", "09:30", "01:30", "22:59"]) };
  const out = random() < 0.5 ? valid : { date: text(), time: text() };
  for (const key of ["zone", "longitude", "solar", "dst", "date", "time"]) {
    if (random() < 0.25) out[key] = value();
  }
  if (random() < 0.2) out.place = city();
  if (random() < 0.05) return value();
  if (random() < 0.05) Object.setPrototypeOf(out, { zone: "Asia/Shanghai", date: "2000-02-04" });
  return out;
}

// The city finder too, with any query and limit: a list of cities or a typed error, always.
const { findPlaces } = await import(pathToFileURL(join(packageDir, "places.js")).href);
const functions = Object.keys(tried).filter((name) => typeof tried[name] === "function");
function findAnything() {
  const query = random() < 0.8 ? text() : value();
  const limit = random() < 0.5 ? undefined : value();
  try {
    if (!Array.isArray(findPlaces(query, limit))) throw new Error("findPlaces gave no array");
  } catch (error) {
    if (!typed(error)) {
      console.error(`fuzz: findPlaces threw ${error?.constructor?.name}: ${error?.message}`);
      process.exit(1);
    }
  }
}
const typed = (error) => error instanceof TypeError || error instanceof RangeError;
const deadline = Date.now() + seconds * 1000;
let calls = 0;
while (Date.now() < deadline) {
  if (random() < 0.1) {
    findAnything();
    ++calls;
    continue;
  }
  const name = pick(functions);
  const argument = birth();
  let answer;
  try {
    answer = tried[name](argument);
  } catch (error) {
    if (!typed(error)) {
      console.error(`fuzz: ${name} threw ${error?.constructor?.name}: ${error?.message}`);
      process.exit(1);
    }
    ++calls;
    continue;
  }
  const expected = clean[name](argument);
  if (JSON.stringify(answer) !== JSON.stringify(expected)) {
    console.error(`fuzz: ${name} answered differently after ${calls} calls for`, argument);
    process.exit(1);
  }
  ++calls;
}
console.log(`fuzz: the package's ${functions.length} functions and findPlaces took ${calls} calls in ${seconds} s, every answer typed or as a clean module's`);
