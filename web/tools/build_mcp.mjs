// Assembles the package velmora-mcp beside the package velmora that web/tools/build.mjs wrote:
// the same version, depending on that velmora and on the Model Context Protocol SDK and its
// schema library at exactly the versions web/package-lock.json holds.
//
//   node web/tools/build_mcp.mjs BUILD_DIR   (BUILD_DIR/package holds the package velmora)

import { chmodSync, cpSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";

const web = join(dirname(fileURLToPath(import.meta.url)), "..");
const root = join(web, "..");
const out = process.argv[2] ?? join(root, "build", "web");
const readJson = (file) => JSON.parse(readFileSync(file, "utf8"));

const { version } = readJson(join(out, "package", "package.json"));
const locked = readJson(join(web, "package-lock.json")).packages;
const lockedVersion = (name) => {
  const entry = locked[`node_modules/${name}`];
  if (entry === undefined) throw new Error(`web/package-lock.json holds no ${name}`);
  return entry.version;
};

const mcpOut = join(out, "mcp");
rmSync(mcpOut, { recursive: true, force: true });
mkdirSync(mcpOut, { recursive: true });
const manifest = readJson(join(web, "mcp", "package.json"));
manifest.version = version;
for (const name of Object.keys(manifest.dependencies)) {
  manifest.dependencies[name] = name === "velmora" ? version : lockedVersion(name);
}
writeFileSync(join(mcpOut, "package.json"), JSON.stringify(manifest, null, 2) + "\n");
for (const file of manifest.files) {
  const from =
    file === "LICENSE" ? join(root, "LICENSE")
    : file === "velmora-chart.schema.json" ? join(root, "docs", file)
    : join(web, "mcp", file);
  cpSync(from, join(mcpOut, file));
}
chmodSync(join(mcpOut, "velmora-mcp.js"), 0o755);
console.log(`velmora-mcp ${version}: ${mcpOut}`);
