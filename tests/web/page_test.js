// SPDX-License-Identifier: MIT
// Browser tests of the Zentick page in headless Chromium: the menu as the
// software platform draws it natively, keyboard and touch, play, speed, sizes
// and errors shown in words.
// Usage: node page_test.js SITE_DIR REFERENCE_DIR   (puppeteer-core on NODE_PATH)
'use strict';

const fs = require('fs');
const path = require('path');
const { sleep, readSite, serve, launch, open, stats } = require('./harness');

const [site, refDir] = process.argv.slice(2);
let failures = 0;
function check(ok, what, detail) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what + (detail !== undefined ? ': ' + detail : ''));
  if (!ok) failures++;
}

// Checks the sizes; returns the files for the server. The page loads every
// file but the plain zentick.wasm (for browsers that cannot inflate the .gz).
function sizes(files) {
  let code = 0, page = 0;
  for (const [name, f] of files) {
    if (/^zentick\.(wasm|js)$/.test(name)) code += f.raw.length;
    if (name !== 'zentick.wasm') page += f.raw.length;
  }
  check(code < 600 * 1024, '.wasm and .js under 600 KB', (code / 1024).toFixed(0) + ' KB');
  check(page < 500 * 1024, 'the whole page under 500 KB uncompressed', (page / 1024).toFixed(0) + ' KB');
  return files;
}

// The canvas as RGB565 values, as the native reference stores them; read
// through a copy, so that the page's own canvas is never read back.
async function canvas565(page) {
  return Buffer.from(await page.evaluate(() => {
    const c = Object.assign(document.createElement('canvas'), { width: 640, height: 480 });
    const copy = c.getContext('2d', { willReadFrequently: true });
    copy.drawImage(document.getElementById('screen'), 0, 0);
    const rgba = copy.getImageData(0, 0, 640, 480).data;
    const out = new Uint8Array(640 * 480 * 2);
    for (let i = 0, o = 0; i < rgba.length; i += 4, o += 2) {
      const v = ((rgba[i] >> 3) << 11) | ((rgba[i + 1] >> 2) << 5) | (rgba[i + 2] >> 3);
      out[o] = v & 255;
      out[o + 1] = v >> 8;
    }
    let s = '';
    for (let i = 0; i < out.length; i += 0x8000) s += String.fromCharCode(...out.subarray(i, i + 0x8000));
    return btoa(s);
  }), 'base64');
}

function differentPixels(a, b) {
  let n = 0;
  for (let i = 0; i < a.length; i += 2) if (a[i] !== b[i] || a[i + 1] !== b[i + 1]) n++;
  return n;
}

// Waits until `fn` holds in the page, as long as a busy machine may take to
// get there; false when it never does.
const WAIT_MS = 60000;
const until = (page, fn, ...args) =>
  page.waitForFunction(fn, { timeout: WAIT_MS, polling: 50 }, ...args).then(() => true, () => false);
const inGame = (page) => until(page, () => window.zentick.inGame());
// Waits until the canvas differs from `before` in more than `least` pixels.
async function changed(page, before, least) {
  let diff = 0;
  for (const end = Date.now() + WAIT_MS; diff <= least && Date.now() < end; await sleep(50))
    diff = differentPixels(before, await canvas565(page));
  return diff;
}

// Both sides come from the same software platform: they must match exactly.
async function expectReference(page, name, what) {
  const want = fs.readFileSync(path.join(refDir, name));
  let diff;
  for (const end = Date.now() + WAIT_MS; diff !== 0 && Date.now() < end; await sleep(50))
    diff = differentPixels(await canvas565(page), want);
  check(diff === 0, what, diff + ' pixels differ from ' + name);
}

// From the start of navigation, in a browser already running as a visitor's
// is; the best of three loads, as other work may share the machine.
async function firstFrame(browser, url) {
  const times = [];
  for (let i = 0; i < 3; i++) {
    const { page } = await open(browser, url);
    times.push((await stats(page)).firstFrameMs);
    await page.close();
  }
  // How soon is a figure of the benchmark (bench/web_bench.js), not a check:
  // a busy machine may take longer.
  console.log('note the first menu frame came ' + times.map((t) => t.toFixed(0) + ' ms').join(', ') +
              ' after loading');
}

