// Assembles the JavaScript package and the page from the WebAssembly build: the module's bytes
// go into the script itself, so that nothing is fetched when it starts (Node cannot load the
// module by path here, and a page opened from a folder cannot fetch at all).
//
//   node web/tools/build.mjs BUILD_DIR   (BUILD_DIR/cmake holds the web preset's build)

import { cpSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

const web = join(dirname(fileURLToPath(import.meta.url)), "..");
const root = join(web, "..");
const out = process.argv[2] ?? join(root, "build", "web");
const moduleDir = join(out, "cmake", "src", "web");

const glue = readFileSync(join(moduleDir, "velmora_wasm.js"), "utf8");
const wasmFile = readFileSync(join(moduleDir, "velmora_wasm.wasm"));
const bytes = wasmFile.toString("base64");

// Where the module lays out each number of a chart, as the module itself describes it; the
// script's reads of a field of L become those numbers.
const createModule = new Function(`${glue}\nreturn createVelmoraModule;`)();
const layoutModule = await createModule({ wasmBinary: new Uint8Array(wasmFile) });
const layout = JSON.parse(layoutModule.UTF8ToString(layoutModule._VelmoraChartLayout()));
const api = readFileSync(join(web, "lib", "velmora_api.js"), "utf8").replace(
  /\bL\.(\w+)\b/g,
  (_, name) => {
    if (!Object.hasOwn(layout, name)) throw new Error(`the module lays out no number "${name}"`);
    return String(layout[name]);
  },
);

// The package's version is the program's: "1.31" becomes "1.31.0".
const projectVersion = /project\(Velmora VERSION ([0-9.]+)/.exec(
  readFileSync(join(root, "CMakeLists.txt"), "utf8"),
)[1];
const version = projectVersion.split(".").length === 2 ? `${projectVersion}.0` : projectVersion;

const banner = `// Velmora ${version}: Chinese palace-and-star natal charts, cast in WebAssembly.\n`;
const core = [
  glue,
  `const wasmBinary = Uint8Array.from(atob("${bytes}"), (c) => c.charCodeAt(0));`,
  api,
].join("\n");

// The package: an ES module that is ready when its import is.
const pkgOut = join(out, "package");
rmSync(pkgOut, { recursive: true, force: true });
mkdirSync(pkgOut, { recursive: true });
writeFileSync(
  join(pkgOut, "velmora.js"),
  `${banner}${core}
const api = velmoraApi(await createVelmoraModule({ wasmBinary }));
export const {
  castChart,
  chartJson,
  readingHtml,
  readingText,
  boardSvg,
  htmlPage,
  birthHeading,
  correctionLine,
  bareBoardSvg,
} = api;
`,
);
for (const file of ["README.md", "velmora.d.ts"]) cpSync(join(web, "package", file), join(pkgOut, file));
cpSync(join(root, "LICENSE"), join(pkgOut, "LICENSE"));
const manifest = JSON.parse(readFileSync(join(web, "package", "package.json"), "utf8"));
manifest.version = version;
writeFileSync(join(pkgOut, "package.json"), JSON.stringify(manifest, null, 2) + "\n");

// The page: a classic script, since a page opened from a folder may not load modules.
const siteOut = join(out, "site");
rmSync(siteOut, { recursive: true, force: true });
cpSync(join(web, "site"), siteOut, { recursive: true });
writeFileSync(
  join(siteOut, "velmora.js"),
  `${banner}(() => {
"use strict";
${core}
globalThis.velmoraReady = createVelmoraModule({ wasmBinary }).then(velmoraApi);
})();
`,
);
console.log(`velmora ${version}: ${pkgOut}, ${siteOut}`);
