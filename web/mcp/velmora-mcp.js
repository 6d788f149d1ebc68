#!/usr/bin/env node
// velmora-mcp: Velmora's Model Context Protocol server, over standard input and output as
// assistants start local servers, or over Streamable HTTP on 127.0.0.1 with --http.

import { StdioServerTransport } from "@modelcontextprotocol/sdk/server/stdio.js";

import { createServer, packageInfo } from "./server.js";

const kProgram = "velmora-mcp";
const kDefaultPort = 8765;

const kHelp = `Usage: ${kProgram} [options]
Velmora's Model Context Protocol server: tools that cast Chinese palace-and-star natal charts
exactly as velmora-cli does (cast_chart, find_places, describe, draw_board) and the prompt
read_chart, offline. Without options it speaks over standard input and output, as an assistant
starts a local server.

Options:
  -h, --help            Print this help and exit.
  --version             Print the program's name and version and exit.
  --http [PORT]         Serve Streamable HTTP at http://127.0.0.1:PORT/mcp instead (port
                        ${kDefaultPort} when left out, any free port for 0); requests whose Host or
                        Origin is not this machine are refused.

Examples:
  ${kProgram}
  ${kProgram} --http
  ${kProgram} --http 9000

Exit status:
  0  success.
  2  bad options, or the port could not be listened on.
Every failure prints one line on standard error, "${kProgram}: ", what is wrong and what is
accepted.
`;

function fail(message) {
  process.stderr.write(`${kProgram}: ${message}\n`);
  process.exit(2);
}

// What the command line asks for: help, the version, HTTP on a port, or standard input and output.
function readArguments(args) {
  if (args.length === 0) return { stdio: true };
  const [first, ...rest] = args;
  if ((first === "-h" || first === "--help" || first === "--version") && rest.length === 0) {
    return first === "--version" ? { version: true } : { help: true };
  }
  if (first === "--http" && rest.length <= 1) {
    if (rest.length === 0) return { port: kDefaultPort };
    if (!/^[0-9]{1,5}$/.test(rest[0]) || Number(rest[0]) > 65535) {
      fail(`--http ${JSON.stringify(rest[0])}: not a port; give a whole number from 0 to 65535, such as ${kDefaultPort}.`);
    }
    return { port: Number(rest[0]) };
  }
  if (["-h", "--help", "--version", "--http"].includes(first)) {
    fail("give --http [PORT], --help or --version, one at a time.");
  }
  fail(`${JSON.stringify(first)} is not an option; give --http [PORT], --help or --version.`);
}

const request = readArguments(process.argv.slice(2));
if (request.help) {
  process.stdout.write(kHelp);
} else if (request.version) {
  process.stdout.write(`${kProgram} ${packageInfo.version}\n`);
} else if (request.stdio) {
  await createServer().connect(new StdioServerTransport());
} else {
  try {
    // Loaded only here: standard input and output, as assistants start the server, answer sooner.
    const { serveHttp } = await import("./http.js");
    const http = await serveHttp(request.port);
    process.stderr.write(`${kProgram}: Streamable HTTP at http://127.0.0.1:${http.address().port}/mcp\n`);
  } catch (error) {
    fail(
      error?.code === "EADDRINUSE"
        ? `--http ${request.port}: the port is in use on 127.0.0.1; give another, or 0 for any free port.`
        : `--http ${request.port}: ${error?.message ?? error}.`,
    );
  }
}
