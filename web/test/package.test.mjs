// The packed package against velmora-cli: the same chart, reading, board and refusals.
//
//   VELMORA_PACKAGE=build/web/velmora-1.31.0.tgz VELMORA_CLI=build/release/src/cli/velmora-cli \
//     node --test web/test/package.test.mjs

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
const packed =
  process.env.VELMORA_PACKAGE ??
  join(root, "build/web", readdirSync(join(root, "build/web")).find((f) => /^velmora-.*\.tgz$/.test(f)));

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

describe("refusals", () => {
  const cases = [
    { name: "a minute before the first supported birth", date: "1901-12-31", time: "22:59", type: RangeError },
    { name: "the first minute after the last", date: "2051-12-31", time: "23:00", type: RangeError },
    { name: "a day February 2000 does not have", date: "2000-02-30", time: "12:00", type: TypeError },
    { name: "a date that is not one", date: "banana", time: "12:00", type: TypeError },
    { name: "a time that is not one", date: "2000-02-04", time: "banana", type: TypeError },
    { name: "an hour past 23", date: "2000-02-04", time: "24:00", type: TypeError },
    { name: "a long date, cut in the message", date: "9".repeat(300), time: "12:00", type: TypeError },
    { name: "a control character, shown as ?", date: "2000-02-0\u0007", time: "12:00", type: TypeError },
    { name: "a date beyond ASCII", date: "2000-02-0\u00e9", time: "12:00", type: TypeError },
    { name: "a time beyond ASCII", date: "2000-02-04", time: "12:0\u4e00", type: TypeError },
  ];
  for (const c of cases) {
    test(c.name, async () => {
      const expected = (await cliOutput(c)).refusal;
      assert.ok(expected, "velmora-cli refuses it too");
      for (const output of ["castChart", "chartJson", "readingHtml", "readingText", "boardSvg"]) {
        assert.throws(() => velmora[output]({ date: c.date, time: c.time }), (error) => {
          assert.ok(error instanceof c.type, `${output} throws a ${c.type.name}`);
          assert.equal(error.message, expected);
          return true;
        });
      }
    });
  }

  test("a birth that is not two strings", () => {
    for (const bad of [undefined, null, "2000-02-04 23:00", { date: "2000-02-04" }, { date: 2000, time: "23:00" }]) {
      assert.throws(() => velmora.castChart(bad), { name: "TypeError", message: /two strings/ });
    }
  });

  test("a zero byte does not end the text early", () => {
    assert.throws(() => velmora.castChart({ date: "2000-02-04\0", time: "23:00" }), TypeError);
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
  let next = 0;
  const worker = async () => {
    while (next < births.length) {
      const birth = births[next++];
      const svgFile = join(scratch, `board-${birth.date}-${birth.time.replace(":", "")}.svg`);
      const [json, text] = await Promise.all([
        cliOutput(birth, "--format", "json"),
        cliOutput(birth, "--format", "text", "--chart", svgFile),
      ]);
      const label = `${birth.date} ${birth.time}`;
      assert.equal(velmora.chartJson(birth), json, label);
      const chart = velmora.castChart(birth);
      assert.deepEqual(chart, JSON.parse(json), label);
      // deepEqual ignores the order of members; stringifying both compares it too.
      assert.equal(JSON.stringify(chart), JSON.stringify(JSON.parse(json)), label);
      assert.equal(velmora.readingText(birth), text, label);
      assert.equal(velmora.boardSvg(birth), readFileSync(svgFile, "utf8"), label);
      rmSync(svgFile);
    }
  };
  await Promise.all([worker(), worker()]);
});
