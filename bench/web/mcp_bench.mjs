// velmora-mcp over standard input and output, through the SDK's own client: the time from
// starting the server to its first answers (initialize, then a cast_chart), and cast_chart calls
// per second, one at a time and eight in flight, with and without a birth place.
//
//   node bench/web/mcp_bench.mjs [VELMORA_TGZ] [VELMORA_MCP_TGZ]   (both from ./dev web)

import { execFileSync } from "node:child_process";
import { mkdtempSync, readdirSync, rmSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";

const root = resolve(new URL(".", import.meta.url).pathname, "../..");
// The SDK's client as web/package-lock.json pins it.
const sdk = (path) => import(createRequire(join(root, "web/package.json")).resolve(`@modelcontextprotocol/sdk/${path}`));
const { Client } = await sdk("client/index.js");
const { StdioClientTransport } = await sdk("client/stdio.js");
const built = (pattern) => join(root, "build/web", readdirSync(join(root, "build/web")).find((f) => pattern.test(f)));
const velmoraPackage = resolve(process.argv[2] ?? built(/^velmora-[0-9].*\.tgz$/));
const mcpPackage = resolve(process.argv[3] ?? built(/^velmora-mcp-.*\.tgz$/));

const scratch = mkdtempSync(join(tmpdir(), "velmora-mcp-bench-"));
execFileSync("npm", ["init", "-y"], { cwd: scratch, stdio: "ignore" });
execFileSync("npm", ["install", "--prefer-offline", "--no-audit", "--no-fund", "--loglevel=error",
  velmoraPackage, mcpPackage], { cwd: scratch, stdio: "inherit" });
const server = join(scratch, "node_modules", ".bin", "velmora-mcp");

const seconds = (from) => Number(process.hrtime.bigint() - from) / 1e9;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const two = (n) => String(n).padStart(2, "0");
// One birth a day at a changing minute, from 1902 on.
const births = Array.from({ length: 4000 }, (_, i) => {
  const d = new Date(Date.UTC(1902, 0, 1, 0, 7) + i * (86400000 + 7 * 60000));
  return { date: `${d.getUTCFullYear()}-${two(d.getUTCMonth() + 1)}-${two(d.getUTCDate())}`,
           time: `${two(d.getUTCHours())}:${two(d.getUTCMinutes())}` };
});

async function start() {
  const client = new Client({ name: "velmora-bench", version: "1.0.0" });
  await client.connect(new StdioClientTransport({ command: server, args: [], stderr: "inherit" }));
  return client;
}

// From the spawn to the answer of initialize, and to the first chart, each in a fresh process.
const ready = [];
const firstChart = [];
for (let run = 0; run < 7; ++run) {
  const from = process.hrtime.bigint();
  const client = await start();
  ready.push(seconds(from));
  await client.callTool({ name: "cast_chart", arguments: births[run] });
  firstChart.push(seconds(from));
  await client.close();
}
console.log(`start to the answer of initialize: median ${(median(ready) * 1000).toFixed(0)} ms ` +
  `(${(Math.min(...ready) * 1000).toFixed(0)}-${(Math.max(...ready) * 1000).toFixed(0)})`);
console.log(`start to the first cast_chart answered: median ${(median(firstChart) * 1000).toFixed(0)} ms ` +
  `(${(Math.min(...firstChart) * 1000).toFixed(0)}-${(Math.max(...firstChart) * 1000).toFixed(0)})`);

const client = await start();
async function rate(label, list, inFlight) {
  let next = 0;
  const worker = async () => {
    while (next < list.length) await client.callTool({ name: "cast_chart", arguments: list[next++] });
  };
  const from = process.hrtime.bigint();
  await Promise.all(Array.from({ length: inFlight }, worker));
  console.log(`cast_chart, ${label}, ${inFlight} in flight: ${Math.round(list.length / seconds(from))} calls/s`);
}
await rate("warming", births.slice(0, 500), 1);
await rate("no birth place", births, 1);
await rate("no birth place", births, 8);
const placed = births.map((b) => ({ ...b, zone: "Asia/Shanghai", longitude: 87.6, dst: "off" }));
await rate("warming", placed.slice(0, 500), 1);
await rate("zone and longitude", placed, 1);
const cities = births.map((b, i) => ({ ...b, place: ["Urumqi", "Springfield, Illinois", "London, CA", "sao paulo"][i % 4] }));
await rate("a city by name, four in turn", cities.slice(0, 1000), 1);
await client.close();
rmSync(scratch, { recursive: true, force: true });
