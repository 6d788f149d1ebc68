// Lighthouse on the page served from 127.0.0.1 with compression, as a phone and as a desktop
// computer, and as a phone opening a link to a chart: the four category scores, the paint and
// layout figures, and the bytes sent for the page, its style, its script and its module. Each is
// audited three times in a fresh browser and the run of median performance reported, as
// Lighthouse's authors advise: on a shared machine one run can stray far.
//
//   node bench/web/lighthouse.mjs [SITE_DIR]

import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { join, resolve } from "node:path";
import { pathToFileURL } from "node:url";
import { brotliCompressSync, constants } from "node:zlib";
import { kChromium, serve } from "../../web/test/browser.mjs";

// Lighthouse and its Chromium launcher as web/package.json pins them.
const root = resolve(new URL(".", import.meta.url).pathname, "../..");
const fromWeb = createRequire(join(root, "web", "package.json"));
const load = (name) => import(pathToFileURL(fromWeb.resolve(name)).href);
const { default: lighthouse } = await load("lighthouse");
const { default: desktopConfig } = await load("lighthouse/core/config/desktop-config.js");
const chromeLauncher = await load("chrome-launcher");

const site = process.argv[2] ?? join(root, "build/web/site");
// What the page needs to cast: the page itself, its style, its two scripts and the module.
const kOwnFiles = ["index.html", "style.css", "page.js", "velmora.js", "velmora.wasm"];
const kRepeats = 3;

async function audit(url, config) {
  const chrome = await chromeLauncher.launch({
    chromePath: kChromium,
    chromeFlags: ["--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run"],
  });
  try {
    const { lhr } = await lighthouse(url, { port: chrome.port, output: "json", logLevel: "error" }, config);
    return lhr;
  } finally {
    await chrome.kill();
  }
}

const packed = kOwnFiles.reduce(
  (sum, file) =>
    sum +
    brotliCompressSync(readFileSync(join(site, file)), {
      params: { [constants.BROTLI_PARAM_QUALITY]: 11 },
    }).length,
  0,
);
console.log(`page, style, script and module compressed (Brotli): ${(packed / 1024).toFixed(1)} KB (target under 70 KB)`);

const server = await serve(site);
try {
  const runs = [
    ["mobile", "/", undefined],
    ["desktop", "/", desktopConfig],
    ["mobile, opened from a link that casts a chart", "/#date=2000-02-04&time=23:00", undefined],
  ];
  for (const [name, path, config] of runs) {
    const reports = [];
    for (let i = 0; i < kRepeats; ++i) reports.push(await audit(`${server.origin}${path}`, config));
    const performance = reports.map((lhr) => Math.round(lhr.categories.performance.score * 100));
    reports.sort((a, b) => a.categories.performance.score - b.categories.performance.score);
    const lhr = reports[Math.floor(kRepeats / 2)];
    const scores = Object.values(lhr.categories)
      .map((category) => `${category.title.toLowerCase()} ${Math.round(category.score * 100)}`)
      .join(", ");
    const shown = (id) => lhr.audits[id].displayValue;
    console.log(`Lighthouse ${lhr.lighthouseVersion}, ${name}: ${scores} (performance in ${kRepeats} runs: ${performance.join(", ")})`);
    console.log(
      `  first contentful paint ${shown("first-contentful-paint")}, largest ${shown("largest-contentful-paint")}, ` +
        `total blocking time ${shown("total-blocking-time")}, layout shift ${shown("cumulative-layout-shift")}, ` +
        `speed index ${shown("speed-index")}`,
    );
    for (const category of Object.values(lhr.categories)) {
      for (const { id } of category.auditRefs) {
        const a = lhr.audits[id];
        const scored = a.scoreDisplayMode !== "informative" && a.scoreDisplayMode !== "manual";
        if (a.score !== null && a.score < 1 && scored && category.id !== "performance") {
          console.log(`  short of full marks in ${category.title.toLowerCase()}: ${id}`);
        }
      }
    }
  }
} finally {
  server.stop();
}
