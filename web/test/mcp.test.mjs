// velmora-mcp as an assistant meets it: the packed packages installed with npm in an empty
// folder, the server started by its command, and the SDK's own client over standard input and
// output and over Streamable HTTP; every answer against velmora-cli's for the same birth.
//
//   VELMORA_PACKAGE=build/web/velmora-1.31.0.tgz VELMORA_MCP_PACKAGE=build/web/velmora-mcp-1.31.0.tgz \
//     VELMORA_CLI=build/release/src/cli/velmora-cli node --test web/test/mcp.test.mjs

import assert from "node:assert/strict";
import { execFile, execFileSync, spawn, spawnSync } from "node:child_process";
import { mkdtempSync, readFileSync, readdirSync, rmSync } from "node:fs";
import { request as httpRequest } from "node:http";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { after, before, describe, test } from "node:test";
import { promisify } from "node:util";

import { Client } from "@modelcontextprotocol/sdk/client/index.js";
import { StdioClientTransport } from "@modelcontextprotocol/sdk/client/stdio.js";
import { StreamableHTTPClientTransport } from "@modelcontextprotocol/sdk/client/streamableHttp.js";
import Ajv2020 from "ajv/dist/2020.js";

const run = promisify(execFile);
const web = resolve(import.meta.dirname ?? new URL(".", import.meta.url).pathname, "..");
const root = resolve(web, "..");
const cli = resolve(process.env.VELMORA_CLI ?? join(root, "build/release/src/cli/velmora-cli"));
const packed = (pattern, variable) =>
  resolve(process.env[variable] ?? join(root, "build/web", readdirSync(join(root, "build/web")).find((f) => pattern.test(f))));
const velmoraPackage = packed(/^velmora-[0-9].*\.tgz$/, "VELMORA_PACKAGE");
const mcpPackage = packed(/^velmora-mcp-.*\.tgz$/, "VELMORA_MCP_PACKAGE");

const chartSchema = JSON.parse(readFileSync(join(root, "docs/velmora-chart.schema.json"), "utf8"));
const validChart = new Ajv2020({ allErrors: true }).compile({ ...chartSchema, oneOf: [{ $ref: "#/$defs/chart" }] });

const scratch = mkdtempSync(join(tmpdir(), "velmora-mcp-"));
const server = join(scratch, "node_modules", ".bin", "velmora-mcp");
let stdio;

before(async () => {
  // As a user installs them: npm in an empty folder, the SDK from npm's cache where it is there.
  execFileSync("npm", ["init", "-y"], { cwd: scratch, stdio: "ignore" });
  execFileSync("npm", ["install", "--prefer-offline", "--no-audit", "--no-fund", "--loglevel=error",
    velmoraPackage, mcpPackage], { cwd: scratch, stdio: "inherit" });
  stdio = await connect(new StdioClientTransport({ command: server, args: [], stderr: "pipe" }));
});
after(async () => {
  await stdio?.close();
  rmSync(scratch, { recursive: true, force: true });
});

async function connect(transport) {
  const client = new Client({ name: "velmora-test", version: "1.0.0" });
  await client.connect(transport);
  return client;
}

// velmora-cli's options for a birth as the tools take it.
function cliOptions({ date, time, place, zone, longitude, solar, dst }) {
  const options = ["--date", date, "--time", time];
  if (place !== undefined) options.push("--place", place);
  if (zone !== undefined) options.push("--zone", zone);
  if (longitude !== undefined) options.push("--longitude", String(longitude));
  if (solar !== undefined) options.push("--solar", solar);
  if (dst !== undefined) options.push("--dst", dst);
  return options;
}

// What velmora-cli prints for the birth, or its one line of refusal without its name.
async function cliOutput(birth, ...options) {
  try {
    const { stdout } = await run(cli, [...cliOptions(birth), ...options], { maxBuffer: 1 << 22 });
    return stdout;
  } catch (error) {
    return { refusal: error.stderr.replace(/^velmora-cli: /, "").replace(/\n$/, "") };
  }
}

const births = [
  { name: "the lunar new year's first hour", birth: { date: "2000-02-04", time: "23:00" } },
  { name: "a summer morning", birth: { date: "1985-07-19", time: "06:30" } },
  { name: "daylight saving time in Shanghai", birth: { date: "1988-07-15", time: "09:30", zone: "Asia/Shanghai" } },
  { name: "apparent solar time at a longitude",
    birth: { date: "1990-01-15", time: "12:00", zone: "Asia/Shanghai", longitude: 87.6, solar: "apparent" } },
  { name: "New York's repeated hour, daylight saving time in force",
    birth: { date: "2021-11-07", time: "01:30", zone: "America/New_York", dst: "on" } },
  { name: "a city", birth: { date: "1990-01-15", time: "09:30", place: "Urumqi" } },
  { name: "a city with its region", birth: { date: "1975-03-02", time: "17:45", place: "Springfield, Illinois" } },
];