// A game plays: more different frames than the watch's blinking colon gives.
async function playing(page, what) {
  const frames = new Set();
  let i = 0;
  for (; i < 12 && frames.size < 3; i++, await sleep(500)) frames.add((await canvas565(page)).toString('base64'));
  check(frames.size >= 3, what, frames.size + ' different of ' + i);
}

async function playKeyboard(browser, url) {
  const { page, messages } = await open(browser, url, { width: 1280, height: 800 });
  await expectReference(page, 'menu_0.rgb565', 'the menu equals the software platform\'s');
  await page.keyboard.press('ArrowDown');
  await expectReference(page, 'menu_1.rgb565', 'Down moves the selection to Defendo');
  await page.keyboard.press('ArrowUp');
  await expectReference(page, 'menu_0.rgb565', 'Up moves it back');
  const uploads = (await stats(page)).uploads;
  await sleep(500);
  check((await stats(page)).uploads === uploads, 'an idle menu uploads nothing to the canvas');

  // Defendo, switched on, Game A (the first press after switching on shows the time).
  for (const key of ['ArrowDown', 'Enter', 'Enter', 'Digit1', 'Digit1']) {
    await page.keyboard.press(key);
    await sleep(300);
  }
  check(await inGame(page), 'Return opens the game');
  await sleep(2000);
  await playing(page, 'the frame changes during Game A');
  const fps = await page.evaluate(() => new Promise((resolve) => {
    let n = 0, start = null;
    const tick = (t) => {
      start = start === null ? t : start;
      if (t - start >= 3000) return resolve((n * 1000) / (t - start));
      n++;
      requestAnimationFrame(tick);
    };
    requestAnimationFrame(tick);
  }));
  // A figure, not a check (a busy machine draws fewer): the loop runs.
  check(fps > 0, 'the frame loop runs during play', fps.toFixed(1) + ' frames per second');

  await page.keyboard.press('Escape');
  await expectReference(page, 'menu_1.rgb565', 'Escape returns to the menu');
  await page.keyboard.press('Escape');  // the desktop's quit: a page stays
  await sleep(200);
  check(!(await stats(page)).inGame && (await stats(page)).error === null, 'Escape in the menu leaves the page as it is');

  // The on-screen buttons by keyboard focus and by click(), as assistive technology uses them.
  await page.focus('button[aria-label="Left"]');
  await page.keyboard.press('Space');
  await expectReference(page, 'menu_0.rgb565', 'Space on the focused Left button chooses the previous game');
  await page.$eval('button[data-button="power"]', (b) => b.click());
  await sleep(300);
  check(await inGame(page), 'click() on On / Off opens the game');
  check(messages.length === 0, 'no error or warning in the console', messages.join(' | '));
  await page.close();
}

// The size rule: the screen takes at least 90% of the window's binding
// dimension, the buttons lie beside it, and below a pixel ratio of 2 sharp
// pixels only in whole device pixels.
async function sizeRule(page, what) {
  const r = await page.evaluate(() => {
    const box = (e) => e.getBoundingClientRect();
    const c = document.getElementById('screen');
    const canvas = box(c);
    const buttons = [...document.querySelectorAll('button')].map(box);
    const inside = (b) => b.left >= 0 && b.top >= 0 && b.right <= innerWidth + 0.5 && b.bottom <= innerHeight + 0.5;
    const apart = (b) => b.right <= canvas.left || b.left >= canvas.right || b.bottom <= canvas.top || b.top >= canvas.bottom;
    const scale = (canvas.width * devicePixelRatio) / 640;
    const sharp = getComputedStyle(c).imageRendering === 'pixelated';
    return { fit: inside(canvas) && buttons.every((b) => inside(b) && apart(b) && b.height >= 28),
             share: +(canvas.width / 640 / Math.min(innerWidth / 640, innerHeight / 480)).toFixed(3),
             even: !sharp || devicePixelRatio >= 2 || Math.abs(scale - Math.round(scale)) < 0.005,
             layout: document.getElementById('app').className };
  });
  check(r.fit && r.share >= 0.9 && r.even, what + ': screen at 90% or more, buttons beside it', JSON.stringify(r));
}

