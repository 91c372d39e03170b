// Bundles the page's script with CesiumJS and lays out the static files `theme3d view` copies
// next to a scene:
//   OUT/page.html                   the page, with slots for the scene's configuration and legend
//   OUT/theme3d-viewer/viewer.js    the page's script and CesiumJS in one file
//   OUT/theme3d-viewer/viewer.css
//   OUT/theme3d-viewer/cesium/      what CesiumJS loads at run time (workers, shaders' assets,
//                                   widget styles, third-party decoders)
// Usage: node build.mjs OUT
import { build } from "esbuild";
import { cpSync, mkdirSync, rmSync, copyFileSync } from "node:fs";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const out = resolve(process.argv[2] ?? join(here, "dist"));
const assets = join(out, "theme3d-viewer");
const cesium = join(here, "node_modules", "cesium", "Build", "Cesium");

rmSync(out, { recursive: true, force: true });
mkdirSync(join(assets, "cesium"), { recursive: true });

await build({
  entryPoints: [join(here, "src", "main.js")],
  outfile: join(assets, "viewer.js"),
  bundle: true,
  minify: true,
  format: "iife",
  target: "es2020",
  legalComments: "linked",
  logLevel: "warning",
});
copyFileSync(join(here, "src", "viewer.css"), join(assets, "viewer.css"));
copyFileSync(join(here, "src", "page.html"), join(out, "page.html"));
// The sky box, moon, lens flare and the sample imagery are never shown; only the rest is copied.
for (const dir of ["Workers", "ThirdParty", "Widgets", "Assets"]) {
  cpSync(join(cesium, dir), join(assets, "cesium", dir), {
    recursive: true,
    filter: (src) => !/Assets[\\/]Textures[\\/](SkyBox|LensFlare|NaturalEarthII|maki)|moonSmall|waterNormals/.test(src),
  });
}
console.log(`viewer: bundled into ${out}`);
