// A Run in the page in Chromium: from the typed birth to the board and the reading drawn, as the
// page's own Run handler takes it, timed in the page itself over many Runs; and a keystroke in
// the city field, to its list of cities.
//
//   node bench/web/page_bench.mjs [SITE_DIR]

import { join, resolve } from "node:path";
import { launch, serve } from "../../web/test/browser.mjs";

const root = resolve(new URL(".", import.meta.url).pathname, "../..");
const site = process.argv[2] ?? join(root, "build/web/site");
const [browser, server] = await Promise.all([launch(), serve(site)]);
try {
  const page = await browser.newPage({ viewport: { width: 1200, height: 860 } });
  await page.goto(`${server.origin}/`);
  // The bare board is in the page from the start; the module loads after the first paint.
  await page.evaluate(async () => {
    while (globalThis.velmoraReady === undefined) await new Promise((done) => setTimeout(done, 10));
    await globalThis.velmoraReady;
  });
  const times = await page.evaluate(async () => {
    const form = document.getElementById("birth");
    const time = document.getElementById("birth-time");
    const frame = () => new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0)));
    const result = [];
    for (let i = 0; i < 200; ++i) {
      time.value = `${String(i % 24).padStart(2, "0")}:${String(i % 60).padStart(2, "0")}`;
      const start = performance.now();
      form.requestSubmit();
      document.getElementById("reading").getBoundingClientRect(); // style and layout of the result
      result.push(performance.now() - start);
      // What a Run leaves for after its frame, the address and the board's cells, is done before
      // the next Run, as it is long before a person's next Run.
      await frame();
      await frame();
    }
    return result.sort((a, b) => a - b);
  });
  const at = (list, q) => list[Math.floor(q * (list.length - 1))].toFixed(2);
  console.log(`a Run in the page (input to board and reading laid out), ${times.length} Runs:`);
  console.log(`  median ${at(times, 0.5)} ms, 90th percentile ${at(times, 0.9)} ms, slowest ${at(times, 1)} ms (target under 20 ms)`);

  // The little server compresses a file the first time it is asked for it, as a real one does
  // ahead of time: that is not the page's time.
  await fetch(`${server.origin}/places.js`, { headers: { "accept-encoding": "br" } }).then((r) => r.arrayBuffer());
  // A keystroke in the city field: from the input event to the list of cities laid out, each
  // query typed a letter at a time, after the finder has loaded (its first use is timed apart).
  const keystrokes = await page.evaluate(async () => {
    const field = document.getElementById("place-city");
    const list = document.getElementById("city-list");
    // Until the list changes, or with `cities`, until it lists a city (not the line that says
    // the cities are loading).
    const typed = (text, cities = false) =>
      new Promise((done) => {
        const start = performance.now();
        const seen = new MutationObserver(() => {
          if (cities && !list.querySelector('[role="option"]:not([aria-disabled])')) return;
          seen.disconnect();
          list.getBoundingClientRect(); // style and layout of the list
          done(performance.now() - start);
        });
        seen.observe(list, { childList: true, attributes: true });
        field.value = text;
        field.dispatchEvent(new Event("input", { bubbles: true }));
      });
    field.focus();
    const first = await typed("b", true);
    const queries = ["beijing", "springfield, il", "sao paulo", "new york", "london, canada", "ürümqi",
      "frankfurt am main", "st. petersburg", "xi'an", "los angeles"];
    const result = [];
    for (const query of queries) {
      for (let n = 1; n <= query.length; ++n) {
        result.push(await typed(query.slice(0, n)));
        await new Promise((done) => setTimeout(done, 0));
      }
    }
    return { first, times: result.sort((a, b) => a - b) };
  });
  const k = keystrokes.times;
  console.log(`a keystroke in the city field (input to the list laid out), ${k.length} keystrokes:`);
  console.log(`  median ${at(k, 0.5)} ms, 95th percentile ${at(k, 0.95)} ms, slowest ${at(k, 1)} ms (target under 30 ms);` +
    ` the first, which loads and unpacks the cities, ${keystrokes.first.toFixed(0)} ms`);
} finally {
  await browser.close();
  server.stop();
}