async function sizeRules(browser, url) {
  const { page } = await open(browser, url);
  // Upright and on its side; 844 x 340 is a phone on its side under the browser's bars.
  for (const [w, h, dpr] of [[320, 480, 2], [390, 844, 3], [340, 844, 3], [768, 1024, 1], [1080, 1920, 1],
                             [2160, 3840, 1]]) {
    for (const [width, height] of [[w, h], [h, w]]) {
      await page.setViewport({ width, height, deviceScaleFactor: dpr });
      await sleep(100);
      await sizeRule(page, width + 'x' + height + ' at ' + dpr);
    }
  }
  await page.close();
}

// Where Defendo's GAME A is drawn, as a point of the 640 x 480 frame at zoom 0
// and on the LCD (zoom 1): near the left edge of its box, which the LCD zoom
// still shows. Defendo's LCD is 161 x 209 at (201, 99); the LCD zoom shows it
// with a tenth more around it.
function defendoGameA(zoom) {
  const line = fs.readFileSync(path.join(refDir, 'defendo_buttons.txt'), 'utf8').match(/^game_a .*/m)[0];
  const [x, y, , h] = line.split(' ').slice(1).map(Number);
  const fx = Math.floor((640 - 161) / 2) - 201 + x + 3, fy = Math.floor((480 - 209) / 2) - 99 + y + h / 2;
  if (zoom === 0) return [fx, fy];
  const scale = Math.max(Math.floor(161 * 1.1) / 640, Math.floor(209 * 1.1) / 480);
  const zw = Math.floor(scale * 640), zh = Math.floor(scale * 480);
  return [((fx - (320 - Math.floor(zw / 2))) * 640) / zw, ((fy - (240 - Math.floor(zh / 2))) * 480) / zh];
}

// A phone: the on-screen buttons, the buttons drawn on the handheld at two
// zoom levels, a two-finger spread, and no layout shift throughout.
async function playTouch(browser, url) {
  const context = await browser.createBrowserContext();  // nothing remembered
  const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
  const { page, messages } = await open(context, url, phone, (p) => p.evaluateOnNewDocument(() => {
    window.shifted = 0;
    new PerformanceObserver((list) => list.getEntries().forEach((e) => { window.shifted += e.value; }))
      .observe({ type: 'layout-shift', buffered: true });
  }));
  await sleep(500);
  await page.evaluate(() => { window.shifted = 0; });  // from here on, nothing may move
  await page.tap('button[aria-label="Right"]');
  await expectReference(page, 'menu_1.rgb565', 'tapping Right chooses the next game');
  check(await until(page, () => document.getElementById('hint').hidden), 'the first tap turns the sound on');

  const tap = async (selector) => { await page.tap(selector); await sleep(300); };
  const gameA = async (zoom, what) => {
    const menu = await canvas565(page);
    await tap('button[data-button="power"]');
    check(await inGame(page) && (await changed(page, menu, 0)) > 0, 'tapping On / Off opens the game');
    const off = await canvas565(page);
    await tap('button[data-button="power"]');
    check(await changed(page, off, 0) > 0, 'tapping On / Off switches the handheld on');
    if (zoom === 1) await page.keyboard.press('Digit9');
    const [fx, fy] = defendoGameA(zoom);
    const r = await page.$eval('#screen', (e) => e.getBoundingClientRect().toJSON());
    for (let i = 0; i < 2; i++) {  // the first press after switching on shows the time
      await page.touchscreen.tap(r.left + (fx * r.width) / 640, r.top + (fy * r.height) / 480);
      await sleep(300);
    }
    await playing(page, what);
    const heard = await stats(page);
    check(heard.soundBuffers > 0 && heard.maxLeadMs <= 100, 'Game A is heard, never more than 100 ms ahead',
          heard.soundBuffers + ' buffers, ' + heard.maxLeadMs.toFixed(0) + ' ms at most');
  };
  await gameA(0, 'tapping the drawn GAME A twice starts Game A');
  const unzoomed = await canvas565(page);
  await tap('button[data-zoom]');
  check(await changed(page, unzoomed, 1000) > 1000, 'tapping Zoom zooms');
  await tap('button[data-button="escape"]');
  await expectReference(page, 'menu_1.rgb565', 'tapping Back returns to the menu');
  await gameA(1, 'on the LCD zoom too');

  // Two thumbs 24 px apart on the buttons spread to 240 px.
  const cdp = await page.createCDPSession();
  const pad = await page.$eval('#pad-left', (e) => e.getBoundingClientRect().toJSON());
  const thumbs = (d) => [-1, 1].map((side, id) => ({ x: pad.left + pad.width / 2 + side * d, y: pad.top + pad.height / 2, id }));
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: thumbs(12) });
  for (let d = 18; d <= 120; d += 6, await sleep(16)) await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: thumbs(d) });
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await sleep(500);
  check(await page.evaluate(() => visualViewport.scale) === 1, 'a two-finger spread on the buttons does not zoom the page');
  check(await page.evaluate(() => window.shifted) === 0, 'no layout shift after the first tap', await page.evaluate(() => window.shifted));
  check(messages.length === 0, 'no error or warning in the console (touch)', messages.join(' | '));
  await context.close();
}

