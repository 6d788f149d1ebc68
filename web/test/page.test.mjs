// The page in a real browser, against velmora-cli: typed birth, Enter, then the reading's text,
// colours and weights and the board read back from the page, the refusal, a birth place's
// correction and refusals, and a clean console.
// Saves a screenshot of each colour scheme at desktop and phone width under build/web/.
//
//   VELMORA_CLI=build/release/src/cli/velmora-cli node --test web/test/page.test.mjs

import assert from "node:assert/strict";
import { execFile } from "node:child_process";
import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";
import { after, before, describe, test } from "node:test";
import { promisify } from "node:util";
import { launch, serve } from "./browser.mjs";

const run = promisify(execFile);
const root = resolve(new URL(".", import.meta.url).pathname, "../..");
const cli = process.env.VELMORA_CLI ?? join(root, "build/release/src/cli/velmora-cli");
const site = process.env.VELMORA_SITE ?? join(root, "build/web/site");
const shots = join(root, "build/web");

let browser;
let server;
before(async () => {
  [browser, server] = await Promise.all([launch(), serve(site)]);
});
after(async () => {
  await browser?.close();
  server?.stop();
});

// Opens the page in a fresh context and keeps what the console says and every request made.
async function openPage(url, options = {}) {
  const context = await browser.newContext(options);
  const page = await context.newPage();
  const problems = [];
  const requests = [];
  page.on("console", (m) => {
    if (m.type() === "error" || m.type() === "warning") problems.push(`${m.type()}: ${m.text()}`);
  });
  page.on("pageerror", (e) => problems.push(`page error: ${e.message}`));
  page.on("request", (r) => requests.push(r.url()));
  await page.goto(url);
  await page.waitForSelector("#board svg");
  return { page, problems, requests, close: () => context.close() };
}

async function runBirth(page, date, time) {
  await page.fill("#birth-date", date);
  await page.click("#birth-time");
  await page.keyboard.press("Control+A");
  await page.keyboard.type(time);
  await page.keyboard.press("Enter");
}

// The reading as (text, colour, weight) runs and the board's markup, as Chromium holds them.
function readBack({ readingSelector, boardSelector }) {
  const reading = document.querySelector(readingSelector);
  const runs = [...reading.querySelectorAll("span")].map((span) => {
    const style = getComputedStyle(span);
    return [span.textContent, style.color, style.fontWeight];
  });
  return { text: reading.textContent, runs, board: document.querySelector(boardSelector).outerHTML };
}

async function cliPage(birth) {
  const { stdout } = await run(cli, ["--date", birth.date, "--time", birth.time, "--format", "html"]);
  return stdout;
}

// Types the birth place into its fields, from the clock time as entered: the zone and the
// longitude (each asking for the correction it needs as it is typed), then the solar time and
// the repeated hour chosen when given.
async function enterPlace(page, { zone = "", longitude = "", solar, dst = "" }) {
  await page.selectOption("#place-solar", "");
  await page.fill("#place-zone", zone);
  await page.fill("#place-longitude", longitude);
  if (solar !== undefined) await page.selectOption("#place-solar", solar);
  await page.selectOption("#place-dst", dst);
}

// velmora-cli's options for the same birth place.
function placeOptions({ zone, longitude, solar, dst }) {
  return [
    ...(zone ? ["--zone", zone] : []),
    ...(longitude ? ["--longitude", longitude] : []),
    ...(solar ? ["--solar", solar] : []),
    ...(dst ? ["--dst", dst] : []),
  ];
}

