// Plays the browser build as a person would: headless Chromium through puppeteer-core on the
// served site, and waits on what the page reports (<body data-game>, data-frames, the dialogs
// it shows), never on the clock.
import { mkdir } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { after, before } from 'node:test';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

// A browser launched for the tests of one file; its open() gives a page of the game served at
// GRUMBOL_URL (tools/with-web-server sets it, ./play --web serves http://127.0.0.1:8000/).
export function servedGame() {
  let browser;
  before(async () => (browser = await launch()));
  after(() => browser?.close());
  return { open: () => open(browser, process.env.GRUMBOL_URL ?? 'http://127.0.0.1:8000/') };
}

// The page's size, on a device with touch and a mouse. A page whose touch is switched is loaded
// again: every size keeps it.
export const viewport = { width: 1024, height: 800, hasTouch: true };

// Chromium, or Firefox where FIREFOX names its program; both play sound and movies without a
// gesture first. Firefox is given a sound device that only counts time (there is none here) and
// touch events.
export async function launch() {
  if (process.env.FIREFOX) {
    return puppeteer.launch({
      browser: 'firefox',
      executablePath: process.env.FIREFOX,
      headless: true,
      defaultViewport: viewport,
      extraPrefsFirefox: {
        'media.cubeb.force_mock_context': true,
        'media.autoplay.default': 0,
        'media.autoplay.blocking_policy': 0,
        'dom.w3c_touch_events.enabled': 1,
      },
    });
  }
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required'],
    defaultViewport: viewport,
  });
}

// A page of the game in a context of its own (its own storage), with what its console said
// kept in `messages` and its sound output recorded (soundHeard).
export async function open(browser, url) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.messages = [];
  page.on('console', (message) => page.messages.push(`${message.type()}: ${message.text()}`));
  page.on('pageerror', (error) => page.messages.push(`pageerror: ${error.message}`));
  await page.evaluateOnNewDocument(pageHelpers);
  await page.goto(url);
  return page;
}

// Runs in the page before its own scripts. The canvas's pixels are looked at in the page, which
// then says only what it found: handing whole frames to the test would hold up the game.
// Whatever is connected to an audio context's loudspeakers is also connected to a worklet that
// keeps the first channel, in window.soundOut; silence too, which Firefox hands over as no
// channels.
function pageHelpers() {
  // The browser refuses to catch the pointer, as headless Chromium does by itself: the
  // cross-hair then follows the pointer, where the tests aim.
  Element.prototype.requestPointerLock = function () {
    document.dispatchEvent(new Event('pointerlockerror'));
    return Promise.reject(new DOMException('refused by the test', 'NotAllowedError'));
  };

  // The canvas's pixels in the rectangle, as r, g, b, a bytes a pixel. Read through a copy:
  // reading the game's own canvas back makes Chrome warn in the console.
  window.canvasPixels = (x, y, width, height) => {
    const copy = document.createElement('canvas');
    copy.width = width;
    copy.height = height;
    const context = copy.getContext('2d');
    context.drawImage(document.getElementById('canvas'), -x, -y);
    return context.getImageData(0, 0, width, height).data;
  };

  // Kept at a quarter of the sample rate, each four samples averaged: enough for a sound's shape.
  const quarter = (data, into = []) => {
    for (let i = 0; i + 4 <= data.length; i += 4) {
      into.push((data[i] + data[i + 1] + data[i + 2] + data[i + 3]) / 4);
    }
    return into;
  };
  window.soundOut = { samples: [], rate: 0, quarter };
  const worklet = `registerProcessor('tap', class extends AudioWorkletProcessor {
    process([input]) { this.port.postMessage(input[0] ? input[0].slice() : new Float32Array(128)); return true; }
  });`;
  const module = URL.createObjectURL(new Blob([worklet], { type: 'text/javascript' }));
  const taps = new Map();
  const connect = AudioNode.prototype.connect;
  AudioNode.prototype.connect = function (target, ...rest) {
    const result = connect.call(this, target, ...rest);
    if (target instanceof AudioDestinationNode) {
      const context = this.context;
      if (!taps.has(context)) {
        taps.set(context, context.audioWorklet.addModule(module).then(() => {
          const tap = new AudioWorkletNode(context, 'tap', { numberOfOutputs: 0 });
          tap.port.onmessage = ({ data }) => quarter(data, window.soundOut.samples);
          window.soundOut.rate = context.sampleRate / 4;
          return tap;
        }));
      }
      taps.get(context).then((tap) => connect.call(this, tap));
    }
    return result;
  };
}

// How closely the page's sound output around `at` (a length window.soundOut.samples had)
// matches the sound file `path` of the game's data, at its best place within `seconds` either
// side: 1 for the same samples at any loudness, near 0 for silence or another sound. Waits until
// the page has sounded that long past `at`, and compares here: the page's game plays on.
export async function soundHeard(page, path, at, seconds) {
  const { sound, heard } = await page.evaluate(async (path, at, seconds) => {
    const { rate, quarter } = window.soundOut;
    if (rate === 0) return { sound: [], heard: [] };
    const span = Math.round(seconds * rate);
    while (window.soundOut.samples.length < at + span) await new Promise((wake) => setTimeout(wake, 50));
    const file = await new OfflineAudioContext(1, 1, rate * 4)
      .decodeAudioData(FS.readFile(path).slice().buffer);
    return { sound: quarter(file.getChannelData(0)),
      heard: window.soundOut.samples.slice(Math.max(0, at - span), at + span) };
  }, path, at, seconds);
  const power = sound.reduce((sum, v) => sum + v * v, 0);
  let best = 0;
  for (let lag = 0; lag + sound.length <= heard.length; lag++) {
    let dot = 0;
    let span = 0;
    for (let k = 0; k < sound.length; k++) {
      dot += sound[k] * heard[lag + k];
      span += heard[lag + k] * heard[lag + k];
    }
    if (span > 1e-9) best = Math.max(best, dot / Math.sqrt(power * span));
  }
  return best;
}

