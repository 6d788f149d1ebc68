// A Run in the page in Chromium: from the typed birth to the board and the reading drawn, as the
// page's own Run handler takes it, timed in the page itself over many Runs.
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
  const at = (q) => times[Math.floor(q * (times.length - 1))].toFixed(2);
  console.log(`a Run in the page (input to board and reading laid out), ${times.length} Runs:`);
  console.log(`  median ${at(0.5)} ms, 90th percentile ${at(0.9)} ms, slowest ${at(1)} ms (target under 20 ms)`);
} finally {
  await browser.close();
  server.stop();
}