describe("the page", () => {
  test("a typed birth and Enter draw velmora-cli's board and reading", async () => {
    const birth = { date: "2000-02-04", time: "23:00" };
    const { page, problems, requests, close } = await openPage(`${server.origin}/`);
    await runBirth(page, birth.date, birth.time);
    await page.waitForFunction(() => document.querySelector("#heading").textContent.includes("2000"));
    assert.equal(await page.textContent("#heading"), "Velmora chart for a birth on 4 February 2000, 23:00");
    const shown = await page.evaluate(readBack, { readingSelector: "#reading > div", boardSelector: "#board svg" });

    // velmora-cli's page for the same birth, read back by the same browser.
    const { stdout: text } = await run(cli, ["--date", birth.date, "--time", birth.time, "--format", "text"]);
    await page.setContent(await cliPage(birth));
    const expected = await page.evaluate(readBack, { readingSelector: ".reading > div", boardSelector: "figure.board svg" });
    assert.equal(shown.text, text);
    assert.deepEqual(shown.runs, expected.runs);
    assert.deepEqual(
      new Set(shown.runs.map(([, color, weight]) => `${color} ${weight}`)),
      new Set(["rgb(236, 0, 0) 700", "rgb(236, 0, 0) 400", "rgb(0, 0, 255) 700",
               "rgb(0, 0, 255) 400", "rgb(128, 0, 0) 700"]),
    );
    assert.equal(shown.board, expected.board);
    assert.deepEqual(problems, []);
    assert.deepEqual(requests.filter((url) => !url.startsWith(server.origin)), []);
    await close();
  });

  test("an unsupported birth is refused with velmora-cli's message and changes nothing", async () => {
    const { page, problems, close } = await openPage(`${server.origin}/`);
    await runBirth(page, "2000-02-04", "23:00");
    await page.waitForSelector("#reading span");
    const before = await page.innerHTML("main");
    for (const [date, time] of [["1901-12-31", "22:59"], ["2051-12-31", "23:00"], ["2000-02-04", "25:00"]]) {
      await runBirth(page, date, time);
      const refusal = await run(cli, ["--date", date, "--time", time]).then(
        () => assert.fail("velmora-cli casts it"),
        (error) => error.stderr.replace(/^velmora-cli: /, "").trimEnd(),
      );
      assert.equal(await page.textContent("#message"), refusal);
      assert.equal(await page.innerHTML("main"), before);
    }
    assert.deepEqual(problems, []);
    await close();
  });

  test("downloads are named after the birth as the window names its saves", async () => {
    const { page, close } = await openPage(`${server.origin}/`);
    await runBirth(page, "1985-07-19", "6:30");
    await page.waitForSelector("#reading span");
    for (const [button, ending] of [["#save-svg", "svg"], ["#save-html", "html"]]) {
      const [download] = await Promise.all([page.waitForEvent("download"), page.click(button)]);
      assert.equal(download.suggestedFilename(), `velmora-1985-07-19-0630.${ending}`);
    }
    await close();
  });

  test("a birth place: the correction's sentence and the chart of the corrected moment, as velmora-cli's", async () => {
    const cases = [
      { date: "1988-07-15", time: "09:30", place: { zone: "Asia/Shanghai" }, cast: "1988-07-15T08:30:00" },
      { date: "1990-01-15", time: "12:00", place: { zone: "Asia/Shanghai", longitude: "87.6" }, cast: "1990-01-15T09:50:24" },
      { date: "1990-01-15", time: "12:00", place: { zone: "Asia/Shanghai", longitude: "87.6", solar: "apparent" },
        cast: "1990-01-15T09:41:53" },
      { date: "2021-11-07", time: "01:30", place: { zone: "America/New_York", dst: "on" }, cast: "2021-11-07T00:30:00" },
      { date: "2021-11-07", time: "01:30", place: { zone: "America/New_York", dst: "off" }, cast: "2021-11-07T01:30:00" },
    ];
    const { page, problems, close } = await openPage(`${server.origin}/`);
    for (const c of cases) {
      const options = ["--date", c.date, "--time", c.time, ...placeOptions(c.place)];
      const [{ stdout: text }, { stdout: json }] = await Promise.all([
        run(cli, [...options, "--format", "text"]),
        run(cli, [...options, "--format", "json"]),
      ]);
      assert.equal(JSON.parse(json).correction.cast, c.cast);
      await enterPlace(page, c.place);
      await runBirth(page, c.date, c.time);
      const line = text.slice(0, text.indexOf("\n"));
      await page.waitForFunction((expected) => document.querySelector("#correction").textContent === expected, line);
      assert.equal(await page.isVisible("#correction"), true);
      assert.equal(line + "\n" + (await page.textContent("#reading > div")), text, `${c.date} ${c.time}`);
    }

    // Back to the clock time as entered: no sentence, and the clock time's chart.
    await page.selectOption("#place-solar", "");
    await runBirth(page, "1988-07-15", "09:30");
    const { stdout: plain } = await run(cli, ["--date", "1988-07-15", "--time", "09:30", "--format", "text"]);
    await page.waitForFunction((expected) => document.querySelector("#reading > div").textContent === expected, plain);
    assert.equal(await page.isVisible("#correction"), false);
    assert.deepEqual(problems, []);
    await close();
  });

  test("a birth place's refusals, in velmora-cli's words and with the page's field for the repeated hour", async () => {
    const { page, problems, close } = await openPage(`${server.origin}/`);
    const refusal = (options) =>
      run(cli, options).then(
        () => assert.fail("velmora-cli casts it"),
        (error) => error.stderr.replace(/^velmora-cli: /, "").trimEnd(),
      );
    await enterPlace(page, { zone: "America/New_York" });
    await runBirth(page, "2021-03-14", "02:30");
    const skipped = await refusal(["--date", "2021-03-14", "--time", "02:30", "--zone", "America/New_York"]);
    assert.equal(await page.textContent("#message"), skipped);

    await runBirth(page, "2021-11-07", "01:30");
    const twice = await refusal(["--date", "2021-11-07", "--time", "01:30", "--zone", "America/New_York"]);
    assert.equal(
      await page.textContent("#message"),
      twice.replace(
        "say whether daylight saving time was in force with --dst on or --dst off",
        'choose under "Hour shown twice" whether daylight saving time was in force',
      ),
    );
    assert.equal(await page.isVisible("#correction"), false);
    assert.deepEqual(problems, []);
    await close();
  });

  test("opened from its folder it works the same, with no request leaving it", async () => {
    const { page, problems, requests, close } = await openPage(pathToFileURL(join(site, "index.html")).href);
    await runBirth(page, "1985-07-19", "06:30");
    await page.waitForSelector("#reading span");
    assert.equal(await page.textContent("#heading"), "Velmora chart for a birth on 19 July 1985, 06:30");
    assert.deepEqual(problems, []);
    assert.deepEqual(requests.filter((url) => !url.startsWith("file:")), []);
    await close();
  });

  test("light and dark, desktop and phone width: the birth place, the board and the reading fit, the reading keeps its paper", async () => {
    const layouts = [
      { name: "desktop", viewport: { width: 1200, height: 860 } },
      { name: "phone", viewport: { width: 390, height: 844 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
    ];
    for (const colorScheme of ["light", "dark"]) {
      for (const { name, ...options } of layouts) {
        const { page, problems, close } = await openPage(`${server.origin}/`, { colorScheme, ...options });
        await enterPlace(page, { zone: "Asia/Shanghai", longitude: "87.6" });
        await runBirth(page, "1988-07-15", "09:30");
        await page.waitForSelector("#reading span");
        await page.waitForSelector("#correction:not([hidden])");
        const fit = await page.evaluate(() => ({
          board: document.querySelector("#board svg").getBoundingClientRect().right,
          place: document.querySelector("#place").getBoundingClientRect().right,
          page: document.documentElement.clientWidth,
          scroll: document.documentElement.scrollWidth,
          paper: getComputedStyle(document.querySelector("#reading")).backgroundColor,
        }));
        assert.ok(fit.board <= fit.page, `${name}: the board fits the width`);
        assert.ok(fit.place <= fit.page, `${name}: the birth place fits the width`);
        assert.ok(fit.scroll <= fit.page, `${name}: nothing scrolls sideways`);
        assert.equal(fit.paper, "rgb(255, 253, 247)");
        await page.screenshot({ path: join(shots, `page-${colorScheme}-${name}.png`), fullPage: name === "phone" });
        assert.deepEqual(problems, []);
        await close();
      }
    }
  });
});
