// The package in its clients: its share of a production bundle, raw and compressed, and the time
// from loading it to the first chart, in Node (each way in) and in Chromium.
//
//   node bench/web/client_bench.mjs [PACKAGE_DIR]

import { execFileSync } from "node:child_process";
import { cpSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { gzipSync } from "node:zlib";

import { launch, serve } from "../../web/test/browser.mjs";

const root = resolve(new URL(".", import.meta.url).pathname, "../..");
const packageDir = resolve(process.argv[2] ?? join(root, "build/web/package"));
const esbuild = join(root, "web/node_modules/.bin/esbuild");
const scratch = mkdtempSync(join(tmpdir(), "velmora-client-bench-"));
mkdirSync(join(scratch, "node_modules"));
cpSync(packageDir, join(scratch, "node_modules", "velmora"), { recursive: true });

const kb = (bytes) => `${(bytes / 1000).toFixed(1)} KB`;
const birth = '{ date: "2000-02-04", time: "23:00" }';

// The package's share of a minified production bundle of an app that casts one chart.
for (const [name, source] of [
  ["import from velmora", `import { castChart } from "velmora"; console.log(castChart(${birth}).lifeBranch);`],
  ["velmora/load", `import { load } from "velmora/load"; load().then((v) => console.log(v.castChart(${birth}).lifeBranch));`],
]) {
  writeFileSync(join(scratch, "app.js"), source);
  execFileSync(esbuild, ["app.js", "--bundle", "--minify", "--format=esm", "--outfile=out.js", "--log-level=error"], { cwd: scratch });
  const bytes = readFileSync(join(scratch, "out.js"));
  console.log(`bundle, ${name}: ${kb(bytes.length)}, ${kb(gzipSync(bytes, { level: 9 }).length)} gzip`);
}

// From the start of loading to the first chart, in a fresh Node for each way in (median of 5).
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
for (const [name, file, code] of [
  ["import", "t.mjs", `const t = performance.now(); const v = await import("velmora"); v.castChart(${birth}); console.log(performance.now() - t);`],
  ["require", "t.cjs", `const t = performance.now(); const v = require("velmora"); v.castChart(${birth}); console.log(performance.now() - t);`],
  ["load()", "t.mjs", `const t = performance.now(); const { load } = await import("velmora/load"); (await load()).castChart(${birth}); console.log(performance.now() - t);`],
]) {
  writeFileSync(join(scratch, file), code);
  const times = Array.from({ length: 5 }, () => Number(execFileSync(process.execPath, [file], { cwd: scratch, encoding: "utf8" })));
  console.log(`Node, ${name} to the first chart: ${median(times).toFixed(1)} ms`);
}

// In Chromium: an ES2020 IIFE bundle through velmora/load, from navigation to the first chart.
writeFileSync(join(scratch, "page.js"), `import { load } from "velmora/load"; load().then((v) => { v.castChart(${birth}); window.firstChart = performance.now(); });`);
mkdirSync(join(scratch, "site"));
execFileSync(esbuild, ["page.js", "--bundle", "--minify", "--format=iife", "--target=es2020", "--outfile=site/page.js", "--log-level=error"], { cwd: scratch });
writeFileSync(join(scratch, "site", "index.html"), '<!DOCTYPE html><meta charset="utf-8"><title>t</title><script src="page.js"></script>');
const server = await serve(join(scratch, "site"));
const browser = await launch();
const times = [];
for (let i = 0; i < 5; ++i) {
  const page = await browser.newPage();
  await page.goto(`${server.origin}/index.html`);
  await page.waitForFunction(() => window.firstChart !== undefined);
  times.push(await page.evaluate(() => window.firstChart));
  await page.close();
}
await browser.close();
server.stop();
console.log(`Chromium, navigation to the first chart: ${median(times).toFixed(1)} ms`);
rmSync(scratch, { recursive: true, force: true });
