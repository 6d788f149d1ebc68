// The packed package in the clients JavaScript developers use: Node as ES module and CommonJS,
// TypeScript under strict and exactOptionalPropertyTypes, Vite, webpack 5 and esbuild's
// ES2020 IIFE bundle opened in Chromium; each casts the births of clients/births.json and must
// give velmora-cli's JSON and reading. Then the packed package through @arethetypeswrong/cli
// and publint --strict.
//
//   VELMORA_PACKAGE=build/web/velmora-1.31.0.tgz VELMORA_CLI=build/release/src/cli/velmora-cli \
//     node --test web/test/clients.test.mjs

import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import { cpSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, renameSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join, resolve } from "node:path";
import { after, before, describe, test } from "node:test";

import { launch, serve } from "./browser.mjs";

const web = resolve(import.meta.dirname ?? new URL(".", import.meta.url).pathname, "..");
const root = resolve(web, "..");
const bin = (tool) => join(web, "node_modules", ".bin", tool);
const cli = process.env.VELMORA_CLI ?? join(root, "build/release/src/cli/velmora-cli");
const packed = resolve(
  process.env.VELMORA_PACKAGE ??
    join(root, "build/web", readdirSync(join(root, "build/web")).find((f) => /^velmora-[0-9].*\.tgz$/.test(f))),
);

const scratch = mkdtempSync(join(tmpdir(), "velmora-clients-"));
const clients = join(scratch, "clients");
const births = JSON.parse(readFileSync(join(web, "test/clients/births.json"), "utf8"));

// velmora-cli's JSON and reading for each birth, the birth place as its options.
function expected() {
  return births.map((birth) => {
    const options = ["--date", birth.date, "--time", birth.time];
    if (birth.zone) options.push("--zone", birth.zone);
    if (birth.longitude) options.push("--longitude", String(birth.longitude));
    if (birth.solar) options.push("--solar", birth.solar);
    if (birth.dst) options.push("--dst", birth.dst);
    const run = (format) => execFileSync(cli, [...options, "--format", format], { encoding: "utf8" });
    return [run("json"), run("text")];
  });
}

let answers;
let browser;

before(async () => {
  // The package installed as npm installs it, beside the clients.
  execFileSync("tar", ["-xzf", packed, "-C", scratch]);
  mkdirSync(join(scratch, "node_modules"));
  renameSync(join(scratch, "package"), join(scratch, "node_modules", "velmora"));
  cpSync(join(web, "test/clients"), clients, { recursive: true });
  answers = expected();
  browser = await launch();
});
after(async () => {
  await browser?.close();
  rmSync(scratch, { recursive: true, force: true });
});

// Opens a built client's folder from 127.0.0.1 and waits for its answers.
async function inChromium(folder) {
  const server = await serve(folder);
  const page = await browser.newPage();
  const errors = [];
  page.on("pageerror", (error) => errors.push(String(error)));
  try {
    await page.goto(`${server.origin}/index.html`);
    await page.waitForFunction(() => window.velmoraResult !== undefined, null, { timeout: 30000 });
    assert.deepEqual(errors, []);
    return await page.evaluate(() => window.velmoraResult);
  } finally {
    await page.close();
    server.stop();
  }
}

const run = (command, args, cwd) => execFileSync(command, args, { cwd, encoding: "utf8", stdio: "pipe" });

describe("in Node", () => {
  test("as an ES module, ready on import", () => {
    const dir = join(clients, "node-esm");
    assert.deepEqual(JSON.parse(run(process.execPath, ["main.mjs", "../births.json"], dir)), answers);
  });

  test("as CommonJS, ready when require returns", () => {
    const dir = join(clients, "node-cjs");
    assert.deepEqual(JSON.parse(run(process.execPath, ["main.cjs", "../births.json"], dir)), answers);
  });

  test("velmora/places as an ES module and as CommonJS, velmora-cli's first five cities", () => {
    const queries = ["Urumqi", "Springfield, Illinois", "sao paulo", "London, CA", "Qwxyz"];
    const expected = queries.map((query) => {
      const listed = spawnSync(cli, ["--places", query], { encoding: "utf8", env: { ...process.env, LC_ALL: "C.UTF-8" } });
      return listed.stdout.split("\n").filter(Boolean).slice(0, 5).map((line) => line.split("\t").slice(0, 2).join("\t"));
    });
    for (const [folder, script] of [["node-esm", "places.mjs"], ["node-cjs", "places.cjs"]]) {
      const output = run(process.execPath, [script, JSON.stringify(queries)], join(clients, folder));
      assert.deepEqual(JSON.parse(output), expected, script);
    }
  });
});

test("TypeScript, strict with exactOptionalPropertyTypes, under bundler and node16", () => {
  const dir = join(clients, "typescript");
  for (const config of ["tsconfig.bundler.json", "tsconfig.node16.json"]) {
    run(bin("tsc"), ["-p", config], dir);
  }
});

describe("in Chromium", () => {
  test("a Vite production build", async () => {
    const dir = join(clients, "vite");
    // Without a warning: the ES module holds no CommonJS variable for Vite to remark on.
    const build = spawnSync(bin("vite"), ["build", "--outDir", "dist", "--logLevel", "warn"], {
      cwd: dir,
      encoding: "utf8",
    });
    assert.equal(build.status, 0, build.stderr);
    assert.equal(build.stderr.trim(), "");
    assert.deepEqual(await inChromium(join(dir, "dist")), answers);
  });

  test("a webpack 5 production build", async () => {
    const dir = join(clients, "webpack");
    run(bin("webpack"), ["--mode", "production", "--entry", "./main.js", "--output-path", "dist",
      "--output-filename", "main.js"], dir);
    cpSync(join(dir, "index.html"), join(dir, "dist", "index.html"));
    assert.deepEqual(await inChromium(join(dir, "dist")), answers);
  });

  test("esbuild's ES2020 IIFE bundle through velmora/load", async () => {
    const dir = join(clients, "esbuild");
    run(bin("esbuild"), ["main.js", "--bundle", "--format=iife", "--target=es2020", "--outfile=dist/main.js",
      "--log-level=warning"], dir);
    cpSync(join(dir, "index.html"), join(dir, "dist", "index.html"));
    assert.deepEqual(await inChromium(join(dir, "dist")), answers);
  });
});

test("@arethetypeswrong/cli and publint --strict find no problem in the packed package", () => {
  run(bin("attw"), [packed, "--format", "ascii"], scratch);
  run(bin("publint"), ["--strict", join(scratch, "node_modules", "velmora")], scratch);
});
