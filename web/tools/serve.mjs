// Serves a folder on 127.0.0.1 and prints the address: the page as any static server gives it.
//
//   node web/tools/serve.mjs FOLDER [PORT]   (PORT 0 picks a free one; default 8000)

import { createServer } from "node:http";
import { readFile } from "node:fs/promises";
import { extname, join, normalize, resolve, sep } from "node:path";

const kTypes = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".css": "text/css; charset=utf-8",
  ".svg": "image/svg+xml",
  ".png": "image/png",
  ".ico": "image/x-icon",
};

const folder = resolve(process.argv[2] ?? ".");
const port = Number(process.argv[3] ?? 8000);

const server = createServer(async (request, response) => {
  const path = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
  const file = normalize(join(folder, path.endsWith("/") ? path + "index.html" : path));
  if (file !== folder && !file.startsWith(folder + sep)) {
    response.writeHead(403).end();
    return;
  }
  try {
    const body = await readFile(file);
    response.writeHead(200, {
      "Content-Type": kTypes[extname(file)] ?? "application/octet-stream",
      "Cache-Control": "no-cache",
    });
    response.end(body);
  } catch {
    response.writeHead(404, { "Content-Type": "text/plain; charset=utf-8" }).end("Not found\n");
  }
});
server.listen(port, "127.0.0.1", () => {
  console.log(`Serving ${folder} at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
});
