// A fish found on the screen and shot, with the mouse and with a finger: the game counts the hit
// ("Punkte:10" drawn, 10 points in the Game Over box).
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  answer, dialog, framesAfter, gameState, holdKey, pagePoint, pixels, screenshot, servedGame,
} from './game_page.js';

const game = servedGame();

// Where the game's picture changed between two looks ten frames apart, as a box: with the
// cross-hair still, that is the swimming fish. Null when nothing moved.
async function movingBox(page) {
  const look = () => pixels(page, 0, 40, 1024, 700);
  const before = await look();
  await framesAfter(page, 10);
  const now = await look();
  let box = null;
  for (let i = 0; i < now.length; i += 4) {
    if (now[i] === before[i] && now[i + 1] === before[i + 1] && now[i + 2] === before[i + 2]) continue;
    const x = (i / 4) % 1024;
    const y = 40 + Math.floor(i / 4 / 1024);
    box = box ?? { left: x, right: x, top: y, bottom: y };
    box.left = Math.min(box.left, x);
    box.right = Math.max(box.right, x);
    box.top = Math.min(box.top, y);
    box.bottom = Math.max(box.bottom, y);
  }
  return box;
}

// Shoots at a place in a fish's row just ahead of it until the score line changes: the fish
// swims into the shots however fast the machine draws. A fish that swam past meanwhile (a slow
// machine) or two fish seen as one leave the shots unanswered: then the next fish.
async function shootFish(page, shootAt) {
  // A first shot at the bottom corner takes the cross-hair off the score line, where it starts.
  await shootAt(await pagePoint(page, 1000, 750));
  const scoreLine = () => pixels(page, 0, 0, 90, 16);
  const unhit = JSON.stringify(await scoreLine());
  for (let fish = 0; fish < 10; fish++) {
    let box = null;
    for (let looks = 0; looks < 100 && !(box && box.right < 600); looks++) box = await movingBox(page);
    assert.ok(box && box.right < 600, 'no fish swam');
    const aim = await pagePoint(page, box.right + 60, Math.round((box.top + box.bottom) / 2));
    for (let shot = 0; shot < 40; shot++) {
      await shootAt(aim);
      if (JSON.stringify(await scoreLine()) !== unhit) return;
    }
  }
  assert.fail('ten fish, none hit');
}

async function play(page, shootAt, name) {
  await answer(page);
  await answer(page, 'Anna');
  await gameState(page, 'playing');
  await shootFish(page, shootAt);
  await screenshot(page, name);
  await holdKey(page, 'Escape');
  // One shot may hit two fish where they swim across each other.
  assert.match((await dialog(page)).text, /^Du hast [1-9]\d*0 Punkte erreicht!$/);
  await answer(page);
  await gameState(page, 'over');
}

test('a fish shot with the mouse', async () => {
  const page = await game.open();
  await dialog(page);
  await play(page, async ({ x, y }) => {
    await page.mouse.move(x, y);
    await page.mouse.down();
    await framesAfter(page, 2);
    await page.mouse.up();
    await framesAfter(page, 2);
  }, 'fish-shot-with-the-mouse');
});

test('a fish shot by a touch', async () => {
  const page = await game.open();
  await page.setViewport({ width: 1024, height: 800, hasTouch: true });
  await dialog(page);
  await play(page, async ({ x, y }) => {
    await page.touchscreen.touchStart(x, y);
    await framesAfter(page, 2);
    await page.touchscreen.touchEnd();
    await framesAfter(page, 2);
  }, 'fish-shot-by-a-touch');
});