// Every tool's answer to a birth against velmora-cli's: the chart, the reading and the board.
async function checkBirths(client) {
  for (const { name, birth } of births) {
    const svgFile = join(scratch, "board.svg");
    const [json, text] = await Promise.all([
      cliOutput(birth, "--format", "json"),
      cliOutput(birth, "--format", "text", "--chart", svgFile),
    ]);
    const cast = await client.callTool({ name: "cast_chart", arguments: birth });
    assert.equal(cast.isError, undefined, name);
    // Stringified, the chart shows the order of its members too.
    assert.equal(JSON.stringify(cast.structuredContent), JSON.stringify(JSON.parse(json)), name);
    assert.ok(validChart(cast.structuredContent), `${name}: ${JSON.stringify(validChart.errors)}`);
    assert.deepEqual(cast.content, [{ type: "text", text }], name);
    assert.equal("correction" in cast.structuredContent, Object.keys(birth).length > 2, name);

    const board = await client.callTool({ name: "draw_board", arguments: birth });
    const svg = readFileSync(svgFile, "utf8");
    const resource = board.content.find((c) => c.type === "resource").resource;
    assert.equal(resource.mimeType, "image/svg+xml", name);
    assert.equal(resource.text, svg, name);
    assert.equal(board.structuredContent.svg, svg, name);
    assert.equal(board.structuredContent.correction, Object.keys(birth).length > 2 ? text.split("\n")[0] : "", name);
  }
}

