// tools/with-web-server SITE node tools/first-box-time.mjs [LOADS]: loads the site served at
// GRUMBOL_URL (e.g. build-web/site on localhost) LOADS times (default 5) in headless Chromium, each time in a new context
// (nothing cached), and prints the milliseconds from navigation start to the first open
// <dialog> of each load and their median, read from the page's own clock (performance.now()).
// One load before them is not counted: it waits for the browser's own processes to start.
import { launch } from '../tests/web/game_page.js';

const [loads = '5'] = process.argv.slice(2);
const url = process.env.GRUMBOL_URL;
if (!url || !(Number(loads) >= 1)) {
  console.error('usage: tools/with-web-server SITE node tools/first-box-time.mjs [LOADS]');
  process.exit(2);
}

const browser = await launch();

// Milliseconds from navigation start to the first open box of one load.
async function firstBox() {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  // Set before the page's own scripts run, so the clock is read as the box opens.
  await page.evaluateOnNewDocument(() => {
    new MutationObserver((_, observer) => {
      if (!document.querySelector('dialog[open]')) return;
      window.firstBoxAt = performance.now();
      observer.disconnect();
    }).observe(document, { subtree: true, childList: true, attributeFilter: ['open'] });
  });
  await page.goto(url);
  await page.waitForFunction(() => window.firstBoxAt !== undefined, { timeout: 20000 });
  const time = await page.evaluate(() => window.firstBoxAt);
  await context.close();
  return time;
}

const times = [];
try {
  await firstBox();
  for (let load = 0; load < Number(loads); load++) times.push(await firstBox());
} finally {
  await browser.close();
}
const sorted = [...times].sort((a, b) => a - b);
const half = Math.floor(sorted.length / 2);
const median = sorted.length % 2 ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2;
console.log(`first box after ${median.toFixed(0)} ms (median of ${times.length} loads: ` +
  `${times.map((t) => t.toFixed(0)).join(', ')})`);
