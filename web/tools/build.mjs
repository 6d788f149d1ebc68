// Assembles the JavaScript package and the page from the WebAssembly build: the module's bytes
// go into the script itself, so that nothing is fetched when it starts (Node cannot load the
// module by path here, and a page opened from a folder cannot fetch at all).
//
//   node web/tools/build.mjs BUILD_DIR   (BUILD_DIR/cmake holds the web preset's build, and
//                                        BUILD_DIR/place-index.json what velmora-place-index wrote)

import { createHash } from "node:crypto";
import { cpSync, existsSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

import { checkPlaces, finderSource, packPlaces, packedSource } from "./place_index.mjs";

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

// The zone table velmora-zone-table wrote from the system's time zone database, checked by the
// module that reads it; its database's version is written into the script.
const zoneTableFile = join(out, "zone-table.bin");
if (!existsSync(zoneTableFile)) {
  throw new Error(`${zoneTableFile} is missing: build velmora-zone-table and write its output there (./dev web does both)`);
}
const zoneTable = readFileSync(zoneTableFile);
const zoneTableAt = layoutModule._malloc(zoneTable.length);
layoutModule.HEAPU8.set(zoneTable, zoneTableAt);
if (layoutModule._VelmoraLoadZones(zoneTableAt, zoneTable.length) !== 1) {
  throw new Error(`${zoneTableFile} is not a whole zone table`);
}
const zoneDatabase = layoutModule.UTF8ToString(layoutModule._VelmoraZoneDatabase());
const zoneTableText = zoneTable.toString("base64");

const api = readFileSync(join(web, "lib", "velmora_api.js"), "utf8")
  .replace(/\bL\.(\w+)\b/g, (_, name) => {
    if (!Object.hasOwn(layout, name)) throw new Error(`the module lays out no number "${name}"`);
    return String(layout[name]);
  })
  .replace("ZONE_DATABASE", JSON.stringify(zoneDatabase));

// The package's version is the program's: "1.31" becomes "1.31.0".
const projectVersion = /project\(Velmora VERSION ([0-9.]+)/.exec(
  readFileSync(join(root, "CMakeLists.txt"), "utf8"),
)[1];
const version = projectVersion.split(".").length === 2 ? `${projectVersion}.0` : projectVersion;

const banner = `// Velmora ${version}: Chinese palace-and-star natal charts, cast in WebAssembly.\n`;
// The glue without its closing lines, which hand the factory to CommonJS or AMD: each file below
// says itself how it hands things on.
const factory = glue.slice(0, glue.search(/\nif \(typeof exports === 'object' && typeof module === 'object'\)/));
if (/\bmodule\.exports\b|\bdefine\(/.test(factory)) throw new Error("the glue hands itself on in another way");
const core = [
  factory,
  `const wasmBinary = Uint8Array.from(atob("${bytes}"), (c) => c.charCodeAt(0));`,
  api,
  `// The zone table's bytes, decoded from its text when a birth first names a zone.
let zoneBytes = null;
function zoneTableBytes() {
  if (zoneBytes === null) {
    const text = atob(zoneTableText());
    zoneBytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) zoneBytes[i] = text.charCodeAt(i);
  }
  return zoneBytes;
}`,
  `// The module instantiated at once, compiled from its bytes in this thread: for Node, where
// CommonJS wants the functions ready when require returns.
function instantiateNow() {
  const settings = {
    wasmBinary,
    instantiateWasm(imports, receive) {
      const instance = new WebAssembly.Instance(new WebAssembly.Module(wasmBinary), imports);
      receive(instance);
      return instance.exports;
    },
  };
  createVelmoraModule(settings).catch(() => {}); // ready before this returns; its promise is not needed
  return velmoraApi(settings, zoneTableBytes);
}

// The module instantiated in the background, as browsers want a module compiled.
let loading = null;
function loadModule() {
  loading ??= createVelmoraModule({ wasmBinary }).then((wasm) => velmoraApi(wasm, zoneTableBytes), (error) => {
    loading = null;
    throw new Error(\`Velmora's WebAssembly module could not be loaded: \${error?.message ?? error}\`, {
      cause: error,
    });
  });
  return loading;
}`,
].join("\n");
const names = ["castChart", "chartJson", "readingHtml", "readingText", "boardSvg", "htmlPage",
  "birthHeading", "correctionLine", "bareBoardSvg", "zoneNames", "zoneDatabase", "describeItem"];
const zonesBanner = `${banner}// The history of every time zone, from the time zone database ${zoneDatabase}.\n`;

// The package, reachable three ways from the one module build: an ES module ready on import, a
// loader without top-level await for bundles of any target and lazy loading, and CommonJS ready
// on return from require.
const pkgOut = join(out, "package");
rmSync(pkgOut, { recursive: true, force: true });
mkdirSync(pkgOut, { recursive: true });
// The zone table, a module of its own: CommonJS reads it only when a birth first names a zone.
writeFileSync(join(pkgOut, "zones.js"), `${zonesBanner}export const zoneTable = "${zoneTableText}";\n`);
writeFileSync(join(pkgOut, "zones.cjs"), `${zonesBanner}"use strict";\nexports.zoneTable = "${zoneTableText}";\n`);
writeFileSync(
  join(pkgOut, "module.js"),
  `${banner}import { zoneTable } from "./zones.js";
const zoneTableText = () => zoneTable;
${core}
/** Loads Velmora's module: resolves to its functions, or rejects with an Error saying what failed. */
export function load() {
  return loadModule();
}
`,
);
writeFileSync(
  join(pkgOut, "velmora.js"),
  `${banner}import { load } from "./module.js";
export const {
  ${names.join(",\n  ")},
} = await load();
`,
);
writeFileSync(join(pkgOut, "load.js"), `${banner}export { load } from "./module.js";\n`);
writeFileSync(
  join(pkgOut, "velmora.cjs"),
  `${banner}"use strict";
const zoneTableText = () => require("./zones.cjs").zoneTable;
${core}
const api = instantiateNow();
${names.map((name) => `exports.${name} = api.${name};`).join("\n")}
`,
);
writeFileSync(
  join(pkgOut, "load.cjs"),
  `${banner}"use strict";
/** Loads Velmora's module: resolves to its functions, or rejects with an Error saying what failed. */
exports.load = () =>
  new Promise((resolve) => resolve(require("./velmora.cjs"))).catch((error) => {
    throw new Error(\`Velmora's WebAssembly module could not be loaded: \${error?.message ?? error}\`, {
      cause: error,
    });
  });
`,
);
// velmora/places: the city finder over the GeoNames table, a module of its own that holds its
// table, so that the core entries stay as small as they were and the table is loaded only by
// whoever imports it.
const placeIndexFile = join(out, "place-index.json");
if (!existsSync(placeIndexFile)) {
  throw new Error(`${placeIndexFile} is missing: build velmora-place-index and write its output there (./dev web does both)`);
}
const placeIndex = JSON.parse(readFileSync(placeIndexFile, "utf8"));
const packedPlaces = packPlaces(placeIndex);
checkPlaces(packedPlaces, placeIndex);
const placesBanner = `${banner}// City data from GeoNames (geonames.org), licensed under CC BY 4.0.\n`;
const placesCore = `${packedSource(packedPlaces)}${finderSource}
const finder = placeFinder(packedPlaces);
`;
const findPlacesDoc = `/**
 * The cities \`query\` names, most populous first, as velmora-cli --places lists them: a city's
 * name or the start of its words, then optionally its region and country (name or two-letter
 * code) after commas. At most \`limit\` of them; every one when it is left out.
 */`;
writeFileSync(
  join(pkgOut, "places.js"),
  `${placesBanner}${placesCore}
${findPlacesDoc}
export function findPlaces(query, limit) {
  return finder.findPlaces(query, limit);
}
`,
);
writeFileSync(
  join(pkgOut, "places.cjs"),
  `${placesBanner}"use strict";
${placesCore}
${findPlacesDoc}
exports.findPlaces = (query, limit) => finder.findPlaces(query, limit);
`,
);
const placesDeclarations = readFileSync(join(web, "package", "places.d.ts"), "utf8");
writeFileSync(join(pkgOut, "places.d.ts"), placesDeclarations);
writeFileSync(join(pkgOut, "places.d.cts"), placesDeclarations);

// The declarations, the same for both module systems.
const declarations = readFileSync(join(web, "package", "velmora.d.ts"), "utf8");
writeFileSync(join(pkgOut, "velmora.d.cts"), declarations);
for (const [file, from] of [["load.d.ts", "./velmora.js"], ["load.d.cts", "./velmora.cjs"]]) {
  writeFileSync(
    join(pkgOut, file),
    `import type * as Velmora from "${from}";

/** The package's functions, as \`load\` resolves to them. */
export type VelmoraApi = typeof Velmora;

/**
 * Loads Velmora's WebAssembly module without top-level await: for bundles of any target, for
 * loading it only when first needed, and for catching a failure to load, which rejects with an
 * Error that says what failed. Every call resolves to the same functions.
 */
export function load(): Promise<VelmoraApi>;
`,
  );
}
for (const file of ["README.md", "velmora.d.ts"]) cpSync(join(web, "package", file), join(pkgOut, file));
cpSync(join(root, "LICENSE"), join(pkgOut, "LICENSE"));
const manifest = JSON.parse(readFileSync(join(web, "package", "package.json"), "utf8"));
manifest.version = version;
writeFileSync(join(pkgOut, "package.json"), JSON.stringify(manifest, null, 2) + "\n");

// The page: classic scripts, since a page opened from a folder may not load modules. Served, the
// page fetches the module's bytes as a file of their own, compressed on the way and compiled as
// they come; opened from a folder, where nothing can be fetched, it reads them from a script of
// their own instead.
const siteOut = join(out, "site");
rmSync(siteOut, { recursive: true, force: true });
cpSync(join(web, "site"), siteOut, { recursive: true, filter: (from) => !from.endsWith("sw.js") });
writeFileSync(
  join(siteOut, "velmora.js"),
  `${banner}(() => {
"use strict";
${factory}
${api}
// A file's bytes: fetched when the page is served, and when it is opened from a folder, where
// nothing can be fetched, read from a script that sets the same bytes in base 64 as \`name\`.
function siteBytes(file, script, name) {
  if (location.protocol !== "file:") {
    return fetch(file).then((response) => {
      if (!response.ok) throw new Error(\`\${file}: \${response.status} \${response.statusText}\`);
      return response.arrayBuffer();
    });
  }
  return new Promise((resolve, reject) => {
    const element = document.createElement("script");
    element.src = script;
    element.onload = () => {
      resolve(Uint8Array.from(atob(globalThis[name]), (c) => c.charCodeAt(0)));
      delete globalThis[name];
    };
    element.onerror = () => reject(new Error(\`\${script} could not be read\`));
    document.head.append(element);
  });
}
// The zone table, loaded by velmoraLoadZones when the birth place is first used.
let zoneBytes = null;
let zonesLoading = null;
globalThis.velmoraLoadZones = () =>
  (zonesLoading ??= siteBytes("zones.bin", "zones.js", "velmoraZoneTable").then(
    (bytes) => {
      zoneBytes = new Uint8Array(bytes);
    },
    (error) => {
      zonesLoading = null;
      throw error;
    },
  ));
globalThis.velmoraReady = siteBytes("velmora.wasm", "velmora-wasm.js", "velmoraWasm")
  .then((bytes) => createVelmoraModule({ wasmBinary: new Uint8Array(bytes) }))
  .then((wasm) => velmoraApi(wasm, () => zoneBytes));
})();
`,
);
writeFileSync(join(siteOut, "velmora.wasm"), wasmFile);
// The page's own script: its modules under web/page/, one job each, bundled into one classic
// script for the same reason.
const { build: bundle } = createRequire(join(web, "package.json"))("esbuild");
await bundle({
  entryPoints: [join(web, "page", "main.js")],
  outfile: join(siteOut, "page.js"),
  bundle: true,
  format: "iife",
  target: "es2021",
  charset: "utf8",
  banner: { js: `// Velmora ${version}: the page's script, bundled from web/page/ by esbuild.\n"use strict";` },
  logLevel: "warning",
});
// The page's city finder, a classic script for the same reason, loaded when the city field is
// first used: the table sets findPlaces on velmoraPlaces.
writeFileSync(
  join(siteOut, "places.js"),
  `${placesBanner}(() => {
"use strict";
${placesCore}
globalThis.velmoraPlaces = { findPlaces: (query, limit) => finder.findPlaces(query, limit) };
})();
`,
);
writeFileSync(join(siteOut, "velmora-wasm.js"), `globalThis.velmoraWasm = "${bytes}";\n`);
writeFileSync(join(siteOut, "zones.bin"), zoneTable);
writeFileSync(join(siteOut, "zones.js"), `${zonesBanner}globalThis.velmoraZoneTable = "${zoneTableText}";\n`);

// The bare board is in the page itself, drawn by the module at build time: it shows at the first
// paint and holds the board's place while the module loads.
const bareBoard = layoutModule.UTF8ToString(layoutModule._VelmoraBareBoardSvg());
const indexFile = join(siteOut, "index.html");
const index = readFileSync(indexFile, "utf8");
if (!index.includes("<!-- bare board -->")) throw new Error("index.html has no place for the bare board");
if (!index.includes("<!-- zone database -->")) throw new Error("index.html has no place for the zone database's version");
writeFileSync(
  indexFile,
  index
    .replace("<!-- bare board -->", bareBoard.slice(bareBoard.indexOf("<svg")))
    .replace("<!-- zone database -->", zoneDatabase),
);

// The service worker keeps every file of the page for use offline, each checked against its
// SHA-256 before it is kept. Its version is a digest of those files, so that a new build is a new
// worker, which the browser fetches on the next visit.
const cached = [
  "index.html", "style.css", "page.js", "velmora.js", "velmora.wasm", "manifest.webmanifest",
  "icons/velmora-192.png", "icons/velmora-512.png",
];
// The city finder and the zone table are kept once the page has loaded them, not fetched with
// the rest.
const keptWhenLoaded = ["places.js", "zones.bin"];
const digest = createHash("sha256");
const digestsOf = (files) =>
  Object.fromEntries(
    files.map((file) => {
      const bytes = readFileSync(join(siteOut, file));
      digest.update(bytes);
      return [file, createHash("sha256").update(bytes).digest("hex")];
    }),
  );
const fileDigests = digestsOf(cached);
const keptDigests = digestsOf(keptWhenLoaded);
const worker = readFileSync(join(web, "site", "sw.js"), "utf8");
for (const placeholder of ['"VERSION"', '{ "FILES": "" }', '{ "KEPT": "" }']) {
  if (!worker.includes(placeholder)) throw new Error(`sw.js has no ${placeholder} for the build to fill in`);
}
writeFileSync(
  join(siteOut, "sw.js"),
  worker
    .replace('"VERSION"', JSON.stringify(digest.digest("hex").slice(0, 16)))
    .replace('{ "FILES": "" }', JSON.stringify(fileDigests))
    .replace('{ "KEPT": "" }', JSON.stringify(keptDigests)),
);
console.log(`velmora ${version}: ${pkgOut}, ${siteOut}`);
