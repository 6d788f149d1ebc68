// The page in a real browser, against velmora-cli: typed birth, Enter, then the reading's text,
// colours and weights and the board read back from the page, the refusal, a birth place's
// correction and refusals, links to a chart and history, offline use, the page without its
// module, printing, the board's palace cells, WCAG 2.2 AA as axe-core checks it, and a clean
// console under the page's Content-Security-Policy.
// Saves a screenshot of each colour scheme at desktop and phone width and the printed page under
// build/web/.
//
//   VELMORA_CLI=build/release/src/cli/velmora-cli node --test web/test/page.test.mjs

import assert from "node:assert/strict";
import { execFile } from "node:child_process";
import { readFile } from "node:fs/promises";
import { createRequire } from "node:module";
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
const axeSource = readFile(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");

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

// Waits until `predicate(arg)` holds in the page. The page's Content-Security-Policy forbids the
// evaluated strings that page.waitForFunction polls with, so this asks from outside, as the
// debugger does.
async function until(page, predicate, arg) {
  for (const start = Date.now(); Date.now() - start < 10000; await new Promise((done) => setTimeout(done, 25))) {
    if (await page.evaluate(predicate, arg)) return;
  }
  assert.fail(`the page never came to ${predicate}`);
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

// What axe-core finds against WCAG 2.2 AA, given to the page from outside as the debugger gives
// it: the page's own policy admits no script but its own.
async function wcagViolations(page) {
  await page.evaluate(await axeSource);
  return page.evaluate(async () => {
    const found = await axe.run(document, {
      runOnly: { type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa"] },
    });
    return found.violations.map((v) => `${v.id}: ${v.nodes.map((node) => node.target.join(" ")).join(", ")}`);
  });
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
    await until(page, () => document.querySelector("#heading").textContent.includes("2000"));
    assert.equal(await page.textContent("#heading"), "Velmora chart for a birth on 4 February 2000, 23:00");
    const shown = await page.evaluate(readBack, { readingSelector: "#reading > div", boardSelector: "#board svg" });

    // velmora-cli's page for the same birth, read back by the same browser, in a page of its own:
    // the page's policy would refuse its style attributes.
    const { stdout: text } = await run(cli, ["--date", birth.date, "--time", birth.time, "--format", "text"]);
    const cliView = await page.context().newPage();
    await cliView.setContent(await cliPage(birth));
    const expected = await cliView.evaluate(readBack, { readingSelector: ".reading > div", boardSelector: "figure.board svg" });
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

  test("a refused birth is said in the page's words, marks its field and changes nothing", async () => {
    const { page, problems, close } = await openPage(`${server.origin}/`);
    await runBirth(page, "2000-02-04", "23:00");
    await page.waitForSelector("#reading span");
    const before = await page.innerHTML("main");
    const address = page.url();
    // A date of the page's own as Chromium's date field shows it in American English.
    const outside = "This birth lies outside the lunar calendar; births from 31 December 1901 23:00 to 31 December 2051 22:59 are accepted.";
    const cases = [
      { date: "1901-12-31", time: "22:59", field: "birth-date", said: outside },
      { date: "2051-12-31", time: "23:00", field: "birth-date", said: outside },
      { date: "2000-02-04", time: "25:00", field: "birth-time",
        said: 'Birth time "25:00": there is no hour 25; hours run from 00 to 23.' },
      { date: "2000-02-04", time: "7", field: "birth-time",
        said: 'Birth time "7": not a time in the form HH:MM on the 24-hour clock (for example 23:00).' },
      { date: "", time: "23:00", field: "birth-date",
        said: "Enter the whole birth date, day, month and year, from 12/31/1901 to 12/31/2051." },
      { date: "2021-03-14", time: "02:30", place: { zone: "America/New_York" }, field: "birth-time",
        said: "There was no 02:30 on 14 March 2021 in America/New_York, where the clocks went forward from 02:00 to 03:00; give a time the clocks showed." },
      { date: "2021-11-07", time: "01:30", place: { zone: "America/New_York" }, field: "place-dst",
        said: '01:30 on 7 November 2021 came twice in America/New_York, where the clocks went back from 02:00 to 01:00; choose under "Hour shown twice" whether daylight saving time was in force.' },
      { date: "2000-02-04", time: "12:00", place: { zone: "Mars/Olympus" }, field: "place-zone",
        said: 'Time zone "Mars/Olympus": unknown time zone; give a name from the time zone database, such as Asia/Shanghai, Europe/London or America/New_York.' },
      { date: "2000-02-04", time: "12:00", place: { zone: "Asia/Shanghai", longitude: "200" }, field: "place-longitude",
        said: 'Longitude "200": not a longitude; give degrees from -180 to 180, east positive (87.6 for Urumqi, -73.9 for New York).' },
      { date: "2000-02-04", time: "12:00", place: { longitude: "87.6" }, field: "place-zone",
        said: "A birth place needs its time zone, such as Asia/Shanghai." },
      { date: "2000-02-04", time: "12:00", place: { zone: "Asia/Shanghai", solar: "apparent" }, field: "place-longitude",
        said: "Solar time needs the longitude of the birth place." },
      { date: "2000-02-04", time: "12:00", place: { zone: "x".repeat(300) }, field: "place-zone",
        said: `Time zone "${"x".repeat(120)}...": unknown time zone; give a name from the time zone database, such as Asia/Shanghai, Europe/London or America/New_York.` },
    ];
    for (const c of cases) {
      await enterPlace(page, c.place ?? {});
      await runBirth(page, c.date, c.time);
      const shown = await page.evaluate(() => ({
        said: document.querySelector("#message").textContent,
        focused: document.activeElement.id,
        invalid: [...document.querySelectorAll("[aria-invalid=true]")].map((field) => field.id),
      }));
      assert.deepEqual(shown, { said: c.said, focused: c.field, invalid: [c.field] }, `${c.date} ${c.time}`);
      assert.equal(await page.innerHTML("main"), before);
      assert.equal(page.url(), address);
    }
    // A birth cast clears the refusal and its mark.
    await enterPlace(page, {});
    await runBirth(page, "2000-02-04", "23:00");
    assert.equal(await page.textContent("#message"), "");
    assert.equal(await page.locator("[aria-invalid]").count(), 0);
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
      await until(page, (expected) => document.querySelector("#correction").textContent === expected, line);
      assert.equal(await page.isVisible("#correction"), true);
      assert.equal(line + "\n" + (await page.textContent("#reading > div")), text, `${c.date} ${c.time}`);
    }

    // Back to the clock time as entered: no sentence, and the clock time's chart.
    await page.selectOption("#place-solar", "");
    await runBirth(page, "1988-07-15", "09:30");
    const { stdout: plain } = await run(cli, ["--date", "1988-07-15", "--time", "09:30", "--format", "text"]);
    await until(page, (expected) => document.querySelector("#reading > div").textContent === expected, plain);
    assert.equal(await page.isVisible("#correction"), false);
    assert.deepEqual(problems, []);
    await close();
  });

  test("a city: listed as it is typed, chosen by keyboard or pointer or taken as typed, cast as velmora-cli's --place, kept in links", async () => {
    const { page, problems, requests, close } = await openPage(`${server.origin}/`);
    const placesRequested = () => requests.some((url) => url.endsWith("/places.js"));
    assert.equal(placesRequested(), false, "the city finder waits for the city field");
    const sentence = async (query, date, time) => {
      const { stdout } = await run(cli, ["--date", date, "--time", time, "--place", query, "--format", "text"]);
      return stdout.slice(0, stdout.indexOf("\n"));
    };
    const castAs = async (line) => {
      await until(page, (expected) => document.querySelector("#correction").textContent === expected, line);
      assert.equal(await page.evaluate(() => document.querySelector("#correction").hidden), false);
    };

    // Typed and chosen with the keyboard: the list, the fields filled in, the chart cast.
    await page.click("#place-city");
    await page.keyboard.type("springfield");
    await page.waitForSelector("#city-list li[id]");
    const { stdout: listedByCli } = await run(cli, ["--places", "springfield"]);
    assert.deepEqual(
      await page.$$eval("#city-list li", (items) => items.map((item) => item.firstChild.textContent)),
      listedByCli.split("\n").slice(0, 8).map((line) => line.split("\t")[0]),
    );
    assert.equal(await page.getAttribute("#place-city", "aria-expanded"), "true");
    assert.deepEqual(await wcagViolations(page), [], "the open list: WCAG 2.2 AA");
    await page.keyboard.press("ArrowDown");
    await page.keyboard.press("ArrowDown");
    assert.equal(await page.getAttribute("#place-city", "aria-activedescendant"), "city-1");
    const second = await page.textContent("#city-1");
    await page.keyboard.press("Enter");
    assert.equal(await page.isVisible("#city-list"), false);
    const chosen = listedByCli.split("\n")[1].split("\t");
    assert.equal(second.startsWith(chosen[0]), true);
    // velmora-cli lists the longitude to four places, the field holds the table's own.
    assert.deepEqual(
      [await page.inputValue("#place-city"), await page.inputValue("#place-zone"),
        Number(await page.inputValue("#place-longitude")).toFixed(4), await page.inputValue("#place-solar")],
      [chosen[0], chosen[1], chosen[2], "mean"],
    );
    await runBirth(page, "1988-07-15", "09:30");
    await castAs(await sentence(chosen[0], "1988-07-15", "09:30"));
    await until(page, () => location.hash.includes("&place="));
    const link = page.url();

    // Chosen with the pointer, by accents folded, then typed over by a zone: the city goes.
    await page.fill("#place-city", "");
    await page.click("#place-city");
    await page.keyboard.type("sao pau");
    await page.waitForSelector("#city-list li[id]");
    await page.click("#city-list li >> nth=0", { button: "right" });
    assert.equal(await page.inputValue("#place-city"), "sao pau");
    await page.click("#city-list li >> nth=0");
    assert.equal(await page.inputValue("#place-city"), "São Paulo, Brazil");
    await page.fill("#place-zone", "America/Bahia");
    assert.equal(await page.inputValue("#place-city"), "");

    // A letter typed and taken back leaves the correction as it was: none.
    await page.fill("#place-zone", "");
    await page.fill("#place-longitude", "");
    await page.selectOption("#place-solar", "");
    await page.click("#place-city");
    await page.keyboard.press("Control+A");
    await page.keyboard.type("U");
    assert.equal(await page.inputValue("#place-solar"), "mean");
    await page.keyboard.press("Backspace");
    assert.equal(await page.inputValue("#place-solar"), "");

    // Typed without choosing: the most populous of the name, as --place takes it.
    await page.fill("#place-city", "Urumqi");
    await page.keyboard.press("Escape");
    await runBirth(page, "1990-01-15", "12:00");
    await castAs(await sentence("Urumqi", "1990-01-15", "12:00"));
    assert.equal(await page.inputValue("#place-city"), "Ürümqi, Xinjiang Uyghur Autonomous Region, China");

    // A name that finds nothing is refused at the city field; the chart shown stays.
    await page.fill("#place-city", "Xqzv");
    await page.keyboard.press("Escape");
    await runBirth(page, "1990-01-15", "12:00");
    await until(page, () => document.querySelector("#message").textContent !== "");
    assert.match(await page.textContent("#message"), /^No city of 15,000 people or more is called "Xqzv"/);
    assert.equal(await page.evaluate(() => document.activeElement.id), "place-city");
    assert.equal(await page.getAttribute("#place-city", "aria-invalid"), "true");

    // The link names the city chosen, not the most populous of its name.
    await page.goto(link);
    await castAs(await sentence(chosen[0], "1988-07-15", "09:30"));
    assert.equal(Number(await page.inputValue("#place-longitude")).toFixed(4), chosen[2]);
    // A link written by hand may give the city alone: the most populous, from mean solar time.
    await page.goto(`${server.origin}/#date=1990-01-15&time=12:00&place=Urumqi`);
    await castAs(await sentence("Urumqi", "1990-01-15", "12:00"));
    // A city with a comma in its own name comes back from its link too.
    await page.goto(`${server.origin}/#date=1988-07-15&time=09:30&place=Burgdorf, Hanover, Lower Saxony, Germany` +
      "&zone=Europe/Berlin&longitude=10.0064&solar=mean");
    await until(page, () => document.querySelector("#correction").textContent.includes("Burgdorf, Hanover"));
    await page.goto(`${server.origin}/#date=1988-07-15&time=09:30&place=Nowhere,Mars`);
    await until(page, () => document.querySelector("#message").textContent !== "");
    assert.equal(await page.textContent("#message"),
      'The link\'s city "Nowhere,Mars" is not a city of 15,000 people or more that the page knows.');
    assert.deepEqual(problems, []);
    await close();
  });

  test("opened from its folder it works the same, cities included, with no request leaving it", async () => {
    const { page, problems, requests, close } = await openPage(pathToFileURL(join(site, "index.html")).href);
    await page.click("#place-city");
    await page.keyboard.type("urumqi");
    await page.waitForSelector("#city-list li[id]");
    await page.keyboard.press("Enter");
    await runBirth(page, "1985-07-19", "06:30");
    await page.waitForSelector("#reading span");
    assert.equal(await page.textContent("#heading"), "Velmora chart for a birth on 19 July 1985, 06:30");
    assert.match(await page.textContent("#correction"), / in Ürümqi, Xinjiang Uyghur Autonomous Region, China \(Asia\/Urumqi/);
    assert.deepEqual(problems, []);
    assert.deepEqual(requests.filter((url) => !url.startsWith("file:")), []);
    await close();
  });

  test("light and dark, desktop and phone width: the birth place, the board and the reading fit, the reading keeps its paper, axe-core finds nothing against WCAG 2.2 AA", async () => {
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
        await page.waitForSelector("#board-cells button");
        const fit = await page.evaluate(() => ({
          board: document.querySelector("#board svg").getBoundingClientRect().right,
          place: document.querySelector("#place").getBoundingClientRect().right,
          page: document.documentElement.clientWidth,
          scroll: document.documentElement.scrollWidth,
          paper: getComputedStyle(document.querySelector("#reading")).backgroundColor,
          innerScroll: document.querySelector("#reading").scrollHeight - document.querySelector("#reading").clientHeight,
        }));
        assert.ok(fit.board <= fit.page, `${name}: the board fits the width`);
        assert.ok(fit.place <= fit.page, `${name}: the birth place fits the width`);
        assert.ok(fit.scroll <= fit.page, `${name}: nothing scrolls sideways`);
        assert.equal(fit.paper, "rgb(255, 253, 247)");
        // On a phone the reading is part of the page's own scroll, not a box of its own.
        if (name === "phone") assert.ok(fit.innerScroll <= 1, `phone: the reading scrolls ${fit.innerScroll} px inside itself`);
        await page.screenshot({ path: join(shots, `page-${colorScheme}-${name}.png`), fullPage: name === "phone" });
        assert.deepEqual(await wcagViolations(page), [], `${colorScheme} ${name}: WCAG 2.2 AA`);
        assert.deepEqual(problems, []);
        await close();
      }
    }
  });

  test("links: a birth and a birth place cast velmora-cli's chart, Back and Forward step through the charts, a bad link is refused in words", async () => {
    const links = [
      { fragment: "#date=2000-02-04&time=23:00", options: ["--date", "2000-02-04", "--time", "23:00"] },
      { fragment: "#date=1990-01-15&time=12:00&zone=Asia/Shanghai&longitude=87.6&solar=mean",
        options: ["--date", "1990-01-15", "--time", "12:00", "--zone", "Asia/Shanghai", "--longitude", "87.6", "--solar", "mean"] },
    ];
    const { page, problems, close } = await openPage(`${server.origin}/${links[0].fragment}`);
    const readings = [];
    for (const [i, link] of links.entries()) {
      if (i > 0) await page.goto(`${server.origin}/${link.fragment}`);
      const { stdout: html } = await run(cli, [...link.options, "--format", "html"]);
      const { stdout: text } = await run(cli, [...link.options, "--format", "text"]);
      const reading = link.options.includes("--zone") ? text.slice(text.indexOf("\n") + 1) : text;
      await until(page, (expected) => document.querySelector("#reading > div")?.textContent === expected, reading);
      const shown = await page.evaluate(() => document.querySelector("#board svg").outerHTML);
      const drawn = html.slice(html.indexOf("<svg"), html.indexOf("</svg>") + 6);
      assert.equal(shown, await page.evaluate((svg) => {
        const figure = document.createElement("figure");
        figure.innerHTML = svg;
        return figure.firstElementChild.outerHTML;
      }, drawn));
      readings.push(reading);
    }
    // A Run writes its birth into the address as a new entry; Back and Forward step through them.
    await enterPlace(page, {});
    await runBirth(page, "1985-07-19", "06:30");
    await until(page, () => location.hash === "#date=1985-07-19&time=06:30");
    const ran = await page.textContent("#reading > div");
    await page.goBack();
    await until(page, (expected) => document.querySelector("#reading > div").textContent === expected, readings[1]);
    assert.equal(await page.inputValue("#place-zone"), "Asia/Shanghai");
    await page.goBack();
    await until(page, (expected) => document.querySelector("#reading > div").textContent === expected, readings[0]);
    assert.equal(await page.inputValue("#birth-date"), "2000-02-04");
    await page.goForward();
    await page.goForward();
    await until(page, (expected) => document.querySelector("#reading > div").textContent === expected, ran);
    assert.equal(await page.textContent("#status"), "Chart cast for 19 July 1985, 06:30");
    await page.context().grantPermissions(["clipboard-read", "clipboard-write"], { origin: server.origin });
    await page.click("#copy-link");
    await until(page, () => document.querySelector("#status").textContent === "Link to this chart copied");
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), `${server.origin}/#date=1985-07-19&time=06:30`);

    // Bad links fill the fields they can and say what is wrong, as a Run would.
    const bad = [
      { fragment: "#date=2000-02-30&time=23:00", field: "birth-date",
        said: 'The link\'s birth date "2000-02-30": February 2000 has no day 30; it has days 01 to 29.' },
      { fragment: "#date=2000-02-04&time=23:00&zone=Asia/Shanghai&solar=lunar", field: "place-solar",
        said: 'The link\'s solar time "lunar": use standard, mean or apparent.' },
      { fragment: "#date=2000-02-04", field: "birth-time", said: "The link gives no birth time: it needs one such as time=23:00." },
      { fragment: "#date=2000-02-04&time=23:00&sex=male", field: null,
        said: 'The link\'s "sex" is not something the page reads: a link gives date and time (such as #date=2000-02-04&time=23:00) and, for a birth place, place, zone, longitude, solar and dst.' },
    ];
    for (const { fragment, field, said } of bad) {
      await page.goto(`${server.origin}/${fragment}`);
      await until(page, () => document.querySelector("#message").textContent !== "");
      assert.equal(await page.textContent("#message"), said);
      assert.equal(await page.evaluate(() => document.querySelector("[aria-invalid=true]")?.id ?? null), field);
      assert.equal(await page.evaluate(() => [...document.querySelectorAll("select")].every((list) => list.selectedIndex >= 0)), true);
    }
    assert.equal(await page.inputValue("#birth-date"), "2000-02-04");
    assert.equal(await page.inputValue("#birth-time"), "23:00");

    // A link fills every field it can read, whatever comes before the date, trims its values as
    // the fields trim what is typed, and casts what the fields then show.
    const filled = [
      { fragment: "#sex=male&date=1985-07-19&time=06:30&zone=Asia/Shanghai",
        fields: ["1985-07-19", "06:30", "Asia/Shanghai", "standard"], cast: false },
      { fragment: "#time=%ZZ&date=1985-07-19&zone=Asia/Shanghai",
        fields: ["1985-07-19", "", "Asia/Shanghai", "standard"], cast: false },
      { fragment: "#date=%201985-07-19&time=%2006:30%20", fields: ["1985-07-19", "06:30", "", ""], cast: true },
      { fragment: "#date=1985-07-20&time=06:30&zone=", fields: ["1985-07-20", "06:30", "", ""], cast: true },
    ];
    for (const { fragment, fields, cast } of filled) {
      await page.goto(`${server.origin}/${fragment}`);
      await until(page, () => document.querySelector("#message").textContent !== "" || location.hash === "" ||
        document.querySelector("#heading").textContent.startsWith("Velmora chart"));
      await page.waitForTimeout(100);
      assert.deepEqual(
        await Promise.all(["#birth-date", "#birth-time", "#place-zone", "#place-solar"].map((id) => page.inputValue(id))),
        fields, fragment);
      assert.equal(await page.textContent("#message") === "", cast, fragment);
      if (cast) {
        assert.equal(await page.textContent("#heading"), `Velmora chart for a birth on ${fields[0].endsWith("19") ? 19 : 20} July 1985, 06:30`);
        assert.equal(await page.isVisible("#correction"), false, `${fragment}: the clock time, as the fields say`);
      }
    }
    assert.deepEqual(problems, []);
    await close();
  });

  test("a refusal quotes at most a short beginning of what it was given and wraps inside the page", async () => {
    const { page, problems, close } = await openPage(`${server.origin}/`, { viewport: { width: 390, height: 844 } });
    const fits = () => ({
      said: document.querySelector("#message").textContent.length,
      sideways: document.documentElement.scrollWidth - document.documentElement.clientWidth,
    });
    const long = "Springfield".repeat(28);
    await page.fill("#place-city", long);
    await page.keyboard.press("Escape");
    await runBirth(page, "2000-02-04", "23:00");
    await until(page, () => document.querySelector("#message").textContent !== "");
    assert.ok((await page.textContent("#message")).startsWith(`No city of 15,000 people or more is called "${long.slice(0, 120)}...": `));
    const huge = "q".repeat(100_000);
    for (const fragment of [`#date=2000-02-04&time=23:00&place=${huge}`, `#date=2000-02-04&time=23:00&${huge}=1`,
      `#date=2000-02-04&time=${huge}`]) {
      await page.goto(`${server.origin}/${fragment}`);
      await until(page, () => document.querySelector("#message").textContent !== "");
      const fit = await page.evaluate(fits);
      assert.ok(fit.said < 400, `${fragment.slice(0, 40)}: ${fit.said} characters said`);
      assert.equal(fit.sideways, 0, `${fragment.slice(0, 40)}: nothing scrolls sideways`);
    }
    assert.deepEqual(problems, []);
    await close();
  });

  test("installable, and offline: after the first visit the page opens and casts with the network off", async () => {
    // A server of its own, stopped once the page has been seen: nothing answers any more.
    const own = await serve(site);
    const { page, problems, close } = await openPage(`${own.origin}/`);
    // The city finder, used before the worker runs, is kept once used all the same.
    await page.click("#place-city");
    await page.keyboard.type("beijing");
    await page.waitForSelector("#city-list li[id]");
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
    await until(page, () => caches.match("places.js").then((kept) => kept !== undefined));
    // Chromium would offer to install it, but that a test's browser profile is a private one.
    const devtools = await page.context().newCDPSession(page);
    const { installabilityErrors } = await devtools.send("Page.getInstallabilityErrors");
    assert.deepEqual(installabilityErrors.map((e) => e.errorId).filter((id) => id !== "in-incognito"), []);
    const { errors } = await devtools.send("Page.getAppManifest");
    assert.deepEqual(errors, []);
    own.stop();
    await page.context().setOffline(true);
    await page.reload();
    await page.waitForSelector("#board svg");
    await page.click("#place-city");
    await page.keyboard.type("beijing");
    await page.waitForSelector("#city-list li[id]");
    await page.keyboard.press("Escape");
    await page.selectOption("#place-solar", "");
    await runBirth(page, "2000-02-04", "23:00");
    const { stdout: text } = await run(cli, ["--date", "2000-02-04", "--time", "23:00", "--format", "text"]);
    await until(page, (expected) => document.querySelector("#reading > div")?.textContent === expected, text);
    assert.deepEqual(problems, []);
    await close();
  });

  test("without its module the page says so in one sentence where the result would be, and never submits", async () => {
    const blocks = {
      "the module's file refused": (route) => route.abort(),
      "a policy that forbids compiling WebAssembly": async (route) => {
        const response = await route.fetch();
        const body = (await response.text()).replace(" 'wasm-unsafe-eval'", "");
        assert.notEqual(body, await response.text());
        await route.fulfill({ response, body });
      },
    };
    const sentence =
      "This browser could not load Velmora's WebAssembly module, so no chart can be cast in this page.";
    for (const [name, block] of Object.entries(blocks)) {
      const context = await browser.newContext();
      const page = await context.newPage();
      await page.route(name.startsWith("a policy") ? `${server.origin}/` : "**/velmora.wasm", block);
      let navigations = 0;
      page.on("framenavigated", (frame) => frame === page.mainFrame() && ++navigations);
      await page.goto(`${server.origin}/`);
      await until(page, (expected) => document.querySelector("#reading").textContent === expected, sentence);
      await runBirth(page, "2000-02-04", "23:00");
      await page.click("#run");
      await page.waitForTimeout(200);
      assert.equal(navigations, 1, name);
      assert.equal(page.url(), `${server.origin}/`, name);
      assert.equal(await page.textContent("#reading"), sentence, name);
      await context.close();
    }
  });

  test("printed, the page holds the heading, the board and all twelve palaces, without the form", async () => {
    const { page, close } = await openPage(`${server.origin}/#date=2000-02-04&time=23:00`);
    await page.waitForSelector("#reading span");
    const pdf = join(shots, "page-print.pdf");
    await page.pdf({ path: pdf, format: "A4", printBackground: true });
    const { stdout: text } = await run("pdftotext", ["-layout", pdf, "-"]);
    assert.match(text, /Velmora chart for a birth on 4 February 2000, 23:00/);
    assert.equal(text.match(/Place:/g)?.length, 12);
    assert.doesNotMatch(text, /Birth place|Download|Copy link/);
    await close();
  });

  test("each palace cell of the board names all its stars and takes the reader to its block, by click and by Enter", async () => {
    const birth = { date: "1950-11-12", time: "17:00" }; // Siblings holds eight stars, two beyond the board's room
    const { page, problems, close } = await openPage(`${server.origin}/#date=${birth.date}&time=${birth.time}`);
    await page.waitForSelector("#board-cells button");
    const { stdout: json } = await run(cli, ["--date", birth.date, "--time", birth.time, "--format", "json"]);
    const expected = JSON.parse(json).palaces.map(({ names: [palace, ...stars] }) => `${palace} palace: ${stars.join(", ")}`);
    const labels = await page.$$eval("#board-cells button", (buttons) => buttons.map((b) => b.getAttribute("aria-label")));
    assert.deepEqual(labels.toSorted(), expected.toSorted());
    assert.ok(labels.some((label) => label.split(", ").length === 8));

    // The block shown lies wholly inside the reading's box and the window, marked and focused.
    const inView = () => {
      const block = document.querySelector("#reading .palace.shown");
      const box = block.getBoundingClientRect();
      const frame = document.querySelector("#reading").getBoundingClientRect();
      return box.top >= frame.top - 1 && box.bottom <= frame.bottom + 1 && box.top >= 0 && box.bottom <= innerHeight &&
        document.activeElement === block ? block.textContent.split("\n")[0] : null;
    };
    await page.click('#board-cells button[aria-label^="Siblings palace"]');
    await until(page, inView);
    assert.equal(await page.evaluate(inView), "Place:Siblings");
    await page.focus('#board-cells button[aria-label^="Life palace"]');
    assert.equal(await page.isVisible("#star-tip"), true);
    await page.keyboard.press("Enter");
    await until(page, () => document.querySelector("#reading .palace.shown")?.textContent.startsWith("Place:Life"));
    await until(page, inView);

    // A star's name on the board shows its description.
    await page.hover('#board-cells [data-star="Intellect"]');
    assert.match(await page.textContent("#star-tip"), /^Intellect: \S/);
    assert.deepEqual(problems, []);
    await close();
  });
});
