// The page's service worker in Chromium, against a server on 127.0.0.1 that misbehaves on
// purpose once the page has been seen: a captive portal's page for every address, a server
// error, an answer that never comes, a redirected start address, then no server at all. The kept
// page must open and cast through all of them, and never be replaced by what the network gave.
//
//   VELMORA_SITE=build/web/site node --test web/test/worker.test.mjs

import assert from "node:assert/strict";
import { createServer } from "node:http";
import { readFile } from "node:fs/promises";
import { extname, join, resolve } from "node:path";
import { after, before, test } from "node:test";
import { launch } from "./browser.mjs";

const root = resolve(new URL(".", import.meta.url).pathname, "../..");
const site = process.env.VELMORA_SITE ?? join(root, "build/web/site");

const kTypes = {
  ".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8", ".css": "text/css",
  ".wasm": "application/wasm", ".webmanifest": "application/manifest+json", ".png": "image/png",
};

// How the server answers: "good" serves the folder; the others misbehave.
let mode = "good";
const hanging = new Set();
const misbehaviours = {
  portal: (response) =>
    response.writeHead(200, { "Content-Type": "text/html" }).end("<!DOCTYPE html><title>Sign in</title><p>Sign in to the Wi-Fi"),
  error: (response) => response.writeHead(503, { "Content-Type": "text/html" }).end("<p>Service unavailable"),
  hang: (response) => hanging.add(response),
  down: (response) => response.socket.destroy(),
};

async function answer(request, response) {
  const path = new URL(request.url, "http://localhost").pathname;
  if (mode !== "good" && mode !== "redirect") return misbehaviours[mode](response);
  if (mode === "redirect" && path === "/") {
    return response.writeHead(302, { Location: "/index.html" }).end();
  }
  try {
    const body = await readFile(join(site, path === "/" ? "index.html" : path));
    response.writeHead(200, { "Content-Type": kTypes[extname(path)] ?? kTypes[".html"], "Cache-Control": "no-cache" });
    response.end(body);
  } catch {
    response.writeHead(404).end();
  }
}

let server;
let origin;
let browser;
before(async () => {
  server = createServer((request, response) => void answer(request, response));
  await new Promise((done) => server.listen(0, "127.0.0.1", done));
  origin = `http://127.0.0.1:${server.address().port}`;
  browser = await launch();
});
after(async () => {
  for (const response of hanging) response.socket?.destroy();
  await browser?.close();
  server?.close();
});

async function until(page, predicate, arg) {
  for (const start = Date.now(); Date.now() - start < 15000; await new Promise((done) => setTimeout(done, 50))) {
    if (await page.evaluate(predicate, arg).catch(() => false)) return;
  }
  assert.fail(`the page never came to ${predicate}`);
}

// Opens the page and waits until the worker controls it and keeps every file.
async function firstVisit(context) {
  const page = await context.newPage();
  await page.goto(`${origin}/`);
  await page.waitForSelector("#board svg");
  await page.evaluate(() => navigator.serviceWorker.ready.then(() => true));
  await until(page, () => navigator.serviceWorker.controller !== null);
  await until(page, () => caches.match("velmora.wasm").then((kept) => kept !== undefined));
  return page;
}

// The page opened again: its form is there, a birth casts, and the index kept is still the page.
async function opensAndCasts(page, name) {
  const start = Date.now();
  await page.reload({ timeout: 20000 });
  await page.waitForSelector("#birth-date", { timeout: 20000 });
  await page.waitForSelector("#board svg");
  const took = Date.now() - start;
  await page.fill("#birth-date", "2000-02-04");
  await page.fill("#birth-time", "23:00");
  await page.click("#run");
  await until(page, () => document.querySelector("#heading").textContent.includes("4 February 2000"));
  const kept = await page.evaluate(async () => {
    const [index, start] = await Promise.all([caches.match("index.html"), caches.match("./")]);
    return [await index?.text(), await start?.text()].map((text) => text?.includes('id="birth"') ?? false);
  });
  assert.deepEqual(kept, [true, true], `${name}: the kept index is the page's`);
  return took;
}

test("the kept page opens and casts when the network gives a portal's page, an error, nothing within seconds, or is gone", async () => {
  mode = "good";
  const context = await browser.newContext();
  const page = await firstVisit(context);
  for (const name of ["portal", "error", "hang", "down"]) {
    mode = name;
    const took = await opensAndCasts(page, name);
    if (name === "hang") assert.ok(took < 8000, `an answer that never comes holds the page ${took} ms`);
  }
  mode = "good";
  await opensAndCasts(page, "good again");
  await context.close();
});

test("a start address the server redirects is not kept as a redirection: the page opens from it offline", async () => {
  mode = "redirect";
  const context = await browser.newContext();
  const page = await firstVisit(context);
  mode = "down";
  await page.goto(`${origin}/`);
  await opensAndCasts(page, "redirected, then down");
  await context.close();
  mode = "good";
});
