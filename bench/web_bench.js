// SPDX-License-Identifier: MIT
// The page's loading and battery figures (docs/performance.md), measured in
// headless Chromium with its network and CPU emulation; not a test: it prints.
// Loading: a mid-range phone (4x slower processor) on a 1.6 Mbit/s link with
// 150 ms latency, from a server that compresses nothing and from one that
// gzips, with an empty cache. Battery: the main thread's busy share (CDP
// performance metrics, 4x slower processor) in the idle menu, on a handheld
// showing the watch and during Game A.
// Usage: node bench/web_bench.js SITE_DIR   (puppeteer-core on NODE_PATH)
'use strict';

const { sleep, readSite, serve, launch, open, stats } = require('../tests/web/harness');

const SLOW_CPU = { rate: 4 };
const SLOW_LINK = { offline: false, latency: 150, downloadThroughput: 1.6e6 / 8,
                    uploadThroughput: 0.75e6 / 8 };

async function emulate(page, link) {
  const cdp = await page.createCDPSession();
  await cdp.send('Emulation.setCPUThrottlingRate', SLOW_CPU);
  await cdp.send('Network.enable');
  if (link) await cdp.send('Network.emulateNetworkConditions', link);
  page.bytes = 0;
  cdp.on('Network.loadingFinished', (e) => { page.bytes += e.encodedDataLength; });
  return cdp;
}

async function loading(browser, server) {
  for (const gzip of [false, true]) {
    server.gzip = gzip;
    const context = await browser.createBrowserContext();
    let page;
    ({ page } = await open(context, server.url, null, (p) => emulate(p, SLOW_LINK).then(() => { page = p; })));
    const first = (await stats(page)).firstFrameMs;
    console.log(`| first menu frame, ${gzip ? 'gzip' : 'uncompressed'} | ${(first / 1000).toFixed(1)} s | ` +
                `${(page.bytes / 1024).toFixed(0)} KB transferred |`);
    await context.close();
  }
  server.gzip = true;
}

async function busy(browser, server) {
  const context = await browser.createBrowserContext();
  let cdp;
  const { page } = await open(context, server.url, null, async (p) => { cdp = await emulate(p, null); });
  await cdp.send('Performance.enable');
  const taskSeconds = async () =>
    (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  const measure = async (what) => {
    await sleep(2000);
    const t0 = await taskSeconds(), w0 = Date.now();
    await sleep(10000);
    const share = (await taskSeconds() - t0) / ((Date.now() - w0) / 1000);
    console.log(`| main thread busy, ${what} | ${(share * 100).toFixed(1)} % | |`);
  };
  await measure('idle menu');
  for (const key of ['Enter', 'Enter']) await page.keyboard.press(key), await sleep(500);
  await measure('handheld showing the watch');
  for (const key of ['Digit1', 'Digit1']) await page.keyboard.press(key), await sleep(500);
  await measure('Game A');
  await context.close();
}

async function main() {
  const server = await serve(readSite(process.argv[2]));
  const browser = await launch();
  try {
    console.log('| Measure (4x slower processor) | Figure | |\n|---|---|---|');
    await loading(browser, server);
    await busy(browser, server);
  } finally {
    await browser.close();
    server.close();
  }
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
