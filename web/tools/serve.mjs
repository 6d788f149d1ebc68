// Serves a folder on 127.0.0.1 and prints the address: the page as any static server gives it,
// compressed with Brotli or gzip when the browser takes them.
//
//   node web/tools/serve.mjs FOLDER [PORT]   (PORT 0 picks a free one; default 8000)

import { createServer } from "node:http";
import { readFile, realpath, stat } from "node:fs/promises";
import { brotliCompressSync, constants, gzipSync } from "node:zlib";
import { extname, join, resolve, sep } from "node:path";

const kTypes = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".css": "text/css; charset=utf-8",
  ".svg": "image/svg+xml",
  ".png": "image/png",
  ".ico": "image/x-icon",
  ".wasm": "application/wasm",
  ".webmanifest": "application/manifest+json",
  ".bin": "application/octet-stream",
};

// Each file compressed once for each encoding, until it changes.
const compressed = new Map();
async function compress(file, body, encoding) {
  const key = `${encoding} ${file} ${(await stat(file)).mtimeMs}`;
  let packed = compressed.get(key);
  if (packed === undefined) {
    packed =
      encoding === "br"
        ? brotliCompressSync(body, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } })
        : gzipSync(body, { level: 9 });
    compressed.set(key, packed);
  }
  return packed;
}

// Pictures are compressed already.
const kCompressible = /\.(html|js|css|svg|wasm|webmanifest)$/;

const folder = await realpath(resolve(process.argv[2] ?? "."));
const port = Number(process.argv[3] ?? 8000);

// The file an address names, as its real path with every link followed, or null when that lies
// outside the folder or does not exist.
async function fileOf(path) {
  try {
    const file = await realpath(join(folder, path.endsWith("/") ? path + "index.html" : path));
    return file.startsWith(folder + sep) ? file : null;
  } catch {
    return null;
  }
}

const server = createServer(async (request, response) => {
  let path;
  try {
    path = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
  } catch {
    // A malformed % escape names no file; the server goes on serving.
    response.writeHead(400, { "Content-Type": "text/plain; charset=utf-8" }).end("Bad request\n");
    return;
  }
  const file = await fileOf(path);
  if (file === null) {
    response.writeHead(404, { "Content-Type": "text/plain; charset=utf-8" }).end("Not found\n");
    return;
  }
  try {
    let body = await readFile(file);
    const headers = {
      "Content-Type": kTypes[extname(file)] ?? "application/octet-stream",
      "Cache-Control": "no-cache",
    };
    const accepted = String(request.headers["accept-encoding"] ?? "");
    if (kCompressible.test(file)) {
      headers.Vary = "Accept-Encoding";
      const encoding = /\bbr\b/.test(accepted) ? "br" : /\bgzip\b/.test(accepted) ? "gzip" : "";
      if (encoding !== "") {
        body = await compress(file, body, encoding);
        headers["Content-Encoding"] = encoding;
      }
    }
    response.writeHead(200, headers);
    response.end(body);
  } catch {
    response.writeHead(404, { "Content-Type": "text/plain; charset=utf-8" }).end("Not found\n");
  }
});
server.listen(port, "127.0.0.1", () => {
  console.log(`Serving ${folder} at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
});
