// Opens the generated sites in Debian's Chromium and Firefox ESR, as visitors would: from the
// disk (file://), from a local web server that sends no charset, and from one that sends
// charset=utf-8 as static hosts do. Every page, alone and in its frame: the browser must read
// it as UTF-8, show exactly the expected lines, and load every picture at its natural aspect
// ratio (within 2 %: a turned photo must not be squeezed).
//
// One browser process per engine opens every page. Screenshots of each framed page land in
// OUTPUT_FOLDER; the table of what each browser chose is printed.
//
// Usage: node check_site.mjs MAKE_SITE OUTPUT_FOLDER

import { spawnSync } from "node:child_process";
import fs from "node:fs";
import http from "node:http";
import path from "node:path";
import puppeteer from "puppeteer-core";

const [makeSite, out] = process.argv.slice(2);
const sites = path.join(out, "sites");
fs.rmSync(out, { recursive: true, force: true });
fs.mkdirSync(sites, { recursive: true });
if (spawnSync(makeSite, [sites], { stdio: "inherit" }).status !== 0) {
  console.error("make_site failed");
  process.exit(1);
}

// A static server that tells letter case apart and takes the URL's path as the bytes of the
// file's name, as servers on Linux do.
function serve(contentTypeOfPages) {
  const server = http.createServer((req, res) => {
    const bytes = [];
    const raw = req.url.split("?")[0];
    for (let i = 0; i < raw.length; ++i) {
      if (raw[i] === "%" && /^[0-9A-Fa-f]{2}$/.test(raw.substr(i + 1, 2))) {
        bytes.push(parseInt(raw.substr(i + 1, 2), 16));
        i += 2;
      } else {
        bytes.push(...Buffer.from(raw[i], "latin1"));
      }
    }
    const file = Buffer.concat([Buffer.from(sites + "/"), Buffer.from(bytes)]);
    fs.readFile(file, (err, data) => {
      if (err || file.includes("/../")) {
        res.writeHead(404).end();
        return;
      }
      const isPage = /\.htm$/i.test(req.url);
      res.writeHead(200, { "Content-Type": isPage ? contentTypeOfPages : "image/jpeg" });
      res.end(data);
    });
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

const servers = {
  plain: await serve("text/html"),
  utf8: await serve("text/html; charset=utf-8"),
};
const ways = {
  "file://": (site) => "file://" + path.resolve(sites, site) + "/",
  "http, no charset": (site) => `http://127.0.0.1:${servers.plain.address().port}/${site}/`,
  "http, charset=utf-8": (site) => `http://127.0.0.1:${servers.utf8.address().port}/${site}/`,
};
const engines = {
  chromium: {
    executablePath: "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync", "--allow-file-access-from-files=false"],
  },
  firefox: {
    browser: "firefox",
    executablePath: "/usr/bin/firefox-esr",
    // The automation's recommended preferences let file:// frames inherit an encoding, which
    // no user's browser does.
    extraPrefsFirefox: { "remote.prefs.recommended": false },
  },
};

const failures = [];
const table = [];

async function waitUntil(what, test) {
  for (let tries = 0; tries < 200; ++tries) {
    const result = await test();
    if (result) return result;
    await new Promise((r) => setTimeout(r, 50));
  }
  throw new Error("timed out waiting for " + what);
}

async function pageState(frame) {
  await waitUntil("the page to load", () => frame.evaluate(() =>
    document.readyState === "complete" && Array.from(document.images).every((i) => i.complete)));
  return frame.evaluate(() => ({
    charset: document.characterSet,
    text: document.body && document.body.tagName === "BODY" ? document.body.innerText : null,
    images: Array.from(document.images).map((img) => ({
      src: img.getAttribute("src"), naturalWidth: img.naturalWidth,
      naturalHeight: img.naturalHeight, width: img.getBoundingClientRect().width,
      height: img.getBoundingClientRect().height,
    })),
  }));
}

// Checks one page against what it must show; returns its cell for the table.
function check(where, state, expected) {
  const wrong = [];
  if (state.charset !== "UTF-8") wrong.push("read as " + state.charset);
  if (expected) {
    const lines = state.text.split("\n");
    if (lines.at(-1) === "") lines.pop();
    if (JSON.stringify(lines) !== JSON.stringify(expected.lines)) {
      wrong.push("shows " + JSON.stringify(lines) + ", not " + JSON.stringify(expected.lines));
    }
    if (state.images.length !== expected.pictures) wrong.push(state.images.length + " pictures");
    for (const img of state.images) {
      if (img.naturalWidth === 0) {
        wrong.push(img.src + " not loaded");
        continue;
      }
      const drawn = img.width / img.height, natural = img.naturalWidth / img.naturalHeight;
      if (Math.abs(drawn / natural - 1) > 0.02) wrong.push(img.src + " squeezed");
    }
  }
  for (const w of wrong) failures.push(where + ": " + w);
  return state.charset + (wrong.length ? " ✗" : " ✓");
}

const started = Date.now();
for (const [engine, options] of Object.entries(engines)) {
  const browser = await puppeteer.launch({ headless: true, ...options });
  try {
    const page = (await browser.pages())[0] || (await browser.newPage());
    await page.setViewport({ width: 1000, height: 700 });
    for (const [way, base] of Object.entries(ways)) {
      for (const site of ["many", "one"]) {
        const expected = JSON.parse(fs.readFileSync(path.join(sites, site, "expected.json")));
        const row = (name, how, cell) => table.push({ engine, way, site, name, how, cell });
        const here = (name, how) => `${engine}, ${way}, ${site}/${name} ${how}`;
        // Every page alone.
        for (const name of ["CASE.HTM", "BLANK.HTM", ...Object.keys(expected)]) {
          await page.goto(base(site) + name);
          const state = await pageState(page.mainFrame());
          row(name, "alone", check(here(name, "alone"), state, expected[name]));
        }
        // The frameset, then each menu link followed in its frame.
        await page.goto(base(site) + "CASE.HTM");
        await pageState(page.mainFrame());
        const frameNamed = (end) => waitUntil(end, () =>
          page.frames().find((f) => f !== page.mainFrame() && f.url().endsWith("/" + end)));
        const menu = await frameNamed("MENU.HTM");
        row("MENU.htm", "in its frame",
          check(here("MENU.htm", "in its frame"), await pageState(menu), expected["MENU.htm"]));
        const blank = await frameNamed("BLANK.HTM");
        row("BLANK.HTM", "in its frame",
          check(here("BLANK.HTM", "in its frame"), await pageState(blank), null));
        const links = (await menu.$$("a")).length;
        for (let n = 1; n <= links; ++n) {
          await (await menu.$$("a"))[n - 1].click();
          const name = n + ".htm";
          const data = await frameNamed(name);
          const state = await pageState(data);
          row(name, "in its frame", check(here(name, "in its frame"), state, expected[name]));
          await page.screenshot({ path: path.join(out,
            `${engine}-${way.replace(/[^a-z0-9]+/g, "-")}-${site}-${n}.png`) });
        }
      }
    }
  } finally {
    await browser.close();
  }
}
servers.plain.close();
servers.utf8.close();

// The table: one row per page and how it was opened, one column per engine and way in.
const columns = [];
for (const t of table) {
  const c = t.engine + " " + t.way;
  if (!columns.includes(c)) columns.push(c);
}
const rows = new Map();
for (const t of table) {
  const key = `${t.site}/${t.name} ${t.how}`;
  if (!rows.has(key)) rows.set(key, {});
  rows.get(key)[t.engine + " " + t.way] = t.cell;
}
console.log("| page | " + columns.join(" | ") + " |");
console.log("|---|" + columns.map(() => "---").join("|") + "|");
for (const [key, cells] of rows) {
  console.log("| " + key + " | " + columns.map((c) => cells[c] || "").join(" | ") + " |");
}
console.log(`${table.length} pages checked in ${((Date.now() - started) / 1000).toFixed(1)} s`);
for (const f of failures) console.log("FAIL " + f);
process.exit(failures.length ? 1 : 0);
