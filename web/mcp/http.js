// The server over Streamable HTTP at /mcp on 127.0.0.1, for this machine's own clients only: a
// request whose Host or Origin names another machine is refused, so that no web page can reach
// the server through a name that resolves to 127.0.0.1 (DNS rebinding). Each request is answered
// by a server of its own, without sessions: every tool answers from its arguments alone.

import { createServer as createHttpServer } from "node:http";

import { StreamableHTTPServerTransport } from "@modelcontextprotocol/sdk/server/streamableHttp.js";

import { createServer } from "./server.js";

const kLocalHosts = new Set(["127.0.0.1", "localhost", "[::1]"]);

// The host name of a Host header ("127.0.0.1:8787") or an origin ("http://localhost:8787"),
// or null for one that cannot be read.
function hostName(text, scheme) {
  try {
    const url = new URL(scheme ? text : `http://${text}`);
    if (scheme && url.protocol !== "http:" && url.protocol !== "https:") return null;
    return url.hostname;
  } catch {
    return null;
  }
}

// Why a request may not be answered, or null when it may: its Host must be this machine, and so
// must its Origin when a browser sends one.
function refusalOf(request) {
  const host = request.headers.host;
  if (host === undefined || !kLocalHosts.has(hostName(host, false))) {
    return `the Host ${JSON.stringify(host ?? "")} is not this machine; velmora-mcp answers 127.0.0.1 and localhost only.`;
  }
  const origin = request.headers.origin;
  if (origin !== undefined && !kLocalHosts.has(hostName(origin, true))) {
    return `the Origin ${JSON.stringify(origin)} is not this machine; velmora-mcp answers pages of 127.0.0.1 and localhost only.`;
  }
  return null;
}

// A JSON-RPC error as the body of an HTTP answer.
function refuse(response, status, message, headers = {}) {
  response.writeHead(status, { "content-type": "application/json", ...headers });
  response.end(JSON.stringify({ jsonrpc: "2.0", error: { code: -32000, message }, id: null }));
}

async function answer(request, response) {
  const path = new URL(request.url ?? "/", "http://127.0.0.1").pathname;
  const refusal = refusalOf(request);
  if (refusal !== null) return refuse(response, 403, refusal);
  if (path !== "/mcp") return refuse(response, 404, `${path}: velmora-mcp answers at /mcp only.`);
  // Without sessions there is no stream for the server to open on its own, nor one to end.
  if (request.method !== "POST") {
    return refuse(response, 405, `${request.method}: velmora-mcp takes POST requests at /mcp.`, { allow: "POST" });
  }
  const server = createServer();
  const transport = new StreamableHTTPServerTransport({ sessionIdGenerator: undefined, enableJsonResponse: true });
  response.on("close", () => {
    transport.close();
    server.close();
  });
  await server.connect(transport);
  await transport.handleRequest(request, response);
}

/**
 * Serves Streamable HTTP at http://127.0.0.1:PORT/mcp (any free port for 0); resolves to the
 * Node HTTP server once it listens.
 */
export function serveHttp(port) {
  const http = createHttpServer((request, response) => {
    answer(request, response).catch((error) => {
      process.stderr.write(`velmora-mcp: ${error?.message ?? error}\n`);
      if (!response.headersSent) refuse(response, 500, "the request could not be answered.");
      else response.end();
    });
  });
  return new Promise((resolve, reject) => {
    http.once("error", reject);
    http.listen(port, "127.0.0.1", () => {
      http.off("error", reject);
      resolve(http);
    });
  });
}
