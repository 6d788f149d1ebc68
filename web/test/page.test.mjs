// The page in a real browser, against velmora-cli: typed birth, Enter, then the reading's text,
// colours and weights and the board read back from the page, the refusal, and a clean console.
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
      new Set(["rgb(255, 0, 0) 700", "rgb(255, 0, 0) 400", "rgb(0, 0, 255) 700",
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

  test("opened from its folder it works the same, with no request leaving it", async () => {
    const { page, problems, requests, close } = await openPage(pathToFileURL(join(site, "index.html")).href);
    await runBirth(page, "1985-07-19", "06:30");
    await page.waitForSelector("#reading span");
    assert.equal(await page.textContent("#heading"), "Velmora chart for a birth on 19 July 1985, 06:30");
    assert.deepEqual(problems, []);
    assert.deepEqual(requests.filter((url) => !url.startsWith("file:")), []);
    await close();
  });

  test("light and dark, desktop and phone width: the board fits and the reading keeps its paper", async () => {
    const layouts = [
      { name: "desktop", viewport: { width: 1200, height: 860 } },
      { name: "phone", viewport: { width: 390, height: 844 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true },
    ];
    for (const colorScheme of ["light", "dark"]) {
      for (const { name, ...options } of layouts) {
        const { page, problems, close } = await openPage(`${server.origin}/`, { colorScheme, ...options });
        await runBirth(page, "2000-02-04", "23:00");
        await page.waitForSelector("#reading span");
        const fit = await page.evaluate(() => ({
          board: document.querySelector("#board svg").getBoundingClientRect().right,
          page: document.documentElement.clientWidth,
          scroll: document.documentElement.scrollWidth,
          paper: getComputedStyle(document.querySelector("#reading")).backgroundColor,
        }));
        assert.ok(fit.board <= fit.page, `${name}: the board fits the width`);
        assert.ok(fit.scroll <= fit.page, `${name}: nothing scrolls sideways`);
        assert.equal(fit.paper, "rgb(255, 253, 247)");
        await page.screenshot({ path: join(shots, `page-${colorScheme}-${name}.png`), fullPage: name === "phone" });
        assert.deepEqual(problems, []);
        await close();
      }
    }
  });
});