export function gameState(page, state) {
  return page.waitForFunction((s) => document.body.dataset.game === s, { timeout: 20000 }, state);
}

// The open dialog's heading and text, once one is open.
export async function dialog(page) {
  const handle = await page.waitForSelector('dialog[open]', { timeout: 20000 });
  return handle.evaluate((d) => ({
    title: d.querySelector('h2').textContent,
    text: d.querySelector('label').firstChild?.textContent ?? '',
    hasField: d.querySelector('input') !== null,
  }));
}

// Answers the open dialog: types `text` into its field, if any, and presses Enter.
export async function answer(page, text = '') {
  const box = await page.waitForSelector('dialog[open]', { timeout: 20000 });
  if (text) await page.keyboard.type(text);
  await page.keyboard.press('Enter');
  await page.waitForFunction((d) => !d.isConnected, { timeout: 20000 }, box);
}

// How many pixels of the rectangle `box` ([x, y, width, height]) lie within `slack` of `rgb`.
export function countColour(page, box, rgb, slack = 40) {
  return page.evaluate((box, rgb, slack) => {
    const bytes = canvasPixels(...box);
    let count = 0;
    for (let i = 0; i < bytes.length; i += 4) {
      if (rgb.every((c, k) => Math.abs(bytes[i + k] - c) <= slack)) count++;
    }
    return count;
  }, box, rgb, slack);
}

// Where the game's picture below the score line changed over ten frames, as a box: with the
// cross-hair still, that is the swimming fish. Null when nothing moved.
export function movingBox(page) {
  return page.evaluate(async () => {
    const frames = () => Number(document.body.dataset.frames ?? 0);
    const before = canvasPixels(0, 40, 1024, 700);
    for (const until = frames() + 10; frames() < until && document.body.dataset.game === 'playing';)
      await new Promise(requestAnimationFrame);
    const now = canvasPixels(0, 40, 1024, 700);
    let [left, top, right, bottom] = [1024, 768, -1, -1];
    for (let i = 0; i < now.length; i += 4) {
      if (now[i] === before[i] && now[i + 1] === before[i + 1] && now[i + 2] === before[i + 2]) continue;
      const [x, y] = [(i / 4) % 1024, 40 + Math.floor(i / 4 / 1024)];
      [left, top, right, bottom] = [Math.min(left, x), Math.min(top, y), Math.max(right, x), Math.max(bottom, y)];
    }
    return right < 0 ? null : { left, top, right, bottom };
  });
}

// How much of the canvas's top-left corner differs from the first picture of the movie file
// `path` of the game's data, decoded here: the share of its pixels off by more than 24 in a
// colour. Looked at every five frames until the share is below `until.below` or above
// `until.above`, as the browser decodes at its own pace; a hundred looks at most.
export function offFirstPicture(page, path, until) {
  return page.evaluate(async (path, until) => {
    const video = document.createElement('video');
    // Without preload 'auto' Chromium has nothing to draw of a paused element.
    Object.assign(video, { muted: true, preload: 'auto' });
    video.src = URL.createObjectURL(new Blob([FS.readFile(path)]));
    await new Promise((loaded) => video.addEventListener('loadeddata', loaded, { once: true }));
    const [width, height] = [video.videoWidth, video.videoHeight];
    const copy = Object.assign(document.createElement('canvas'), { width, height }).getContext('2d');
    copy.drawImage(video, 0, 0);
    const first = copy.getImageData(0, 0, width, height).data;
    URL.revokeObjectURL(video.src);
    const frames = () => Number(document.body.dataset.frames ?? 0);
    const done = (off) => ('below' in until ? off < until.below : off > until.above);
    let off = 1;
    for (let looks = 0; looks < 100; looks++) {
      const shown = canvasPixels(0, 0, width, height);
      off = 0;
      for (let i = 0; i < first.length; i += 4) {
        if ([0, 1, 2].some((k) => Math.abs(first[i + k] - shown[i + k]) > 24)) off++;
      }
      off /= width * height;
      if (done(off)) break;
      for (const next = frames() + 5; frames() < next && document.body.dataset.game === 'playing';)
        await new Promise(requestAnimationFrame);
    }
    return off;
  }, path, until);
}

// Where the canvas pixel (x, y) lies on the page.
export async function pagePoint(page, x, y) {
  const box = await (await page.$('#canvas')).boundingBox();
  return { x: box.x + (x + 0.5) * box.width / 1024, y: box.y + (y + 0.5) * box.height / 768 };
}

// Waits until `count` more frames have been shown, or the game has left its screen.
export async function framesAfter(page, count) {
  const now = await page.evaluate(() => Number(document.body.dataset.frames ?? 0));
  await page.waitForFunction(
    (n) => Number(document.body.dataset.frames ?? 0) >= n || document.body.dataset.game !== 'playing',
    { timeout: 20000 }, now + count);
}

// Holds a key down until the game has drawn two frames: the game reads the keyboard's state
// once a frame, and a key pressed and let go between two reads is never seen.
export async function holdKey(page, code) {
  await page.keyboard.down(code);
  await framesAfter(page, 2);
  await page.keyboard.up(code);
}

// Saves a screenshot as NAME.png in $GRUMBOL_SHOTS (else the system's temporary folder).
export async function screenshot(page, name) {
  const folder = process.env.GRUMBOL_SHOTS ?? tmpdir();
  await mkdir(folder, { recursive: true });
  await page.screenshot({ path: join(folder, `${name}.png`) });
}
