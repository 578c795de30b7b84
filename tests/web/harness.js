// SPDX-License-Identifier: MIT
// What the page's browser tests and its benchmark share: a loopback server of
// the built page, headless Debian chromium, and opening the page.
'use strict';

const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The files of the site by name, as they are and gzip-compressed.
function readSite(site) {
  const files = new Map();
  for (const name of fs.readdirSync(site)) {
    const raw = fs.readFileSync(path.join(site, name));
    files.set(name, { raw, gzip: zlib.gzipSync(raw, { level: 9 }) });
  }
  return files;
}

// Loopback only, on a free port; compressed as a web host would serve it, or
// as they are (`server.gzip = false`); `server.down = true` refuses every request.
function serve(files) {
  const types = { '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
                  '.html': 'text/html; charset=utf-8', '.webmanifest': 'application/manifest+json' };
  const server = http.createServer((req, res) => {
    if (server.down) return req.socket.destroy();
    const name = new URL(req.url, 'http://x').pathname.slice(1) || 'index.html';
    const file = files.get(name);
    if (!file) return res.writeHead(404).end();
    const headers = { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' };
    if (server.gzip) headers['Content-Encoding'] = 'gzip';
    res.writeHead(200, headers).end(server.gzip ? file.gzip : file.raw);
  });
  server.gzip = true;
  server.down = false;
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => {
    server.url = 'http://127.0.0.1:' + server.address().port + '/';
    resolve(server);
  }));
}

// Debian's chromium with a private profile, removed by close().
async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zt-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

const stats = (page) => page.evaluate(() => ({ ...window.zentick.stats, inGame: window.zentick.inGame() }));

// Opens the page in a browser or one of its contexts, collecting every error
// and warning of the console; `prepare` runs on the page before it loads.
async function open(target, url, viewport, prepare) {
  const page = await target.newPage();
  const messages = [];
  page.on('console', (m) => /^(error|warn)/.test(m.type()) && messages.push(m.type() + ': ' + m.text()));
  page.on('pageerror', (e) => messages.push('page error: ' + e.message));
  if (viewport) await page.setViewport(viewport);
  if (prepare) await prepare(page);
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForFunction(() => window.zentick && (window.zentick.stats.firstFrameMs !== null ||
                                                     window.zentick.stats.error !== null),
                             { timeout: 120000 });
  const error = (await stats(page)).error;
  if (error !== null) throw new Error('the page stopped: ' + error + ' ' + messages.join(' | '));
  return { page, messages };
}

module.exports = { sleep, readSite, serve, launch, open, stats };
