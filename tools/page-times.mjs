// tools/with-web-server SITE node tools/page-times.mjs [LOADS]: the page's times in headless
// Chromium on the site served at GRUMBOL_URL (e.g. build-web/site on localhost), read from the
// page's own clock (performance.now()). LOADS times (default 5), each in a new context (nothing
// cached): the milliseconds from navigation start to the first open <dialog>, and from the name
// confirmed to the game's first frame; their medians. Then, in the last load, a movie key (5)
// held down for 300 frames: the microseconds a frame spends restarting its movie in the page
// (the <video> element's pause, rewind and play), their median and the worst.
// One load before them is not counted: it waits for the browser's own processes to start.
import { answer, dialog, framesAfter, launch } from '../tests/web/game_page.js';

const [loads = '5'] = process.argv.slice(2);
const url = process.env.GRUMBOL_URL;
if (!url || !(Number(loads) >= 1)) {
  console.error('usage: tools/with-web-server SITE node tools/page-times.mjs [LOADS]');
  process.exit(2);
}

const browser = await launch();

// Runs in the page before its own scripts: the clock read as the first box opens, as the name
// box closes and as the first frame is shown; the time spent in the movies' restarts, a frame
// at a time.
function watchPage() {
  window.times = { restarts: [] };
  new MutationObserver(() => {
    const open = document.querySelectorAll('dialog[open]').length;
    if (open && times.firstBox === undefined) times.firstBox = performance.now();
    if (document.body.dataset.frames === '1' && times.firstFrame === undefined)
      times.firstFrame = performance.now();
  }).observe(document, { subtree: true, childList: true, attributes: true,
    attributeFilter: ['open', 'data-frames'] });
  document.addEventListener('close', () => (times.boxClosed = performance.now()), true);
  let frame = -1;
  const timed = (run) => function (...args) {
    const start = performance.now();
    try {
      return run.apply(this, args);
    } finally {
      const now = document.body.dataset.frames;
      if (now !== frame) times.restarts.push(0);
      frame = now;
      times.restarts[times.restarts.length - 1] += performance.now() - start;
    }
  };
  const media = HTMLMediaElement.prototype;
  media.pause = timed(media.pause);
  media.play = timed(media.play);
  const time = Object.getOwnPropertyDescriptor(media, 'currentTime');
  Object.defineProperty(media, 'currentTime', { ...time, set: timed(time.set) });
}

// One load: its times, the page left open.
async function load() {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.evaluateOnNewDocument(watchPage);
  await page.goto(url);
  await dialog(page);
  await answer(page);
  await answer(page, 'Anna');
  await page.waitForFunction(() => times.firstFrame !== undefined, { timeout: 20000 });
  const { firstBox, boxClosed, firstFrame } = await page.evaluate(() => times);
  return { page, context, firstBox, toPlay: firstFrame - boxClosed };
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const half = Math.floor(sorted.length / 2);
  return sorted.length % 2 ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2;
};
const list = (values) => values.map((t) => t.toFixed(0)).join(', ');

const firstBoxes = [], toPlay = [];
let restarts = [];
try {
  await (await load()).context.close();
  for (let n = 0; n < Number(loads); n++) {
    const run = await load();
    firstBoxes.push(run.firstBox);
    toPlay.push(run.toPlay);
    if (n === Number(loads) - 1) {
      await framesAfter(run.page, 30);
      await run.page.evaluate(() => (times.restarts = []));
      await run.page.keyboard.down('Digit5');
      await framesAfter(run.page, 300);
      await run.page.keyboard.up('Digit5');
      // The first frame played the movie without a restart.
      restarts = (await run.page.evaluate(() => times.restarts)).slice(1);
    }
    await run.context.close();
  }
} finally {
  await browser.close();
}
console.log(`first box after ${median(firstBoxes).toFixed(0)} ms (median of ${firstBoxes.length} ` +
  `loads: ${list(firstBoxes)})`);
console.log(`name confirmed to the first frame ${median(toPlay).toFixed(0)} ms (median of ` +
  `${toPlay.length} loads: ${list(toPlay)})`);
const micro = restarts.map((t) => t * 1000);
console.log(`held movie key: ${median(micro).toFixed(0)} us a frame restarting the movie ` +
  `(median of ${micro.length} frames, worst ${Math.max(...micro).toFixed(0)} us)`);
