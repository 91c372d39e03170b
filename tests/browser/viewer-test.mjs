// The viewer in a real browser: `theme3d view --serve` serves a scene, headless Chromium (the
// Debian package, driven by puppeteer-core; no browser is ever downloaded) opens the page, and the
// test checks what a person would see: no console error, the class colours where the data is, a
// label drawn, the legend shown, and a click on a known feature showing its values.
//
// node viewer-test.mjs --theme3d EXE --scene PATH --expect FILE.json [--screenshot OUT.png]
//                      [--screenshot-clicked OUT.png]  (the page after the click)
//                      [--legend LEGEND.svg]           (for theme3d view)
//
// FILE.json says what this scene must show:
//   { "feature": label text of a feature to click, "values": { key: value shown on click },
//     "classColors": ["#RRGGBB", ...] colours of the classes, "minClasses": how many of them
//     must be seen, "labelInView": a label text that must be drawn }
import { spawn } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";

const here = dirname(fileURLToPath(import.meta.url));
const require = createRequire(resolve(here, "../../tools/viewer/package.json"));
const puppeteer = require("puppeteer-core");

const args = Object.fromEntries(
  process.argv.slice(2).reduce((pairs, a, i, all) => (a.startsWith("--") ? [...pairs, [a.slice(2), all[i + 1]]] : pairs), []),
);
const expect = JSON.parse(readFileSync(args.expect, "utf8"));
const chromium = process.env.CHROMIUM ?? "/usr/bin/chromium";
const width = 960;
const height = 640;
// SwiftShader draws on the CPU: generous, but bounded.
const loadTimeout = Number(process.env.VIEWER_TEST_TIMEOUT_MS ?? 300000);

let failures = 0;
let passes = 0;
function check(ok, what, detail = "") {
  if (ok) passes += 1;
  else failures += 1;
  console.log(`${ok ? "ok" : "FAIL"}: ${what}${detail ? ` (${detail})` : ""}`);
}

function serve() {
  return new Promise((resolvePromise, reject) => {
    const legend = args.legend ? ["--legend", args.legend] : [];
    const child = spawn(args.theme3d, ["view", args.scene, "--serve", ...legend], { stdio: ["ignore", "pipe", "inherit"] });
    let out = "";
    const timer = setTimeout(() => reject(new Error(`theme3d view printed no address: ${out}`)), 60000);
    child.stdout.on("data", (chunk) => {
      out += chunk;
      const match = out.match(/serving (http:\/\/127\.0\.0\.1:\d+\/\S+)/);
      if (match) {
        clearTimeout(timer);
        resolvePromise({ child, url: match[1] });
      }
    });
    child.on("exit", (code) => reject(new Error(`theme3d view exited with ${code}: ${out}`)));
  });
}

function hex(color) {
  const n = parseInt(color.slice(1), 16);
  return [(n >> 16) & 255, (n >> 8) & 255, n & 255];
}

// Shading scales a colour's channels together and a highlight adds about the same to each, and
// neither moves its hue much: a class colour is recognised by its hue and saturation.
function hueSaturation([r, g, b]) {
  const max = Math.max(r, g, b);
  const range = max - Math.min(r, g, b);
  let hue = 0;
  if (range > 0) {
    if (max === r) hue = (60 * ((g - b) / range) + 360) % 360;
    else if (max === g) hue = 60 * ((b - r) / range) + 120;
    else hue = 60 * ((r - g) / range) + 240;
  }
  return [hue, max > 0 ? range / max : 0];
}

function sameClass(p, k) {
  const [hue, saturation] = hueSaturation(p);
  const dh = Math.abs(hue - k.hue);
  return Math.min(dh, 360 - dh) < 7 && Math.abs(saturation - k.saturation) < 0.2;
}

