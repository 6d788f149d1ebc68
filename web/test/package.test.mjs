// The packed package against velmora-cli: the same chart, reading, board and refusals.
//
//   VELMORA_PACKAGE=build/web/velmora-1.31.0.tgz VELMORA_CLI=build/release/src/cli/velmora-cli \
//     VELMORA_ZONE_TABLE=build/release/src/time_zone/velmora-zone-table node --test web/test/package.test.mjs

import assert from "node:assert/strict";
import { execFile, execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, readdirSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { after, before, describe, test } from "node:test";
import { promisify } from "node:util";

const run = promisify(execFile);
const root = resolve(import.meta.dirname ?? new URL(".", import.meta.url).pathname, "../..");
const cli = process.env.VELMORA_CLI ?? join(root, "build/release/src/cli/velmora-cli");
const zoneTable = process.env.VELMORA_ZONE_TABLE ?? join(root, "build/release/src/time_zone/velmora-zone-table");
const packed =
  process.env.VELMORA_PACKAGE ??
  join(root, "build/web", readdirSync(join(root, "build/web")).find((f) => /^velmora-[0-9].*\.tgz$/.test(f)));

const scratch = mkdtempSync(join(tmpdir(), "velmora-package-"));
let velmora;

before(async () => {
  execFileSync("tar", ["-xzf", packed, "-C", scratch]);
  velmora = await import(join(scratch, "package", "velmora.js"));
});
after(() => rmSync(scratch, { recursive: true, force: true }));

// velmora-cli's answer for one birth: what it prints, or its one line of refusal.
async function cliOutput(birth, ...options) {
  try {
    const { stdout } = await run(cli, ["--date", birth.date, "--time", birth.time, ...options], {
      maxBuffer: 1 << 20,
    });
    return stdout;
  } catch (error) {
    return { refusal: error.stderr.replace(/^velmora-cli: /, "").replace(/\n$/, "") };
  }
}

describe("the chart of 4 February 2000, 23:00", () => {
  const birth = { date: "2000-02-04", time: "23:00" };

  test("decodes the lunar new year's first hour and lays Life on branch 3", () => {
    const chart = velmora.castChart(birth);
    assert.deepEqual(chart.facts, {
      yearStem: 7, yearBranch: 5, yearStemCode: 7, lunarMonth: 1, lunarDay: 1, hourBranch: 1,
    });
    assert.equal(chart.bureau, 5);
    assert.equal(chart.lifeBranch, 3);
    assert.deepEqual(chart.palaces[2].items, [23, 39, 46, 54]);
    assert.deepEqual(chart.palaces[2].names, ["Life", "Warrior", "Minister", "Fiery Star"]);
    assert.deepEqual(chart.palaces.map((p) => p.branch), [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12]);
  });

  test("every output is velmora-cli's", async () => {
    assert.equal(velmora.chartJson(birth), await cliOutput(birth, "--format", "json"));
    assert.equal(velmora.readingText(birth), await cliOutput(birth, "--format", "text"));
    assert.equal(velmora.htmlPage(birth), await cliOutput(birth, "--format", "html"));
    assert.ok(velmora.readingText(birth).startsWith("Place:Life\n"));
    assert.equal(velmora.birthHeading(birth), "4 February 2000, 23:00");
  });
});

// Every name a chart gives is described with the text its reading gives after that name.
test("describeItem gives each palace's and star's text in the reading", () => {
  const described = new Map();
  for (const birth of spreadBirths(60)) {
    const lines = velmora.readingText(birth).split("\n");
    for (const palace of velmora.castChart(birth).palaces) {
      palace.names.forEach((name, i) => {
        const item = velmora.describeItem(i === 0 ? name.toUpperCase() : ` ${name.toLowerCase()}  `);
        assert.equal(item.name, name);
        assert.equal(item.code, palace.items[i]);
        assert.equal(item.kind === "palace", i === 0, name);
        const line = i === 0 ? lines[lines.indexOf(`Place:${name}`) + 1] : `${name}:${item.description}`;
        assert.ok(lines.includes(line) && line.endsWith(item.description), name);
        described.set(name, item.kind);
      });
    }
  }
  assert.equal(described.size, 44);
  assert.deepEqual(
    ["Life", "Army", "Intellect", "Angel 2", "Punishment", "Festival"].map((name) => described.get(name)),
    ["palace", "main star", "auxiliary star", "auxiliary star", "minor star", "minor star"],
  );
  for (const none of ["", "Purple Star", "Life".repeat(100), "Place:Life"]) assert.equal(velmora.describeItem(none), null);
  assert.throws(() => velmora.describeItem(44), TypeError);
});
// A refusal's own properties: the field and the code, and the reason, which the message ends
// with (before the hint of how to say which, for an hour shown twice) and which quotes nothing
// given.
function assertRefusal(error, field, code, label) {
  assert.deepEqual([error.field, error.code], [field, code], label);
  assert.equal(typeof error.reason, "string", label);
  assert.ok(error.message.endsWith(`${error.reason}.`) || (code === "repeated" && error.message.includes(`${error.reason}; `)),
    `${label}: "${error.reason}" is the end of "${error.message}"`);
  assert.doesNotMatch(error.reason, /^(--)?(date|time|zone|longitude|solar|dst) ("|NaN|-?\d)/, label);
}

describe("refusals", () => {
  const invalidDate = { type: TypeError, field: "date", code: "invalid" };
  const invalidTime = { type: TypeError, field: "time", code: "invalid" };
  const unsupported = { type: RangeError, field: "date", code: "unsupported" };
  const cases = [
    { name: "a minute before the first supported birth", date: "1901-12-31", time: "22:59", ...unsupported },
    { name: "the first minute after the last", date: "2051-12-31", time: "23:00", ...unsupported },
    { name: "a day February 2000 does not have", date: "2000-02-30", time: "12:00", ...invalidDate },
    { name: "a date that is not one", date: "banana", time: "12:00", ...invalidDate },
    { name: "a time that is not one", date: "2000-02-04", time: "banana", ...invalidTime },
    { name: "an hour past 23", date: "2000-02-04", time: "24:00", ...invalidTime },
    { name: "a long date, cut in the message", date: "9".repeat(300), time: "12:00", ...invalidDate },
    { name: "a control character, shown as ?", date: "2000-02-0\u0007", time: "12:00", ...invalidDate },
    { name: "a date beyond ASCII", date: "2000-02-0\u00e9", time: "12:00", ...invalidDate },
    { name: "a time beyond ASCII", date: "2000-02-04", time: "12:0\u4e00", ...invalidTime },
  ];
  for (const c of cases) {
    test(c.name, async () => {
      const expected = (await cliOutput(c)).refusal;
      assert.ok(expected, "velmora-cli refuses it too");
      for (const output of ["castChart", "chartJson", "readingHtml", "readingText", "boardSvg"]) {
        assert.throws(() => velmora[output]({ date: c.date, time: c.time }), (error) => {
          assert.ok(error instanceof c.type, `${output} throws a ${c.type.name}`);
          assert.equal(error.message, expected);
          assertRefusal(error, c.field, c.code, output);
          return true;
        });
      }
    });
  }

  test("a birth that is not two strings", () => {
    for (const [bad, field] of [[undefined, "date"], [null, "date"], ["2000-02-04 23:00", "date"],
      [{ date: "2000-02-04" }, "time"], [{ date: 2000, time: "23:00" }, "date"]]) {
      assert.throws(() => velmora.castChart(bad), { name: "TypeError", message: /two strings/, field, code: "type" });
    }
  });

  test("a zero byte does not end the text early", () => {
    assert.throws(() => velmora.castChart({ date: "2000-02-04\0", time: "23:00" }), TypeError);
  });
});

describe("what a call cannot change", () => {
  const good = { date: "2000-02-04", time: "23:00" };

  test("texts of any size are refused and leave every later answer as it was", () => {
    const svg = velmora.boardSvg(good);
    const json = velmora.chartJson(good);
    const huge = "\u20ac".repeat(360e6);
    assert.throws(() => velmora.castChart({ date: huge, time: huge }), {
      name: "TypeError",
      message: /^--date "\u20ac+\.\.\.": not a date/,
    });
    for (const length of [1100, 2000, 9000]) {
      assert.throws(() => velmora.chartJson({ date: "7".repeat(length), time: "23:00" }), TypeError);
      assert.throws(() => velmora.castChart({ ...good, zone: "x".repeat(length) }), RangeError);
      assert.equal(velmora.boardSvg(good), svg);
      assert.equal(velmora.chartJson(good), json);
    }
  });

  test("only the birth's own fields are read, each once", () => {
    const json = velmora.chartJson(good);
    Object.prototype.zone = "Asia/Shanghai";
    try {
      assert.equal(velmora.chartJson(good), json);
    } finally {
      delete Object.prototype.zone;
    }
    let reads = 0;
    const tricky = {
      time: "23:00",
      get date() {
        velmora.castChart({ date: "1988-07-15", time: "09:30", zone: "Asia/Shanghai" });
        ++reads;
        return "2000-02-04";
      },
    };
    assert.equal(velmora.chartJson(tricky), json);
    assert.equal(reads, 1);
  });
});

// Births spread evenly over every supported minute, the first and the last included, each at a
// different time of day.
function spreadBirths(count) {
  const first = Date.UTC(1901, 11, 31, 23, 0);
  const last = Date.UTC(2051, 11, 31, 22, 59);
  const step = (last - first) / (count - 1);
  const two = (n) => String(n).padStart(2, "0");
  return Array.from({ length: count }, (_, i) => {
    const t = new Date(first + Math.round((i * step) / 60000) * 60000);
    return {
      date: `${t.getUTCFullYear()}-${two(t.getUTCMonth() + 1)}-${two(t.getUTCDate())}`,
      time: `${two(t.getUTCHours())}:${two(t.getUTCMinutes())}`,
    };
  });
}

test("1,000 births over the whole range: JSON, chart object, reading and board as velmora-cli's", async () => {
  const births = spreadBirths(1000);
  assert.deepEqual(births[0], { date: "1901-12-31", time: "23:00" });
  assert.deepEqual(births.at(-1), { date: "2051-12-31", time: "22:59" });
  // The charts from one batch, which writes each as --format json does, on one line.
  const lines = execFileSync(cli, ["--batch", "-"], {
    input: births.map((b) => `${b.date} ${b.time}\n`).join(""),
    maxBuffer: 1 << 28,
  }).toString().split("\n");
  let next = 0;
  const worker = async () => {
    while (next < births.length) {
      const i = next++;
      const birth = births[i];
      const label = `${birth.date} ${birth.time}`;
      const svgFile = join(scratch, `board-${birth.date}-${birth.time.replace(":", "")}.svg`);
      // Every tenth birth's JSON byte for byte as --format json writes it.
      const [text, json] = await Promise.all([
        cliOutput(birth, "--format", "text", "--chart", svgFile),
        i % 10 === 0 ? cliOutput(birth, "--format", "json") : null,
      ]);
      const chartJson = velmora.chartJson(birth);
      if (json !== null) assert.equal(chartJson, json, label);
      assert.equal(chartJson.replace(/\n */g, ""), lines[i], label);
      // Stringified, the chart object shows the order of its members too.
      assert.equal(JSON.stringify(velmora.castChart(birth)), lines[i], label);
      assert.equal(velmora.readingText(birth), text, label);
      assert.equal(velmora.boardSvg(birth), readFileSync(svgFile, "utf8"), label);
      rmSync(svgFile);
    }
  };
  await Promise.all([worker(), worker()]);
});

// velmora-cli's options for a birth place given as the package takes it.
function placeOptions({ zone, longitude, solar, dst }) {
  const options = [];
  if (zone !== undefined) options.push("--zone", zone);
  if (longitude !== undefined) options.push("--longitude", String(longitude));
  if (solar !== undefined) options.push("--solar", solar);
  if (dst !== undefined) options.push("--dst", dst ? "on" : "off");
  return options;
}

describe("a birth place corrects the clock time as velmora-cli does", () => {
  const cases = [
    { name: "daylight saving in Shanghai, summer 1988",
      birth: { date: "1988-07-15", time: "09:30", zone: "Asia/Shanghai" }, cast: "1988-07-15T08:30:00", hourBranch: 5 },
    { name: "a winter date in Shanghai, unchanged",
      birth: { date: "1990-01-15", time: "12:00", zone: "Asia/Shanghai" }, cast: "1990-01-15T12:00:00", hourBranch: 7 },
    { name: "mean solar time at Urumqi's longitude",
      birth: { date: "1990-01-15", time: "12:00", zone: "Asia/Shanghai", longitude: 87.6 }, cast: "1990-01-15T09:50:24", hourBranch: 6 },
    { name: "the longitude as text, read as velmora-cli reads it",
      birth: { date: "1990-01-15", time: "12:00", zone: "Asia/Shanghai", longitude: "87.6", solar: "mean" }, cast: "1990-01-15T09:50:24", hourBranch: 6 },
    { name: "apparent solar time at Urumqi's longitude",
      birth: { date: "1990-01-15", time: "12:00", zone: "Asia/Shanghai", longitude: 87.6, solar: "apparent" }, cast: "1990-01-15T09:41:53", hourBranch: 6 },
    { name: "the repeated hour in New York, daylight saving in force",
      birth: { date: "2021-11-07", time: "01:30", zone: "America/New_York", dst: true }, cast: "2021-11-07T00:30:00", hourBranch: 1 },
    { name: "the repeated hour in New York, standard time",
      birth: { date: "2021-11-07", time: "01:30", zone: "America/New_York", dst: false }, cast: "2021-11-07T01:30:00", hourBranch: 2 },
    { name: "a correction back over midnight",
      birth: { date: "1988-07-15", time: "00:30", zone: "Asia/Shanghai" }, cast: "1988-07-14T23:30:00", hourBranch: 1 },
    { name: "a clock time after the last supported birth, corrected into the range",
      birth: { date: "2051-12-31", time: "23:00", zone: "Asia/Shanghai", longitude: 87.6 }, cast: "2051-12-31T20:50:24", hourBranch: 11 },
  ];
  for (const c of cases) {
    test(c.name, async () => {
      const options = placeOptions(c.birth);
      const [json, text, html] = await Promise.all(
        ["json", "text", "html"].map((format) => cliOutput(c.birth, ...options, "--format", format)),
      );
      const chart = velmora.castChart(c.birth);
      assert.equal(chart.correction.cast, c.cast);
      assert.equal(chart.facts.hourBranch, c.hourBranch);
      assert.equal(JSON.stringify(chart), JSON.stringify(JSON.parse(json)));
      assert.equal(velmora.chartJson(c.birth), json);
      assert.equal(velmora.readingText(c.birth), text);
      assert.equal(velmora.htmlPage(c.birth), html);
      assert.equal(velmora.correctionLine(c.birth), text.slice(0, text.indexOf("\n")));
    });
  }

  // Births about every change of every zone from 1901 to 2052, as velmora-zone-table lists them
  // from the system's database, and births at random moments before 1970 in every zone with each
  // solar time: the package casts each exactly as velmora-cli's batch does, or refuses it alike.
  test("births about every change of every zone are cast as velmora-cli's batch casts them", () => {
    const changes = execFileSync(zoneTable, ["--changes"], { maxBuffer: 1 << 28 }).toString().trim().split("\n");
    const two = (n) => String(n).padStart(2, "0");
    const clock = (seconds) => {
      const d = new Date(seconds * 1000);
      return [`${d.getUTCFullYear()}-${two(d.getUTCMonth() + 1)}-${two(d.getUTCDate())}`,
        `${two(d.getUTCHours())}:${two(d.getUTCMinutes())}`];
    };
    const sweeps = { standard: [], mean: [], apparent: [] };
    let before = { zone: "", offset: 0 };
    for (const line of changes) {
      const [zone, at, offset] = line.split("\t");
      const [instant, after] = [Number(at), Number(offset)];
      const was = before.zone === zone ? before.offset : after;
      // The clock the minute before the change, and as it was set.
      for (const local of [instant + was - 60, instant + after]) {
        const [date, time] = clock(local);
        sweeps.standard.push({ date, time, zone });
      }
      before = { zone, offset: after };
    }
    const zones = [...new Set(changes.map((line) => line.slice(0, line.indexOf("\t"))))];
    let seed = 19700101;
    const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
    for (const solar of ["standard", "mean", "apparent"]) {
      for (let i = 0; i < 6000; ++i) {
        const [date, time] = clock(Math.floor(-2145916800 + random() * 2145916800));
        const longitude = (random() * 360 - 180).toFixed(4);
        sweeps[solar].push({ date, time, zone: zones[Math.floor(random() * zones.length)], longitude, solar });
      }
    }
    // Births named in reports of the browsers' own time zone data.
    sweeps.mean.push(
      { date: "1930-06-15", time: "12:00", zone: "Europe/Amsterdam", longitude: "4.88969", solar: "mean" },
      { date: "1950-03-03", time: "09:15", zone: "Africa/Dar_es_Salaam", longitude: "39.26951", solar: "mean" },
      { date: "2031-11-06", time: "23:13", zone: "America/Vancouver", longitude: "-123.11934", solar: "mean" });
    sweeps.apparent.push(
      { date: "1957-02-05", time: "06:59", zone: "Atlantic/Reykjavik", longitude: "-21.89541", solar: "apparent" });
    let differ = 0;
    let compared = 0;
    for (const [solar, births] of Object.entries(sweeps)) {
      console.time(solar);
      const input = births.map((b) => `${b.date} ${b.time} ${b.zone}${b.longitude ? ` ${b.longitude}` : ""}\n`).join("");
      let answers = "";
      try {
        answers = execFileSync(cli, ["--batch", "-", "--solar", solar], { input, maxBuffer: 1 << 30 }).toString();
      } catch (error) {
        answers = error.stdout.toString(); // exit status 1: some clock times were skipped or repeated
      }
      const lines = answers.split("\n");
      console.timeLog(solar);
      births.forEach((birth, i) => {
        let got;
        try {
          got = JSON.stringify(velmora.castChart(birth));
        } catch (error) {
          // Each shell tells in its own words how to say whether daylight saving time was in force.
          got = error.message.replace(/^\S+ \S+: /, "").replace(/; say whether.*/, "").replace(/\.$/, "");
        }
        const answer = JSON.parse(lines[i]);
        const want = answer.error !== undefined ? answer.error.replace(/; say whether.*/, "") : JSON.stringify(answer);
        ++compared;
        if (got !== want && ++differ <= 5) {
          assert.fail(`${birth.date} ${birth.time} ${birth.zone} ${birth.longitude} ${solar}: ${got} against ${want}`);
        }
      });
    }
    assert.equal(differ, 0);
    assert.ok(compared > 90000, `${compared} births compared`);
  });

  // A city found by velmora/places is cast as velmora-cli's --place casts the same words: its
  // zone and longitude, and the correction naming it, in every output.
  test("a city from findPlaces is cast as velmora-cli's --place casts it", async () => {
    const { findPlaces } = await import(join(scratch, "package", "places.js"));
    const cases = [
      ["Urumqi", { date: "1988-07-15", time: "09:30" }, []],
      ["sao paulo", { date: "1975-01-20", time: "00:10", solar: "apparent" }, ["--solar", "apparent"]],
      ["Springfield, Illinois", { date: "2021-11-07", time: "01:30", dst: "off" }, ["--dst", "off"]],
      ["London, Canada", { date: "2000-02-04", time: "23:00", solar: "standard" }, ["--solar", "standard"]],
    ];
    for (const [query, given, options] of cases) {
      // A zone of "" is no zone, as everywhere in a birth.
      const birth = { ...given, place: findPlaces(query, 1)[0], zone: "" };
      const [json, text, html] = await Promise.all(
        ["json", "text", "html"].map((format) => cliOutput(birth, "--place", query, ...options, "--format", format)),
      );
      assert.equal(JSON.stringify(velmora.castChart(birth)), JSON.stringify(JSON.parse(json)), query);
      assert.equal(velmora.chartJson(birth), json, query);
      assert.equal(velmora.readingText(birth), text, query);
      assert.equal(velmora.htmlPage(birth), html, query);
      assert.equal(velmora.correctionLine(birth), text.slice(0, text.indexOf("\n")), query);
    }
  });

  test("the next birth without a place is cast from its clock time again", async () => {
    const plain = { date: "1988-07-15", time: "09:30" };
    const json = await cliOutput(plain, "--format", "json");
    for (const place of [{ zone: "Asia/Shanghai" }, { zone: "Mars/Base" }, { zone: "" }]) {
      try {
        velmora.castChart({ ...plain, ...place });
        velmora.readingText({ ...plain, ...place });
      } catch {
        // a refused place leaves none behind either
      }
      assert.equal(JSON.stringify(velmora.castChart(plain)), JSON.stringify(JSON.parse(json)));
      assert.equal(velmora.chartJson(plain), json);
      assert.equal(velmora.readingText(plain), await cliOutput(plain, "--format", "text"));
      assert.equal(velmora.correctionLine(plain), "");
    }
  });
});

describe("birth place refusals", () => {
  // The package's message is velmora-cli's with the package's names for its options.
  const asPackage = (line) =>
    line
      .replace("--dst on or --dst off", "dst: true or dst: false")
      .replace(/^--(zone|longitude) /, "$1 ");
  const cases = [
    { name: "a clock time skipped when New York's clocks went forward",
      birth: { date: "2021-03-14", time: "02:30", zone: "America/New_York" }, type: RangeError, field: "time", code: "skipped" },
    { name: "a clock time New York's clocks showed twice, daylight saving not said",
      birth: { date: "2021-11-07", time: "01:30", zone: "America/New_York" }, type: RangeError, field: "dst", code: "repeated" },
    { name: "a zone the time zone database does not hold",
      birth: { date: "2000-02-04", time: "23:00", zone: "Mars/Olympus_Mons" }, type: RangeError, field: "zone", code: "unknown" },
    { name: "a longitude past 180",
      birth: { date: "2000-02-04", time: "23:00", zone: "Asia/Shanghai", longitude: "180.5" }, type: RangeError,
      field: "longitude", code: "invalid" },
    { name: "a longitude that is not a number",
      birth: { date: "2000-02-04", time: "23:00", zone: "Asia/Shanghai", longitude: "east" }, type: RangeError,
      field: "longitude", code: "invalid" },
    { name: "a corrected moment before the first supported birth",
      birth: { date: "1901-12-31", time: "23:30", zone: "Asia/Shanghai", longitude: 87.6 }, type: RangeError,
      field: "date", code: "unsupported" },
    { name: "a bad date with a good place",
      birth: { date: "2000-02-30", time: "23:00", zone: "Asia/Shanghai" }, type: TypeError, field: "date", code: "invalid" },
  ];
  for (const c of cases) {
    test(c.name, async () => {
      const expected = (await cliOutput(c.birth, ...placeOptions(c.birth))).refusal;
      assert.ok(expected, "velmora-cli refuses it too");
      for (const output of ["castChart", "chartJson", "readingText", "htmlPage"]) {
        assert.throws(() => velmora[output](c.birth), (error) => {
          assert.ok(error instanceof c.type, `${output} throws a ${c.type.name}`);
          assert.equal(error.message, asPackage(expected));
          assertRefusal(error, c.field, c.code, output);
          return true;
        });
      }
    });
  }

  test("a place the package cannot read", () => {
    const birth = { date: "2000-02-04", time: "23:00" };
    const urumqi = { name: "Ürümqi", region: "Xinjiang", country: "China", countryCode: "CN", zone: "Asia/Urumqi",
      latitude: 43.80096, longitude: 87.60046 };
    const refused = [
      [{ longitude: 87.6 }, TypeError, "a birth place needs its time zone, such as Asia/Shanghai.", "zone", "missing"],
      [{ dst: true }, TypeError, "a birth place needs its time zone, such as Asia/Shanghai.", "zone", "missing"],
      [{ zone: "Asia/Shanghai", solar: "mean" }, TypeError, "solar time needs the longitude of the birth place.", "longitude", "missing"],
      [{ zone: 8 }, TypeError, /^zone is the name of a time zone/, "zone", "type"],
      [{ zone: "Asia/Shanghai", longitude: [87.6] }, TypeError, /^longitude is degrees east/, "longitude", "type"],
      [{ zone: "Asia/Shanghai", solar: 1 }, TypeError, /^solar is "standard"/, "solar", "type"],
      [{ zone: "Asia/Shanghai", dst: 1 }, TypeError, /^dst is true or "on", false or "off"/, "dst", "type"],
      [{ zone: "Asia/Shanghai", dst: "yes" }, RangeError, 'dst "yes": use on or off.', "dst", "invalid"],
      [{ zone: "Asia/Shanghai", solar: "sidereal" }, RangeError, 'solar "sidereal": use standard, mean or apparent.', "solar", "invalid"],
      [{ zone: "Asia/Shanghai", longitude: NaN }, RangeError, /^longitude NaN: not a longitude/, "longitude", "invalid"],
      [{ zone: "Asia/Shanghai\0" }, RangeError, /^zone "Asia\/Shanghai\?": unknown time zone/, "zone", "unknown"],
      [{ place: { name: "Ürümqi", zone: "Asia/Urumqi", longitude: 87.6 } }, TypeError, /^place is a city as findPlaces/, "place", "type"],
      [{ place: urumqi, zone: "Asia/Shanghai" }, TypeError, "a birth names its place by place or by zone and longitude, not both.",
        "place", "conflict"],
      [{ place: { ...urumqi, zone: "Mars/Base" } }, RangeError, /^zone "Mars\/Base": unknown time zone/, "zone", "unknown"],
      [{ place: { ...urumqi, name: "Ürümqi\0" } }, TypeError, /^place is a city as findPlaces/, "place", "type"],
      [{ place: { ...urumqi, region: "Xinjiang\u2028" } }, TypeError, /^place is a city as findPlaces/, "place", "type"],
      [{ place: { ...urumqi, latitude: 100 } }, TypeError, /^place is a city as findPlaces/, "place", "type"],
    ];
    for (const [place, type, message, field, code] of refused) {
      assert.throws(() => velmora.castChart({ ...birth, ...place }), (error) => {
        assert.ok(error instanceof type, `${JSON.stringify(place)}: a ${type.name}`);
        if (typeof message === "string") assert.equal(error.message, message);
        else assert.match(error.message, message);
        assertRefusal(error, field, code, JSON.stringify(place));
        return true;
      });
    }
  });
});

// Every word the package takes for a birth place, velmora-cli takes too, with the same meaning,
// and both refuse a word they do not know in the same words.
test("one vocabulary with velmora-cli: solar and dst", async () => {
  const birth = { date: "2021-11-07", time: "01:30", zone: "America/New_York", longitude: "-73.9" };
  const options = ["--zone", "America/New_York", "--longitude", "-73.9"];
  for (const solar of ["standard", "mean", "apparent"]) {
    for (const [dst, word] of [[true, "on"], [false, "off"], ["on", "on"], ["off", "off"]]) {
      assert.equal(
        velmora.chartJson({ ...birth, solar, dst }),
        await cliOutput(birth, ...options, "--solar", solar, "--dst", word, "--format", "json"),
        `${solar}, dst ${dst}`,
      );
    }
  }
  for (const [field, word] of [["solar", "sidereal"], ["dst", "yes"]]) {
    const said = await cliOutput(birth, ...options, `--${field}`, word);
    assert.throws(() => velmora.castChart({ ...birth, [field]: word }), {
      message: said.refusal.replace(/^--/, ""),
    });
  }
});

// Intl's zones against the system's database, through the same correction: a batch of noons on
// the 15th of each month over five decades, in zones with and without daylight saving time,
// east and west, on whole and on odd offsets.
test("castChart with a birth place gives velmora-cli's JSON as objects", async () => {
  const zones = [
    "Asia/Shanghai", "Asia/Hong_Kong", "Asia/Taipei", "Asia/Tokyo", "Asia/Kolkata", "Asia/Kathmandu",
    "Australia/Adelaide", "Australia/Sydney", "Pacific/Auckland", "Pacific/Chatham", "Europe/London",
    "Europe/Paris", "Europe/Moscow", "America/New_York", "America/Chicago", "America/Los_Angeles",
    "America/St_Johns", "America/Sao_Paulo", "Africa/Cairo", "Europe/Dublin", "Africa/Casablanca",
    "UTC",
  ];
  const births = [];
  for (const zone of zones) {
    for (const year of [1950, 1975, 1988, 2000, 2021]) {
      for (let month = 1; month <= 12; ++month) {
        births.push({ date: `${year}-${String(month).padStart(2, "0")}-15`, time: "12:00", zone, longitude: 100 });
      }
    }
  }
  const lines = births.map((b) => `${b.date} ${b.time} ${b.zone} ${b.longitude}`).join("\n");
  const answers = await new Promise((resolvePromise, reject) => {
    const child = execFile(cli, ["--batch", "-"], { maxBuffer: 64 << 20 }, (error, stdout) =>
      error && !stdout ? reject(error) : resolvePromise(stdout.trimEnd().split("\n")),
    );
    child.stdin.end(lines + "\n");
  });
  assert.equal(answers.length, births.length);
  births.forEach((birth, i) => {
    const expected = JSON.parse(answers[i]);
    assert.deepEqual(velmora.castChart(birth), expected, `${birth.date} ${birth.zone}`);
  });
});
