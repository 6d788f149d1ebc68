// Charts per second through castChart in Node beside velmora-cli --batch on the same births,
// with and without a birth place, and the size of the script that carries the module.
//
//   node bench/web/cast_bench.mjs [PACKAGE_DIR] [VELMORA_CLI]

import { execFileSync } from "node:child_process";
import { statSync } from "node:fs";
import { join, resolve } from "node:path";

const root = resolve(new URL(".", import.meta.url).pathname, "../..");
const packageDir = resolve(process.argv[2] ?? join(root, "build/web/package"));
const cli = process.argv[3] ?? join(root, "build/release/src/cli/velmora-cli");
const { castChart } = await import(join(packageDir, "velmora.js"));

// One birth a day at a changing minute, across the whole supported range.
const two = (n) => String(n).padStart(2, "0");
const births = [];
for (let t = Date.UTC(1902, 0, 1, 0, 7); births.length < 50000; t += 86400000 + 7 * 60000) {
  const d = new Date(t);
  births.push({
    date: `${d.getUTCFullYear()}-${two(d.getUTCMonth() + 1)}-${two(d.getUTCDate())}`,
    time: `${two(d.getUTCHours())}:${two(d.getUTCMinutes())}`,
  });
}

function rate(seconds, count) {
  return Math.round(count / seconds);
}

// The first birth naming a zone reads the zone table into the module.
let start = process.hrtime.bigint();
castChart({ date: "1988-07-15", time: "09:30", zone: "Asia/Shanghai" });
const firstZoneMs = Number(process.hrtime.bigint() - start) / 1e6;

for (let i = 0; i < 2000; ++i) castChart(births[i]); // warm the JIT
start = process.hrtime.bigint();
let sum = 0;
for (const birth of births) sum += castChart(birth).lifeBranch;
const jsSeconds = Number(process.hrtime.bigint() - start) / 1e9;

const input = births.map((b) => `${b.date} ${b.time}\n`).join("").repeat(20);
start = process.hrtime.bigint();
execFileSync(cli, ["--batch", "-"], { input, stdio: ["pipe", "ignore", "inherit"] });
const cliSeconds = Number(process.hrtime.bigint() - start) / 1e9;

// The same births corrected for a birth place. The JIT is warmed on births of other years, so
// that the first pass works out each year's smallest offset afresh; the second finds them kept.
const place = (b) => ({ ...b, zone: "Asia/Shanghai", longitude: 87.6, dst: false });
for (const birth of births.slice(45000, 47000)) sum += castChart(place(birth)).lifeBranch;
const placed = births.slice(1000, 11000).map(place);
start = process.hrtime.bigint();
for (const birth of placed) sum += castChart(birth).lifeBranch;
const placedSeconds = Number(process.hrtime.bigint() - start) / 1e9;
start = process.hrtime.bigint();
for (const birth of placed) sum += castChart(birth).lifeBranch;
const keptSeconds = Number(process.hrtime.bigint() - start) / 1e9;

// The same births naming eight zones in turn, their offsets kept from a first pass.
const zones = [["Asia/Shanghai", 116.4], ["Europe/London", -0.13], ["America/New_York", -74],
  ["Asia/Kolkata", 77.2], ["Australia/Sydney", 151.2], ["Europe/Berlin", 13.4],
  ["America/Los_Angeles", -118.2], ["Asia/Tokyo", 139.7]];
const turned = births.slice(1000, 11000).map((b, i) => {
  const [zone, longitude] = zones[i % zones.length];
  return { ...b, zone, longitude, dst: false };
});
const castable = (birth) => {
  try {
    return castChart(birth).lifeBranch;
  } catch {
    return 0; // a clock time the zone skipped
  }
};
for (const birth of turned) sum += castable(birth);
start = process.hrtime.bigint();
for (const birth of turned) sum += castable(birth);
const turnedSeconds = Number(process.hrtime.bigint() - start) / 1e9;

const js = rate(jsSeconds, births.length);
const native = rate(cliSeconds, births.length * 20);
const size = statSync(join(packageDir, "module.js")).size;
console.log(`castChart in Node:         ${js} charts/s (checksum ${sum})`);
console.log(`with a birth place:        ${rate(placedSeconds, placed.length)} charts/s (Asia/Shanghai, mean solar time, its offsets worked out on the way); ${rate(keptSeconds, placed.length)} charts/s once they are kept`);
console.log(`first cast naming a zone:  ${firstZoneMs.toFixed(1)} ms, the zone table read`);
console.log(`eight zones in turn:       ${rate(turnedSeconds, turned.length)} charts/s, their offsets kept`);
console.log(`velmora-cli --batch:       ${native} charts/s`);
console.log(`ratio:                     ${(js / native).toFixed(2)} (target at least 0.20)`);
console.log(`script with its module:    ${size} bytes (target at most 409600)`);