const page$ = (page, what) => page.evaluate(`window.zentick.${what}()`);

// A link's ?game=, the remembered game, zoom and volume ("=" raises it), a
// gamepad (a stub of navigator.getGamepads), the idle menu without a frame
// loop, and a hidden tab that does not jump.
async function settingsAndTime(browser, url) {
  const context = await browser.createBrowserContext();
  let { page, messages } = await open(context, url + '?game=monkey');
  check((await stats(page)).inGame && (await page$(page, 'game')) === 'monkey', '?game=monkey opens Monkey');
  const volume = await page$(page, 'volume');
  await page.keyboard.press('Equal');
  await page.keyboard.press('Digit8');
  await sleep(300);
  check((await page$(page, 'volume')) > volume, '= raises the volume', volume + ' -> ' + (await page$(page, 'volume')));
  await page.click('#response');  // quick, by pointer
  await page.focus('#response');
  await page.keyboard.press('Space');  // natural, by keyboard
  const label = await page.$eval('#response', (b) => b.getAttribute('aria-label'));
  check((await page$(page, 'response')) === 2 && label === 'LCD response: Natural',
        'the LCD button steps the response by pointer and keyboard', label);
  const kept = [await page$(page, 'game'), await page$(page, 'zoom'), await page$(page, 'volume'),
                await page$(page, 'response')];
  await page.close();

  ({ page, messages } = await open(context, url));
  const again = [await page$(page, 'game'), await page$(page, 'zoom'), await page$(page, 'volume'),
                 await page$(page, 'response')];
  check(!(await stats(page)).inGame && JSON.stringify(again) === JSON.stringify(kept),
        'the last game, zoom, volume and LCD response are remembered', JSON.stringify(again));
  const ticks = (await stats(page)).ticks;
  await sleep(1000);
  check((await stats(page)).ticks === ticks && !(await page$(page, 'looping')), 'the idle menu runs no frame loop',
        ((await stats(page)).ticks - ticks) + ' frames in a second');

  await page.evaluate(() => {
    const pad = { id: 'stub', index: 0, connected: true, mapping: 'standard', axes: [0, 0, 0, 0],
                  buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
    navigator.getGamepads = () => [pad];
    window.padStart = (down) => { pad.buttons[9].pressed = down; };
    window.dispatchEvent(new Event('gamepadconnected'));
  });
  for (const down of [true, false, true, false]) {  // starts the game, switches the handheld on
    await page.evaluate((d) => window.padStart(d), down);
    await sleep(300);
  }
  check(await inGame(page), 'a gamepad\'s Start opens the game');

  // Game A, then the tab hidden for two seconds: back again, the game goes on
  // from where it stopped.
  await page.keyboard.press('Digit1');
  await page.keyboard.press('Digit1');
  await sleep(500);
  const other = await context.newPage();
  await other.bringToFront();  // hides the page's tab
  await sleep(100);
  const before = (await stats(page)).simMs;
  await sleep(2000);
  const hiddenRun = (await stats(page)).simMs - before;
  await page.bringToFront();
  const start = Date.now();
  await sleep(200);
  const ran = (await stats(page)).simMs - before, wall = Date.now() - start;
  check(hiddenRun === 0 && ran <= wall + 20, 'a hidden tab stops and comes back without a jump',
        ran + ' ms run in ' + wall + ' ms after two seconds hidden');
  check(messages.length === 0, 'no error or warning in the console (settings)', messages.join(' | '));
  await context.close();
}

// The watch follows the browser's clock: Berlin's change to summer time, and
// a clock that moves on while the page stands still (a suspended laptop).
async function watchFollowsTheClock(browser, url) {
  const { page, messages } = await open(browser, url + '?game=monkey', null, async (p) => {
    await p.emulateTimezone('Europe/Berlin');
    await p.evaluateOnNewDocument(() => {
      // 29 March 2026, 1:59:30 in Berlin, and on by window.clockJump ms.
      const Real = Date;
      const offset = Real.UTC(2026, 2, 29, 0, 59, 30) - Real.now();
      window.clockJump = 0;
      const now = () => Real.now() + offset + window.clockJump;
      window.Date = class extends Real {
        constructor(...args) { if (args.length) super(...args); else super(now()); }
        static now() { return now(); }
      };
    });
  });
  const watchShows = async (prefix, what) => {
    const shown = await page.waitForFunction((p) => window.zentick.watch().startsWith(p),
                                             { timeout: 60000 }, prefix).then(() => true, () => false);
    check(shown, what, await page$(page, 'watch'));
  };
  await page.keyboard.press('Enter');  // switched on: the watch runs
  await watchShows('2026-03-29 01:59', 'the watch starts at the browser\'s local time');
  await page.evaluate(() => { window.clockJump = 60000; });  // 2:00 is 3:00
  await watchShows('2026-03-29 03:00', 'the watch follows the change to summer time');
  await page.evaluate(() => { window.clockJump += 3600000; });
  await watchShows('2026-03-29 04:00', 'and a clock that moved on an hour');
  check(messages.length === 0, 'no error or warning in the console (watch)', messages.join(' | '));
  await page.close();
}

// What the page says when it cannot run: the data missing, no WebAssembly,
// opened from disk. Each in a fresh context, without an offline copy.
async function errorsInWords(browser, url) {
  for (const [prepare, address, expected, what] of [
    [(page) => page.setRequestInterception(true).then(() => page.on('request', (r) =>
      /\.(data|pack)$/.test(r.url()) ? r.respond({ status: 404 }) : r.continue())),
     url, /game data .*could not be loaded/, 'missing data is told on the page'],
    [(page) => page.evaluateOnNewDocument(() => delete window.WebAssembly),
     url, /cannot run WebAssembly/, 'a browser without WebAssembly is told so'],
    [() => {}, 'file://' + path.resolve(site, 'index.html'), /served over http.*scripts\/web\.sh/,
     'opened from disk, it says how to serve it']]) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await prepare(page);
    await page.goto(address, { waitUntil: 'load' });
    await page.waitForFunction(() => window.zentick.stats.error !== null);
    const text = await page.$eval('#status', (e) => (e.hidden ? '' : e.textContent));
    check(expected.test(text), what, text.trim());
    await context.close();
  }
}

