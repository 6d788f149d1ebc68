// The page's server, web/tools/serve.mjs, on a folder of its own: addresses it cannot read are
// answered and it goes on serving, and links are followed only to files inside its folder.
//
//   node --test web/test/serve.test.mjs

import assert from "node:assert/strict";
import { request } from "node:http";
import { mkdtemp, mkdir, rm, symlink, writeFile } from "node:fs/promises";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, test } from "node:test";
import { serve } from "./browser.mjs";

let scratch;
let server;
before(async () => {
  scratch = await mkdtemp(join(tmpdir(), "velmora-serve-"));
  const site = join(scratch, "site");
  await mkdir(join(site, "icons"), { recursive: true });
  await writeFile(join(site, "index.html"), "<!DOCTYPE html><title>in</title>\n");
  await writeFile(join(site, "icons", "a b.png"), "png");
  await writeFile(join(scratch, "secret.txt"), "outside the folder\n");
  await symlink(join(scratch, "secret.txt"), join(site, "secret-link.txt"));
  await symlink(scratch, join(site, "up"));
  await symlink(join(site, "index.html"), join(site, "inside-link.html"));
  server = await serve(site);
});
after(async () => {
  server?.stop();
  await rm(scratch, { recursive: true, force: true });
});

// The status and body of GET `path`, sent as written: no client rewrites it on the way.
function get(path) {
  return new Promise((resolve, reject) => {
    const url = new URL(server.origin);
    request({ host: url.hostname, port: url.port, path }, (response) => {
      let body = "";
      response.setEncoding("utf8");
      response.on("data", (chunk) => (body += chunk));
      response.on("end", () => resolve({ status: response.statusCode, body }));
    })
      .on("error", reject)
      .end();
  });
}

test("each address is answered, and the server goes on serving after the ones it cannot read", async () => {
  const cases = [
    { path: "/", status: 200, body: /<title>in<\/title>/ },
    { path: "/%", status: 400 },
    { path: "/%E0%A4%A", status: 400 },
    { path: "/index.html%ZZ", status: 400 },
    { path: "/icons/a%20b.png", status: 200, body: /^png$/ },
    { path: "/inside-link.html", status: 200, body: /<title>in<\/title>/ },
    { path: "/secret-link.txt", status: 404 },
    { path: "/up/secret.txt", status: 404 },
    { path: "/%2e%2e/secret.txt", status: 404 },
    { path: "/index.html%00", status: 404 },
    { path: "/missing.html", status: 404 },
    { path: "/", status: 200, body: /<title>in<\/title>/ },
  ];
  for (const c of cases) {
    const answer = await get(c.path);
    assert.equal(answer.status, c.status, c.path);
    if (c.body !== undefined) assert.match(answer.body, c.body, c.path);
    assert.doesNotMatch(answer.body, /outside the folder/, c.path);
  }
});