describe("over standard input and output", () => {
  test("lists the four tools, each with a title, a description and both schemas", async () => {
    const { tools } = await stdio.listTools();
    assert.deepEqual(tools.map((t) => t.name).sort(), ["cast_chart", "describe", "draw_board", "find_places"]);
    for (const tool of tools) {
      assert.ok(tool.title && tool.description.length > 80, tool.name);
      assert.equal(tool.inputSchema.type, "object", tool.name);
      assert.equal(tool.inputSchema.additionalProperties, false, tool.name);
      assert.equal(tool.outputSchema.type, "object", tool.name);
    }
    const cast = tools.find((t) => t.name === "cast_chart");
    assert.deepEqual(cast.inputSchema.required, ["date", "time"]);
    assert.deepEqual(Object.keys(cast.inputSchema.properties), ["date", "time", "place", "zone", "longitude", "solar", "dst"]);
    // The chart's schema as docs/velmora-chart.schema.json gives it, word for word.
    const { $schema, $defs, ...chart } = cast.outputSchema;
    assert.equal($schema, chartSchema.$schema);
    assert.deepEqual($defs, chartSchema.$defs);
    assert.deepEqual(chart, chartSchema.$defs.chart);
  });

  test("cast_chart and draw_board give velmora-cli's chart, reading and board", () => checkBirths(stdio));

  test("find_places lists velmora-cli's cities, most populous first", async () => {
    for (const query of ["Springfield, Illinois", "sao paulo", "London, CA"]) {
      const listed = spawnSync(cli, ["--places", query], { encoding: "utf8", env: { ...process.env, LC_ALL: "C.UTF-8" } });
      const expected = listed.stdout.split("\n").filter(Boolean).slice(0, 3).map((line) => line.split("\t").slice(0, 2));
      const found = await stdio.callTool({ name: "find_places", arguments: { query, limit: 3 } });
      assert.deepEqual(found.structuredContent.places.map((p) => [p.label, p.zone]), expected, query);
    }
    const none = await stdio.callTool({ name: "find_places", arguments: { query: "Qwxyz" } });
    assert.deepEqual(none.structuredContent.places, []);
  });

  test("describe gives each palace's and star's kind and its text in the reading", async () => {
    const birth = { date: "2000-02-04", time: "23:00" };
    const reading = await cliOutput(birth, "--format", "text");
    const cases = [
      ["Life", "palace", 23], ["Greedy Wolf", "main star", 44], ["7 Kills", "main star", 48],
      ["Fiery Star", "auxiliary star", 54], ["angel  1", "auxiliary star", 62], ["Festival", "minor star", 87],
    ];
    for (const [name, kind, code] of cases) {
      const { structuredContent: item, isError } = await stdio.callTool({ name: "describe", arguments: { name } });
      assert.equal(isError, undefined, name);
      assert.equal(item.kind, kind, name);
      assert.equal(item.code, code, name);
      // The palace's description follows its Place line; a star's follows its name and a colon.
      const line = kind === "palace" ? reading.split("\n")[reading.split("\n").indexOf(`Place:${item.name}`) + 1]
        : `${item.name}:${item.description}`;
      assert.ok(reading.split("\n").includes(line) && line.endsWith(item.description), name);
    }
    const unknown = await stdio.callTool({ name: "describe", arguments: { name: "Purple Star" } });
    assert.equal(unknown.isError, true);
    assert.match(unknown.content[0].text, /^name "Purple Star": no palace or star has that name; give/);
  });

  test("a refused birth is an error result in velmora-cli's words", async () => {
    // The package names the birth place's fields as the tools do: "zone", not "--zone".
    const asTool = (line) => line.replace(/^--(zone|longitude|place) /, "$1 ").replace("--dst on or --dst off", "dst: true or dst: false");
    const cases = [
      { date: "2000-02-30", time: "12:00" },
      { date: "banana", time: "12:00" },
      { date: "2000-02-04", time: "24:00" },
      { date: "1901-12-31", time: "22:59" },
      { date: "9".repeat(300), time: "12:00" },
      { date: "2021-03-14", time: "02:30", zone: "America/New_York" },
      { date: "2021-11-07", time: "01:30", zone: "America/New_York" },
      { date: "2000-02-04", time: "23:00", zone: "Mars/Olympus_Mons" },
      { date: "2000-02-04", time: "23:00", zone: "Asia/Shanghai", longitude: "east" },
      { date: "2000-02-04", time: "23:00", place: "Atlantiss" },
      { date: "2000-02-04", time: "23:00", place: "x".repeat(300) },
    ];
    for (const birth of cases) {
      const { refusal } = await cliOutput(birth);
      assert.ok(refusal, "velmora-cli refuses it too");
      for (const tool of ["cast_chart", "draw_board"]) {
        const answer = await stdio.callTool({ name: tool, arguments: birth });
        assert.equal(answer.isError, true, `${tool} ${refusal}`);
        assert.deepEqual(answer.content, [{ type: "text", text: asTool(refusal) }]);
      }
    }
  });

  test("hostile arguments are answered in words, and the server answers on", async () => {
    const good = { date: "2000-02-04", time: "23:00" };
    const cases = [
      ["cast_chart", { date: 20000204, time: "23:00" }, /date is the birth date/],
      ["cast_chart", { time: "23:00" }, /date is the birth date/],
      ["cast_chart", { ...good, zone: ["Asia/Shanghai"] }, /zone is the name of a time zone/],
      ["cast_chart", { ...good, solar: "sidereal" }, /solar is "standard", "mean" or "apparent"/],
      ["cast_chart", { ...good, birthday: "today" }, /cast_chart takes date, time, place, zone, longitude, solar, dst; "birthday" is none/],
      ["cast_chart", { ...good, place: "Urumqi", zone: "Asia/Shanghai" }, /not both/],
      // Within the 10 MB a message to the SDK's transport may take.
      ["draw_board", { date: "7".repeat(4e6), time: "\u0000".repeat(5e5) }, /^--date "7{120}\.\.\.": not a date/],
      ["find_places", { query: "springfield", limit: -1 }, /limit is how many cities/],
      ["describe", { name: { toString: "Life" } }, /name is a palace's or a star's English name/],
      ["describe", { name: "Life".repeat(1e5) }, /no palace or star has that name/],
      ["no_such_tool", {}, /no_such_tool/],
    ];
    const expected = await stdio.callTool({ name: "cast_chart", arguments: good });
    // A query longer than any city's name names none.
    const long = await stdio.callTool({ name: "find_places", arguments: { query: "\u00e9".repeat(1e6) } });
    assert.deepEqual(long.structuredContent.places, []);
    assert.match(long.content[0].text, /^"\u00e9{120}\.\.\.": no city of 15,000 people/);
    for (const [name, args, said] of cases) {
      const answer = await stdio.callTool({ name, arguments: args });
      assert.equal(answer.isError, true, name);
      assert.match(answer.content[0].text, said, name);
      assert.deepEqual(await stdio.callTool({ name: "cast_chart", arguments: good }), expected, name);
    }
  });

  test("read_chart gives the chart and its reading with the instruction to explain it", async () => {
    const birth = { date: "1990-01-15", time: "09:30", place: "Urumqi" };
    const { prompts } = await stdio.listPrompts();
    assert.deepEqual(prompts.map((p) => p.name), ["read_chart"]);
    const { messages } = await stdio.getPrompt({ name: "read_chart", arguments: birth });
    const text = messages[0].content.text;
    assert.match(text, /^Explain this Chinese palace-and-star natal chart/);
    assert.ok(text.includes(await cliOutput(birth, "--format", "json")));
    assert.ok(text.endsWith(await cliOutput(birth, "--format", "text")));
    await assert.rejects(stdio.getPrompt({ name: "read_chart", arguments: { date: "2000-02-30", time: "12:00" } }),
      /February 2000 has no day 30/);
  });
});