// Chromium finds nothing missing for installing the page (not in a private
// context), and once the service worker runs, a reload without the network plays.
async function installAndOffline(browser, url, server) {
  const { page, messages } = await open(browser, url);
  const cdp = await page.createCDPSession();
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0, 'installable as an app', JSON.stringify(installabilityErrors));
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  server.down = true;
  try {
    await page.reload({ waitUntil: 'load' });
    await page.waitForFunction(() => window.zentick.stats.firstFrameMs !== null || window.zentick.stats.error !== null);
    await page.keyboard.press('Enter');
    await sleep(300);
    check(await inGame(page), 'a reload without the network plays', (await stats(page)).error);
  } finally {
    server.down = false;
  }
  check(messages.length === 0, 'no error or warning in the console (offline)', messages.join(' | '));
  await page.close();
}

async function main() {
  const server = await serve(sizes(readSite(site)));
  const url = server.url;
  const browser = await launch();
  try {
    await firstFrame(browser, url);
    await playKeyboard(browser, url);
    await playTouch(browser, url);
    await sizeRules(browser, url);
    await settingsAndTime(browser, url);
    await watchFollowsTheClock(browser, url);
    await installAndOffline(browser, url, server);
    await errorsInWords(browser, url);
  } finally {
    await browser.close();
    server.close();
  }
  console.log(failures ? failures + ' check(s) failed' : 'all checks passed');
  process.exit(failures ? 1 : 0);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