const { child, url } = await serve();
const profile = mkdtempSync(join(tmpdir(), "theme3d-chromium-"));
const browser = await puppeteer.launch({
  executablePath: chromium,
  headless: true,
  userDataDir: profile,
  args: [
    "--headless=new",
    "--no-sandbox",
    "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader",
    "--disable-gpu-sandbox",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--no-first-run",
    `--window-size=${width},${height}`,
  ],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  const errors = [];
  page.on("console", (m) => m.type() === "error" && errors.push(m.text()));
  page.on("pageerror", (e) => errors.push(String(e)));
  page.on("requestfailed", (r) => errors.push(`request failed: ${r.url()}`));
  // Nothing may leave this machine: every request goes to the tool's own server.
  const origin = new URL(url).origin;
  const outside = [];
  page.on("request", (r) => {
    if (!r.url().startsWith(origin) && !r.url().startsWith("data:") && !r.url().startsWith("blob:")) outside.push(r.url());
  });

  console.log(`opening ${url}`);
  await page.goto(url, { waitUntil: "load", timeout: 60000 });
  await page.waitForFunction("window.theme3d && (window.theme3d.ready || window.theme3d.errors.length > 0)", {
    timeout: loadTimeout,
    polling: 500,
  });
  const pageErrors = await page.evaluate("window.theme3d.errors");
  check(pageErrors.length === 0, "the scene loaded", pageErrors.join("; "));

  const shot = await page.screenshot({ type: "png" });
  if (args.screenshot) writeFileSync(args.screenshot, shot);
  const png = shot.toString("base64");
  const label = await page.evaluate((t) => window.theme3d.labelWindowPosition(t), expect.labelInView);
  const legend = await page.evaluate(() => {
    const box = document.getElementById("legend").getBoundingClientRect();
    const rects = [...document.querySelectorAll("#legend svg rect[fill^='#']")].map((r) => {
      const b = r.getBoundingClientRect();
      return { fill: r.getAttribute("fill"), x: b.x + b.width / 2, y: b.y + b.height / 2 };
    });
    return { x: box.x, y: box.y, width: box.width, height: box.height, rects };
  });
  // Pixels of the screenshot, read back in the page itself (no PNG decoder needed here).
  const pixelsAt = (data, points) =>
    page.evaluate(
      async (data, pts) => {
        const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${data}`)).blob());
        const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
        const context = canvas.getContext("2d");
        context.drawImage(bitmap, 0, 0);
        const all = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
        if (!pts) return Array.from(all);
        return pts.map(([x, y]) => {
          const i = (Math.round(y) * bitmap.width + Math.round(x)) * 4;
          return [all[i], all[i + 1], all[i + 2]];
        });
      },
      data,
      points,
    );
  const rgba = await pixelsAt(png, null);
  const pixel = (x, y) => {
    const i = (y * width + x) * 4;
    return [rgba[i], rgba[i + 1], rgba[i + 2]];
  };

  // The class colours, where the data is: outside the legend and the info panel.
  const classes = expect.classColors.map((c) => {
    const [hue, saturation] = hueSaturation(hex(c));
    return { color: c, hue, saturation, count: 0 };
  });
  for (let y = 0; y < height; y += 2) {
    for (let x = 0; x < width; x += 2) {
      if (x >= legend.x - 2 && x <= legend.x + legend.width + 2 && y >= legend.y - 2 && y <= legend.y + legend.height + 2) continue;
      const p = pixel(x, y);
      if (Math.max(...p) < 60) continue;
      for (const k of classes) if (sameClass(p, k)) k.count += 1;
    }
  }
  const seen = classes.filter((k) => k.count >= 20);
  check(
    seen.length >= expect.minClasses,
    `at least ${expect.minClasses} class colours drawn`,
    classes.map((k) => `${k.color}: ${k.count}`).join(", "),
  );

  // The legend: on screen, and its swatches are the theme's colours exactly.
  check(legend.width > 50 && legend.height > 50 && legend.x >= 0 && legend.y + legend.height <= height, "the legend is on screen");
  const swatches = await pixelsAt(png, legend.rects.map((r) => [r.x, r.y]));
  const exact = legend.rects.filter((r, i) => swatches[i].every((v, j) => Math.abs(v - hex(r.fill)[j]) <= 2));
  check(
    legend.rects.length > 0 && exact.length === legend.rects.length,
    "the legend's swatches are drawn in their colours",
    `${exact.length} of ${legend.rects.length}`,
  );
  for (const color of expect.classColors) {
    check(legend.rects.some((r) => r.fill.toUpperCase() === color.toUpperCase()), `the legend shows ${color}`);
  }

  // A label: white text just above its anchor that goes when the labels are hidden.
  await page.evaluate(() => {
    window.theme3d.labelsHidden = true;
  });
  await new Promise((r) => setTimeout(r, 3000));
  const bareShot = (await page.screenshot({ type: "png" })).toString("base64");
  const bare = await pixelsAt(
    bareShot,
    label ? Array.from({ length: 22 * 81 }, (_, i) => [Math.round(label.x) - 40 + (i % 81), Math.round(label.y) - 22 + Math.floor(i / 81)]) : [],
  );
  await page.evaluate(() => {
    window.theme3d.labelsHidden = false;
  });
  let white = 0;
  if (label) {
    bare.forEach((before, i) => {
      const x = Math.round(label.x) - 40 + (i % 81);
      const y = Math.round(label.y) - 22 + Math.floor(i / 81);
      if (x < 0 || y < 0 || x >= width || y >= height) return;
      const [r, g, b] = pixel(x, y);
      const wasWhite = before[0] > 235 && before[1] > 235 && before[2] > 235;
      if (r > 235 && g > 235 && b > 235 && !wasWhite) white += 1;
    });
  }
  check(label && white >= 15, `the label "${expect.labelInView}" is drawn`, `${white} white pixels that go with the labels`);

  // A click on a known feature shows its values.
  const target = await page.evaluate((t) => window.theme3d.featureWindowPosition(t), expect.feature);
  check(!!target, `"${expect.feature}" is on screen`);
  if (target) {
    await page.mouse.click(target.x, target.y);
    await page.waitForFunction(() => !document.getElementById("info").hidden, { timeout: 60000 }).catch(() => {});
    const info = await page.evaluate(() => {
      const panel = document.getElementById("info");
      const rows = Object.fromEntries([...panel.querySelectorAll("tr")].map((r) => [r.cells[0].textContent, r.cells[1].textContent]));
      return { hidden: panel.hidden, title: panel.querySelector("h2").textContent, rows };
    });
    check(!info.hidden && info.title === expect.feature, `the click shows "${expect.feature}"`, `title "${info.title}"`);
    for (const [key, value] of Object.entries(expect.values ?? {})) {
      check(info.rows[key] === String(value), `the click shows ${key} = ${value}`, `shown: ${info.rows[key]}`);
    }
    if (args["screenshot-clicked"]) writeFileSync(args["screenshot-clicked"], await page.screenshot({ type: "png" }));
  }

  check(errors.length === 0, "no console error", errors.join("; "));
  check(outside.length === 0, "no request leaves the machine", outside.join(", "));
} finally {
  await browser.close();
  child.kill("SIGTERM");
  rmSync(profile, { recursive: true, force: true });
}
console.log(`${passes} passed, ${failures} failed`);
process.exit(failures === 0 ? 0 : 1);
