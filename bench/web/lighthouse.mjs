// Lighthouse on the page served from 127.0.0.1 with compression, as a phone and as a desktop
// computer, and as a phone opening a link to a chart: the four category scores, the paint and
// layout figures, and the bytes sent for the page, its script and its module.
//
//   node bench/web/lighthouse.mjs [SITE_DIR]

import { createRequire } from "node:module";
import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";
import { kChromium, serve } from "../../web/test/browser.mjs";

// Lighthouse and its Chromium launcher as web/package.json pins them.
const root = resolve(new URL(".", import.meta.url).pathname, "../..");
const fromWeb = createRequire(join(root, "web", "package.json"));
const load = (name) => import(pathToFileURL(fromWeb.resolve(name)).href);
const { default: lighthouse } = await load("lighthouse");
const { default: desktopConfig } = await load("lighthouse/core/config/desktop-config.js");
const chromeLauncher = await load("chrome-launcher");

const site = process.argv[2] ?? join(root, "build/web/site");
const server = await serve(site);
const chrome = await chromeLauncher.launch({
  chromePath: kChromium,
  chromeFlags: ["--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run"],
});
// What the page needs to cast: the page itself, its style, its two scripts and the module.
const kOwnFiles = /\/(|index\.html|style\.css|page\.js|velmora\.js|velmora\.wasm)$/;
try {
  const runs = [
    ["mobile", "/", undefined],
    ["desktop", "/", desktopConfig],
    ["mobile, opened from a link that casts a chart", "/#date=2000-02-04&time=23:00", undefined],
  ];
  for (const [name, path, config] of runs) {
    const { lhr } = await lighthouse(
      `${server.origin}${path}`,
      { port: chrome.port, output: "json", logLevel: "error" },
      config,
    );
    const scores = Object.values(lhr.categories)
      .map((category) => `${category.title.toLowerCase()} ${Math.round(category.score * 100)}`)
      .join(", ");
    const audit = (id) => lhr.audits[id].displayValue;
    const sent = lhr.audits["network-requests"].details.items
      .filter((request) => kOwnFiles.test(new URL(request.url).pathname))
      .reduce((sum, request) => sum + request.transferSize, 0);
    console.log(`Lighthouse ${lhr.lighthouseVersion}, ${name}: ${scores}`);
    console.log(
      `  first contentful paint ${audit("first-contentful-paint")}, largest ${audit("largest-contentful-paint")}, ` +
        `total blocking time ${audit("total-blocking-time")}, layout shift ${audit("cumulative-layout-shift")}, ` +
        `speed index ${audit("speed-index")}`,
    );
    console.log(`  page, style, script and module sent: ${(sent / 1024).toFixed(1)} KB (target under 70 KB)`);
    const largest = lhr.audits["largest-contentful-paint-element"]?.details?.items?.[0]?.items?.[0]?.node;
    if (largest !== undefined) console.log(`  largest paint: ${largest.selector} "${largest.nodeLabel}"`);
    for (const category of Object.values(lhr.categories)) {
      for (const { id } of category.auditRefs) {
        const a = lhr.audits[id];
        if (a.score !== null && a.score < 1 && a.scoreDisplayMode !== "informative" && a.scoreDisplayMode !== "manual") {
          console.log(`  short of full marks: ${id} (${a.score}) ${a.displayValue ?? ""}`);
        }
      }
    }
  }
} finally {
  await chrome.kill();
  server.stop();
}
