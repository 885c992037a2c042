// Plays the browser build as a person would: a static server on the built site, headless
// Chromium through puppeteer-core, and waits on what the page reports (<body data-game>,
// data-frames, the dialogs it shows), never on the clock.
import { createReadStream } from 'node:fs';
import { mkdir, stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { after, before } from 'node:test';
import { extname, join, normalize } from 'node:path';
import puppeteer from 'puppeteer-core';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
};

// Serves `folder` on a free port of 127.0.0.1; resolves to { url, close }.
export async function serve(folder) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(folder, path.endsWith('/') ? path + 'index.html' : path);
    try {
      if (!(await stat(file)).isFile()) throw new Error('not a file');
      response.writeHead(200, { 'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream' });
      createReadStream(file).pipe(response);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  server.unref();
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// The built site served and a browser launched for the tests of one file (GRUMBOL_SITE names the
// site, else build-web/site); its open() gives a page of the game.
export function servedGame() {
  const site = process.env.GRUMBOL_SITE ?? new URL('../../build-web/site', import.meta.url).pathname;
  let server;
  let browser;
  before(async () => {
    server = await serve(site);
    browser = await launch();
  });
  after(async () => {
    await browser?.close();
    await server?.close();
  });
  return { open: () => open(browser, server.url) };
}

export async function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required'],
    defaultViewport: { width: 1024, height: 800 },
  });
}

// A page of the game in a context of its own (its own storage), with what its console said
// kept in `messages`.
export async function open(browser, url) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  page.messages = [];
  page.on('console', (message) => page.messages.push(`${message.type()}: ${message.text()}`));
  page.on('pageerror', (error) => page.messages.push(`pageerror: ${error.message}`));
  await page.goto(url);
  return page;
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

// The canvas's pixels in the rectangle, as [r, g, b, a] bytes a pixel.
export function pixels(page, x, y, width, height) {
  // Read through a copy: reading the game's own canvas back makes Chrome warn in the console.
  return page.evaluate((x, y, w, h) => {
    const copy = document.createElement('canvas');
    copy.width = w;
    copy.height = h;
    const context = copy.getContext('2d');
    context.drawImage(document.getElementById('canvas'), -x, -y);
    return Array.from(context.getImageData(0, 0, w, h).data);
  }, x, y, width, height);
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
