// The browser build played in headless Chromium: the boxes, the game screen, a shot, the end
// and the record file kept in the browser. GRUMBOL_SITE names the built folder.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import {
  answer, dialog, framesAfter, gameState, holdKey, pagePoint, pixels, screenshot, servedGame,
} from './game_page.js';

const game = servedGame();

// Counts the pixels whose colour lies within `slack` of `rgb`.
function countColour(bytes, rgb, slack = 40) {
  let count = 0;
  for (let i = 0; i < bytes.length; i += 4) {
    if (rgb.every((c, k) => Math.abs(bytes[i + k] - c) <= slack)) count++;
  }
  return count;
}

async function startGame(page, name) {
  assert.deepEqual(await dialog(page),
    { title: 'Daromir Grumbol Game', text: 'Gib deinen Namen ein!', hasField: false });
  await answer(page);
  await answer(page, name);
  await gameState(page, 'playing');
  await framesAfter(page, 30);
}

async function endGame(page, points) {
  await holdKey(page, 'Escape');
  assert.deepEqual(await dialog(page),
    { title: 'Game Over', text: `Du hast ${points} Punkte erreicht!`, hasField: false });
  await answer(page);
  await gameState(page, 'over');
}

function recordFile(page) {
  return page.evaluate(() => FS.readFile('/records/Vusk.qzc', { encoding: 'utf8' }));
}

test('a whole game: the name asked again when empty, the sea with the score line, Escape, ' +
     'the record line kept across a reload; the console says nothing', async () => {
  const page = await game.open();
  await dialog(page);
  await screenshot(page, 'first-box');
  await answer(page);
  assert.equal((await dialog(page)).title, 'Daromirs Grumbol Game');
  await answer(page, '');
  assert.deepEqual(await dialog(page),
    { title: 'Name vergessen!', text: 'Gib bitte deinen Namen ein!', hasField: false });
  await answer(page);
  await answer(page, 'Anna');
  await gameState(page, 'playing');
  // Away from the score line, which the cross-hair covers where it starts.
  const centre = await pagePoint(page, 512, 600);
  await page.mouse.move(centre.x, centre.y);
  await framesAfter(page, 30);
  await screenshot(page, 'game-screen');
  // "Punkte:0" in blue at the top left, "Durchgefallen:0" in red at the top right.
  assert.ok(countColour(await pixels(page, 0, 0, 90, 16), [2, 121, 234]) > 20);
  assert.ok(countColour(await pixels(page, 880, 0, 144, 16), [223, 82, 32]) > 20);
  await endGame(page, 0);
  assert.equal(await recordFile(page), 'Anna: 0\r\n');

  await page.reload();
  await startGame(page, 'Bert');
  await endGame(page, 0);
  assert.equal(await recordFile(page), 'Anna: 0\r\nAnna: 0Bert: 0\r\n');
  assert.deepEqual(page.messages, []);
});
