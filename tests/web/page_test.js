// Browser tests of the Zentick page in headless Chromium: the menu as the
// software platform draws it natively, keyboard and touch, play, speed, sizes
// and errors shown in words.
// Usage: node page_test.js SITE_DIR REFERENCE_DIR   (puppeteer-core on NODE_PATH)
'use strict';

const assert = require('assert');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');

const [site, refDir] = process.argv.slice(2);
const W = 640;
const H = 480;
// The page's canvas against the native frames: both come from the same
// software platform, so they must match exactly.
const MAX_DIFFERENT_PIXELS = 0;

let failures = 0;
function check(ok, what, detail) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what + (detail !== undefined ? ': ' + detail : ''));
  if (!ok) failures++;
}

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
};
// A static server on the loopback interface only, on a free port.
function serve(root) {
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file)) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The canvas as RGB565 values, as the native reference stores them.
async function canvas565(page) {
  const b64 = await page.evaluate(() => {
    // Read through a copy, so that the page's own canvas is never read back.
    const c = document.createElement('canvas');
    c.width = 640;
    c.height = 480;
    const copy = c.getContext('2d', { willReadFrequently: true });
    copy.drawImage(document.getElementById('screen'), 0, 0);
    const rgba = copy.getImageData(0, 0, c.width, c.height).data;
    const out = new Uint8Array(rgba.length / 2);
    for (let i = 0, o = 0; i < rgba.length; i += 4, o += 2) {
      const v = ((rgba[i] >> 3) << 11) | ((rgba[i + 1] >> 2) << 5) | (rgba[i + 2] >> 3);
      out[o] = v & 255;
      out[o + 1] = v >> 8;
    }
    let s = '';
    for (let i = 0; i < out.length; i += 0x8000) s += String.fromCharCode(...out.subarray(i, i + 0x8000));
    return btoa(s);
  });
  return Buffer.from(b64, 'base64');
}

function differentPixels(a, b) {
  let n = 0;
  for (let i = 0; i < W * H * 2; i += 2) if (a[i] !== b[i] || a[i + 1] !== b[i + 1]) n++;
  return n;
}

async function expectReference(page, name, what) {
  const want = fs.readFileSync(path.join(refDir, name));
  let diff = -1;
  // The frame may still be on its way: a few animation frames at most.
  for (let i = 0; i < 20; i++) {
    diff = differentPixels(await canvas565(page), want);
    if (diff <= MAX_DIFFERENT_PIXELS) break;
    await sleep(50);
  }
  check(diff >= 0 && diff <= MAX_DIFFERENT_PIXELS, what, diff + ' pixels differ from ' + name);
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const stats = (page) => page.evaluate(() => ({ ...window.zentick.stats, inGame: window.zentick.inGame() }));

// Opens the page, collecting what the console says.
async function open(browser, url, viewport) {
  const page = await browser.newPage();
  const messages = [];
  page.on('console', (m) => {
    if (m.type() === 'error' || m.type() === 'warn' || m.type() === 'warning')
      messages.push(m.type() + ': ' + m.text());
  });
  page.on('pageerror', (e) => messages.push('page error: ' + e.message));
  if (viewport) await page.setViewport(viewport);
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.zentick && window.zentick.stats.firstFrameMs !== null,
                             { timeout: 15000 });
  return { page, messages };
}

// Timed from the start of navigation, in a browser that is already running, as
// a visitor's is; the best of three loads, as other work shares the machine.
async function firstFrame(browser, url) {
  const times = [];
  for (let i = 0; i < 3; i++) {
    const { page } = await open(browser, url);
    times.push((await stats(page)).firstFrameMs);
    await page.close();
  }
  check(Math.min(...times) < 1000, 'first menu frame within a second of loading',
        times.map((t) => t.toFixed(0) + ' ms').join(', '));
}

async function playKeyboard(browser, url) {
  const { page, messages } = await open(browser, url, { width: 1280, height: 800 });
  await expectReference(page, 'menu_0.rgb565', 'the menu equals the software platform\'s');

  await page.keyboard.press('ArrowDown');
  await expectReference(page, 'menu_1.rgb565', 'Down moves the selection');
  await page.keyboard.press('ArrowUp');
  await expectReference(page, 'menu_0.rgb565', 'Up moves it back');

  const uploads = (await stats(page)).uploads;
  await sleep(500);
  check((await stats(page)).uploads === uploads, 'an idle menu uploads nothing to the canvas');

  // Defendo, switched on, Game A (the first press after switching on shows the time).
  await page.keyboard.press('ArrowDown');
  await expectReference(page, 'menu_1.rgb565', 'Defendo is selected');
  await page.keyboard.press('Enter');
  await sleep(200);
  check((await stats(page)).inGame, 'Return opens the game');
  await page.keyboard.press('Enter');
  for (const wait of [300, 300, 2200]) {
    await page.keyboard.press('Digit1');
    await sleep(wait);
  }
  const frames = new Set();
  for (let i = 0; i < 6; i++) {
    frames.add((await canvas565(page)).toString('base64'));
    await sleep(500);
  }
  check(frames.size >= 3, 'the frame changes during Game A', frames.size + ' different of 6');

  const fps = await page.evaluate(() => new Promise((resolve) => {
    let n = 0;
    let start = null;
    const tick = (t) => {
      if (start === null) start = t;
      if (t - start >= 3000) { resolve((n * 1000) / (t - start)); return; }
      n++;
      requestAnimationFrame(tick);
    };
    requestAnimationFrame(tick);
  }));
  check(fps >= 57, 'about 60 frames per second during play', fps.toFixed(1));

  await page.keyboard.press('Escape');
  await expectReference(page, 'menu_1.rgb565', 'Escape returns to the menu');
  check(!(await stats(page)).inGame, 'the game has ended');
  await page.keyboard.press('Escape');  // the desktop's quit: a page stays
  await sleep(200);
  check((await stats(page)).error === null, 'Escape in the menu leaves the page running');
  check(messages.length === 0, 'no error or warning in the console', messages.join(' | '));
  await page.close();
}

