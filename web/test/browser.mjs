// The system's Chromium, headless, and the page served from 127.0.0.1: shared by the page's
// test and its benchmark.

import { spawn } from "node:child_process";
import { chromium } from "playwright-core";

export const kChromium = process.env.VELMORA_CHROMIUM ?? "/usr/bin/chromium";

// Serves `folder` on a free port; resolves to { origin, stop }.
export function serve(folder) {
  const server = spawn(process.execPath, [new URL("../tools/serve.mjs", import.meta.url).pathname, folder, "0"], {
    stdio: ["ignore", "pipe", "inherit"],
  });
  return new Promise((resolvePromise, reject) => {
    server.once("error", reject);
    server.stdout.once("data", (chunk) => {
      const origin = /http:\/\/127\.0\.0\.1:\d+/.exec(String(chunk))[0];
      resolvePromise({ origin, stop: () => server.kill() });
    });
  });
}

// Chromium without a sandbox (the tests run as root), a GPU, or any request of its own; each
// launch gets a fresh profile folder of its own, removed when the browser closes.
export function launch() {
  return chromium.launch({
    executablePath: kChromium,
    headless: true,
    args: [
      "--no-sandbox",
      "--disable-gpu",
      "--disable-quic",
      "--no-first-run",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
    ],
  });
}