// Starts `velmora-mcp ARGS` and gives its process with the address its first line names.
function startHttp(...args) {
  const child = spawn(server, ["--http", ...args], { stdio: ["ignore", "ignore", "pipe"] });
  return new Promise((resolvePromise, reject) => {
    let said = "";
    child.stderr.on("data", (bytes) => {
      said += bytes;
      const address = /http:\/\/127\.0\.0\.1:(\d+)\/mcp/.exec(said);
      if (address) resolvePromise({ child, url: new URL(address[0]), port: Number(address[1]) });
    });
    child.once("exit", (status) => reject(new Error(`velmora-mcp --http ended with ${status}: ${said}`)));
  });
}

// A request with the headers given, Host included, as a page or a rebound name would send it.
function post(port, headers) {
  const body = JSON.stringify({ jsonrpc: "2.0", id: 1, method: "tools/list" });
  return new Promise((resolvePromise, reject) => {
    const req = httpRequest({ host: "127.0.0.1", port, path: "/mcp", method: "POST", headers: {
      "content-type": "application/json", accept: "application/json, text/event-stream", ...headers } }, (res) => {
      let text = "";
      res.on("data", (bytes) => (text += bytes));
      res.on("end", () => resolvePromise({ status: res.statusCode, text }));
    });
    req.on("error", reject);
    req.end(body);
  });
}

describe("over Streamable HTTP", () => {
  let http;
  let client;
  before(async () => {
    http = await startHttp("0");
    client = await connect(new StreamableHTTPClientTransport(http.url));
  });
  after(async () => {
    await client?.close();
    http?.child.kill();
  });

  test("cast_chart and draw_board give velmora-cli's chart, reading and board", async () => {
    assert.equal((await client.listTools()).tools.length, 4);
    await checkBirths(client);
    const refused = await client.callTool({ name: "cast_chart", arguments: { date: "2000-02-30", time: "12:00" } });
    assert.equal(refused.isError, true);
  });

  test("a request from another Origin or for another Host is refused", async () => {
    const local = await post(http.port, { host: `localhost:${http.port}`, origin: `http://localhost:${http.port}` });
    assert.equal(local.status, 200, local.text);
    for (const headers of [
      { origin: "http://evil.example" },
      { origin: "null" },
      { origin: `http://127.0.0.1.evil.example:${http.port}` },
      { host: `evil.example:${http.port}` },
      { host: `rebound.example:${http.port}`, origin: `http://rebound.example:${http.port}` },
    ]) {
      const refused = await post(http.port, headers);
      assert.equal(refused.status, 403, JSON.stringify(headers));
      assert.match(JSON.parse(refused.text).error.message, /is not this machine/);
    }
    assert.equal((await client.listTools()).tools.length, 4);
  });

  test("a port in use is refused in one line", async () => {
    const second = spawnSync(server, ["--http", String(http.port)], { encoding: "utf8" });
    assert.equal(second.status, 2);
    assert.match(second.stderr, /^velmora-mcp: --http \d+: the port is in use on 127\.0\.0\.1; give another/);
  });
});

test("publint --strict finds no problem in the installed package", () => {
  execFileSync(join(web, "node_modules", ".bin", "publint"), ["--strict", join(scratch, "node_modules", "velmora-mcp")],
    { cwd: scratch, stdio: "pipe" });
});

test("--help, --version and a bad option, as velmora-cli answers them", () => {
  const help = spawnSync(server, ["--help"], { encoding: "utf8" });
  assert.equal(help.status, 0);
  assert.match(help.stdout, /^Usage: velmora-mcp \[options\]\n/);
  const version = spawnSync(server, ["--version"], { encoding: "utf8" });
  const { version: packageVersion } = JSON.parse(execFileSync("tar", ["-xzOf", mcpPackage, "package/package.json"]));
  assert.equal(version.stdout, `velmora-mcp ${packageVersion}\n`);
  for (const args of [["--stdio"], ["--http", "http"], ["--http", "70000"], ["--help", "--http"]]) {
    const bad = spawnSync(server, args, { encoding: "utf8" });
    assert.equal(bad.status, 2, args.join(" "));
    assert.equal(bad.stdout, "");
    assert.match(bad.stderr, /^velmora-mcp: [^\n]+\n$/, args.join(" "));
  }
});