async function layoutFits(page, what) {
  const r = await page.evaluate(() => {
    const box = (e) => e.getBoundingClientRect();
    const canvas = box(document.getElementById('screen'));
    const buttons = [...document.querySelectorAll('.pad button')].map(box);
    const inside = (b) => b.left >= 0 && b.top >= 0 && b.right <= innerWidth + 0.5 &&
                          b.bottom <= innerHeight + 0.5;
    const overlap = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    return {
      visible: inside(canvas) && buttons.every(inside),
      clear: buttons.every((b) => !overlap(b, canvas)),
      scale: (canvas.width * devicePixelRatio) / 640,
      big: buttons.every((b) => b.height >= 40),
    };
  });
  check(r.visible && r.clear && r.big, what + ': screen and buttons fit apart', JSON.stringify(r));
  check(Math.abs(r.scale - Math.round(r.scale)) < 0.005 && r.scale >= 1, what + ': whole-pixel scale',
        r.scale);
}

async function playTouch(browser, url) {
  const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
  const { page, messages } = await open(browser, url, phone);
  await layoutFits(page, 'phone upright');
  await page.tap('button[aria-label="Right"]');
  await expectReference(page, 'menu_1.rgb565', 'tapping Right chooses the next game');
  const hint = await page.evaluate(() => document.getElementById('hint').hidden);
  check(hint, 'the first tap turns the sound on', await page.evaluate(() => window.zentick.audioState()));

  const onOff = 'button[data-key="6"]';
  await page.tap(onOff);
  await sleep(200);
  check((await stats(page)).inGame, 'tapping On / Off opens the game');
  const off = await canvas565(page);
  await page.tap(onOff);
  await sleep(300);
  const on = await canvas565(page);
  check(differentPixels(off, on) > 0, 'tapping On / Off switches the handheld on');
  await page.tap('button[data-zoom]');
  await sleep(200);
  check(differentPixels(on, await canvas565(page)) > 1000, 'tapping Zoom zooms');
  await page.tap('button[data-key="7"]');
  await expectReference(page, 'menu_1.rgb565', 'tapping Back returns to the menu');

  await page.setViewport({ ...phone, width: 844, height: 390 });
  await sleep(300);
  await layoutFits(page, 'phone on its side');
  check(messages.length === 0, 'no error or warning in the console (touch)', messages.join(' | '));
  await page.close();
}

async function errorsInWords(browser, url) {
  let page = await browser.newPage();
  await page.setRequestInterception(true);
  page.on('request', (r) => (r.url().endsWith('.data') ? r.respond({ status: 404, body: '' }) : r.continue()));
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.zentick.stats.error !== null, { timeout: 10000 });
  let text = await page.$eval('#status', (e) => (e.hidden ? '' : e.textContent));
  check(/game data .*could not be loaded/.test(text), 'missing data is told on the page', text);
  await page.close();

  page = await browser.newPage();
  await page.evaluateOnNewDocument(() => { delete window.WebAssembly; });
  await page.goto(url, { waitUntil: 'load' });
  text = await page.$eval('#status', (e) => (e.hidden ? '' : e.textContent));
  check(/cannot run WebAssembly/.test(text), 'a browser without WebAssembly is told so', text);
  await page.close();
}

function sizes() {
  const files = fs.readdirSync(site);
  const size = (f) => fs.statSync(path.join(site, f)).size;
  const code = files.filter((f) => /\.(wasm|js)$/.test(f) && f.startsWith('zentick.'));
  const codeBytes = code.reduce((n, f) => n + size(f), 0);
  const gz = files.reduce((n, f) => n + zlib.gzipSync(fs.readFileSync(path.join(site, f)), { level: 9 }).length, 0);
  const raw = files.reduce((n, f) => n + size(f), 0);
  check(codeBytes < 600 * 1024, '.wasm and .js under 600 KB', (codeBytes / 1024).toFixed(0) + ' KB');
  check(gz < 1024 * 1024, 'the whole page under 1 MB compressed',
        (gz / 1024).toFixed(0) + ' KB gzip of ' + (raw / 1024).toFixed(0) + ' KB');
}

async function main() {
  assert(site && refDir, 'usage: node page_test.js SITE_DIR REFERENCE_DIR');
  sizes();
  const server = await serve(path.resolve(site));
  const url = 'http://127.0.0.1:' + server.address().port + '/';
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zt-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    await firstFrame(browser, url);
    await playKeyboard(browser, url);
    await playTouch(browser, url);
    await errorsInWords(browser, url);
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  console.log(failures ? failures + ' check(s) failed' : 'all checks passed');
  process.exit(failures ? 1 : 0);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
