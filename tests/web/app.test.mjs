// The page as an app a reader keeps, in Debian's Chromium: hostile zips refused while the game playing plays on,
// saves never overwritten by a failure, the library across a reload and a browser restart, offline after the first
// visit, phones upright and sideways, the keyboard alone, and the end of the program.
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { launch, model, openPage, pagePoint, pressStage, pressWidget, reading, readOn, ROOT, serveSite, titleShown, until, useTool, waitingForReader, withOpenPage } from './browser.mjs';
import { gameEntries, makeZip } from './zips.mjs';

const DEMO = join(ROOT, 'build/demo');
let site;
let work;
before(async () => {
  site = await serveSite();
  work = mkdtempSync(join(tmpdir(), 'shiori-web-app-'));
});
after(() => {
  site.stop();
  rmSync(work, { recursive: true, force: true });
});

const withPage = (options, body) => withOpenPage(site.url, options, body);

function zipFile(name, entries) {
  const path = join(work, name);
  writeFileSync(path, makeZip(entries));
  return path;
}

async function startStory(page) {
  await pressWidget(page, '物語を読む');
  await pressWidget(page, 'はじめから');
  await until(page, (m) => m.state.CurrentPage === 1 && m.widgets['lbl1(0)'].caption !== '');
}

const storedSaves = (page, game) =>
  page.evaluate(
    (game) =>
      new Promise((resolve) => {
        indexedDB.open('shiori').onsuccess = (event) => {
          const store = event.target.result.transaction('saves').objectStore('saves');
          const range = IDBKeyRange.bound([game, ''], [game, '\uffff']);
          const out = {};
          store.openCursor(range).onsuccess = (e) => {
            const cursor = e.target.result;
            if (!cursor) return resolve(out);
            out[cursor.key[1]] = [...cursor.value];
            cursor.continue();
          };
        };
      }),
    game,
  );

test('hostile zips are refused naming the entry and the reason, and the story playing goes on untouched', async () => {
  const game = gameEntries(DEMO, 'GAME');
  const zeros = Buffer.alloc(64 * 1048576);
  const hostile = [
    ['escaping.zip', [...game, { name: '../../evil.rgd', content: Buffer.from('x') }], /evil\.rgd.*leads out of the folder/],
    ['twice.zip', [...game, { name: 'GAME/data1.rgd/x', content: Buffer.from('x') }], /GAME\/data1\.rgd.*both a file and a folder/],
    ['bomb.zip', [...game, { name: 'GAME/data/0001.wav', content: zeros }], /zip bomb/],
    ['liar.zip', [...game, { name: 'GAME/data/0002.wav', content: zeros, size: 1024 }], /0002\.wav.*another size/],
    ['many.zip', [...game, ...Array.from({ length: 100 }, (_, i) => ({ name: `GAME/data/${i}.wav`, content: Buffer.alloc(1048576) }))], /zip bomb/],
    ['zip64.zip', [...game, { name: 'GAME/data/0003.wav', content: Buffer.from('x'), size: 0xffffffff }], /zip64/],
    ['garbled.zip', [...game, { name: 'GAME/data/0004.wav', content: Buffer.from('some music'), crc: 1234 }], /0004\.wav.*checksum/],
  ];
  await withPage({}, async (page) => {
    await startStory(page);
    await readOn(page, () => pressStage(page, 320, 200));
    await waitingForReader(page);
    const before = await model(page);
    const place = (m) => [reading(m), m.layers];
    for (const [name, entries, reason] of hostile) {
      await page.setInputFiles('#open-zip', zipFile(name, entries));
      const notice = page.locator('#notice.error', { hasText: name });
      await notice.waitFor();
      assert.match(await notice.textContent(), reason, name);
      assert.deepEqual(place(await model(page)), place(before), `${name} left the story as it was`);
    }
    assert.equal(await page.evaluate(() => shioriPage.game.name), 'demo');
    // The demo reads on with its own pictures.
    await readOn(page, () => pressStage(page, 320, 200));
    const m = await model(page);
    assert.equal(m.layers.Picture1.pictureMissing, false);
  });
});

test('a Shift-JIS zip opens under its Japanese name', async () => {
  const sjis = Buffer.from([0x82, 0xb5, 0x82, 0xa8, 0x82, 0xe8]); // しおり
  const named = gameEntries(DEMO, 'x').map((entry) => ({ ...entry, name: Buffer.concat([sjis, Buffer.from(entry.name.slice(1))]), utf8: false }));
  await withPage({}, async (page) => {
    await page.setInputFiles('#open-zip', zipFile('sjis.zip', named));
    await page.waitForFunction(() => shioriPage.game?.name === 'しおり' && shioriPage.firstFrameAt !== null);
    assert.equal(await page.title(), 'しおり — shiori');
  });
});

test('saves whose storage cannot be read are not overwritten: the game is not opened, and says why', async () => {
  const context = await launch();
  const profile = context.profile;
  let before;
  try {
    const page = await openPage(context, site.url);
    await startStory(page);
    await readOn(page, () => pressStage(page, 320, 200));
    await waitingForReader(page);
    await pressStage(page, 320, 200, 'right');
    await pressWidget(page, '現在のしおりに保存する');
    await page.locator('#notice', { hasText: 'セーブしました' }).waitFor();
    before = await storedSaves(page, 'demo');
    assert.ok(before['data4.rgd'] && before['data5.rgd']);
  } finally {
    await context.close();
  }
  const broken = await launch({ profile });
  try {
    await broken.addInitScript(() => {
      const getAll = IDBObjectStore.prototype.getAll;
      IDBObjectStore.prototype.getAll = function failing(...args) {
        if (this.name === 'saves') throw new DOMException('The disk could not be read.', 'UnknownError');
        return getAll.apply(this, args);
      };
    });
    const page = broken.pages()[0] ?? (await broken.newPage());
    await page.goto(site.url);
    const notice = page.locator('#notice.error', { hasText: 'not opened' });
    await notice.waitFor();
    assert.match(await notice.textContent(), /demo.*could not be read/);
    assert.equal(await page.evaluate(() => shioriPage.model), null);
    assert.deepEqual(await storedSaves(page, 'demo'), before, 'the stored saves are byte for byte as they were');
  } finally {
    await broken.close();
    rmSync(profile, { recursive: true, force: true });
  }
});

test('an import takes only real saves, naming the file that is not one', async () => {
  await withPage({}, async (page) => {
    const junk = join(work, 'data2.rgd');
    writeFileSync(junk, Buffer.alloc(37, 0xff));
    await page.setInputFiles('#import-saves', junk);
    const notice = page.locator('#notice.error', { hasText: 'data2.rgd' });
    await notice.waitFor();
    assert.match(await notice.textContent(), /Nothing was imported/);
    assert.deepEqual(await storedSaves(page, 'demo'), {});
  });
});

test('a player that cannot load says so where the title would be', async () => {
  const context = await launch();
  try {
    const page = await context.newPage();
    await page.route('**/shiori-web.wasm', (route) => route.fulfill({ status: 404, body: 'gone' }));
    await page.goto(site.url);
    const alert = page.locator('#loading[role=alert]');
    await alert.waitFor();
    assert.match(await alert.textContent(), /could not be loaded/);
  } finally {
    await context.close();
    context.removeProfile();
  }
});

test('every game opened is in the library after a reload and a browser restart; removing one asks whether its saves go', async () => {
  const zip = zipFile('kept.zip', gameEntries(DEMO, 'KEPT'));
  const context = await launch();
  const profile = context.profile;
  try {
    const page = await openPage(context, site.url);
    await page.setInputFiles('#open-zip', zip);
    await page.waitForFunction(() => shioriPage.game?.name === 'KEPT' && shioriPage.firstFrameAt !== null);
    assert.match(page.url(), /#game=KEPT$/);
    await page.reload();
    await page.waitForFunction(() => shioriPage.game?.name === 'KEPT' && shioriPage.firstFrameAt !== null);
  } finally {
    await context.close();
  }
  await withPage({ profile }, async (page) => {
    assert.equal(await page.evaluate(() => shioriPage.game.name), 'demo', 'the plain address opens the demo');
    await page.click('#show-library');
    const library = page.locator('dialog#library');
    await library.waitFor();
    const kept = library.locator('li.game[data-name="KEPT"]');
    await kept.waitFor();
    assert.deepEqual(await library.locator('li.game').evaluateAll((items) => items.map((item) => item.dataset.name)), ['demo', 'KEPT']);
    assert.match(await kept.locator('.dates').textContent(), /Last played/);
    await page.waitForFunction(() => document.querySelector('li.game[data-name="KEPT"] img')?.complete);
    await kept.locator('button.play').click();
    await page.waitForFunction(() => shioriPage.game?.name === 'KEPT' && shioriPage.firstFrameAt !== null);

    await page.click('#show-library');
    await kept.locator('button.remove').click();
    const ask = page.locator('dialog#remove-game');
    await ask.waitFor();
    assert.match(await ask.locator('.consequence').textContent(), /saves stay/);
    await ask.locator('[name=saves]').check();
    assert.match(await ask.locator('.consequence').textContent(), /deleted too/);
    await ask.locator('.yes').click();
    await kept.waitFor({ state: 'detached' });
    assert.match(await library.locator('.storage').textContent(), /Storage in use/);
  });
  rmSync(profile, { recursive: true, force: true });
});

test('after the first visit the page installs, and reloads and plays offline', async () => {
  await withPage({}, async (page, context) => {
    await page.evaluate(() => navigator.serviceWorker.ready);
    const cdp = await context.newCDPSession(page);
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors, []);
    await context.setOffline(true);
    await page.reload();
    await titleShown(page);
    await startStory(page);
    await waitingForReader(page);
    assert.equal((await model(page)).layers.Picture1.pictureMissing, false, 'the demo\'s pictures came from the cache');
  });
});

async function touchSwipe(page, fromY, toY) {
  const cdp = await page.context().newCDPSession(page);
  const [x, y0] = await pagePoint(page, 320, fromY);
  const [, y1] = await pagePoint(page, 320, toY);
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y: y0 }] });
  for (let i = 1; i <= 8; ++i) await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [{ x, y: y0 + ((y1 - y0) * i) / 8 }] });
  await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await cdp.detach();
}

test('a phone held upright: the page fits the width, its menus open on the screen and answer a tap; swipes and taps drive the history', async () => {
  await withPage({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 2, hasTouch: true }, async (page) => {
    assert.equal(await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth), true, 'nothing wider than the screen');
    assert.equal(await page.locator('#turn-phone').isVisible(), true);
    const stage = await page.locator('#stage').boundingBox();
    assert.ok(stage.width >= 388, `the stage is ${stage.width} px wide`);
    await page.tap('button.top[data-name="reading"]');
    const item = page.locator('.item[data-name="reading.preferences"]');
    const box = await item.boundingBox();
    assert.ok(box.x >= 0 && box.x + box.width <= 390, `the reading menu lies at ${box.x}..${box.x + box.width}`);
    await item.tap();
    await page.locator('dialog#preferences').waitFor();
    await page.locator('dialog#preferences .close').tap();

    await startStory(page);
    await waitingForReader(page);
    await touchSwipe(page, 100, 300);
    await until(page, (m) => m.comforts.backlogOpen);
    await page.touchscreen.tap(...(await pagePoint(page, 320, 200)));
    await until(page, (m) => !m.comforts.backlogOpen);
    const cdp = await page.context().newCDPSession(page);
    const [x, y] = await pagePoint(page, 320, 200);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y, id: 1 }, { x: x + 40, y, id: 2 }] });
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await until(page, (m) => m.comforts.textHidden);
  });
});

test('a phone held sideways: the header is one row, the tools open on the screen, and notices show over the stage', async () => {
  await withPage({ viewport: { width: 844, height: 390 }, deviceScaleFactor: 2, hasTouch: true }, async (page) => {
    const header = await page.locator('header').boundingBox();
    assert.ok(header.height < 40, `the header is ${header.height} px high`);
    await page.tap('#more-tools');
    for (const id of ['pick-folder', 'pick-zip', 'export-saves', 'pick-saves', 'screenshot', 'full-screen', 'show-help', 'switch-language']) {
      const box = await page.locator(`#${id}`).boundingBox();
      assert.ok(box && box.x >= 0 && box.x + box.width <= 844 && box.y + box.height <= 390, `${id} lies on the screen`);
    }
    await page.tap('#export-saves');
    const notice = page.locator('#notice', { hasText: 'no saves' });
    await notice.waitFor();
    const box = await notice.boundingBox();
    assert.ok(box.y + box.height <= 390 && box.y > 0, 'the notice is on the screen');
  });
});

test('the keyboard alone reaches every control of the page; Tab skips only on the stage; the roles are named', async () => {
  await withPage({}, async (page) => {
    // The keys the page hands to the core.
    await page.evaluate(() => {
      const keyDown = shioriPage.core.keyDown.bind(shioriPage.core);
      window.keysToCore = [];
      shioriPage.core.keyDown = (event) => (keysToCore.push(event.key), keyDown(event));
    });
    const reached = new Set();
    for (let i = 0; i < 30; ++i) {
      await page.keyboard.press('Tab');
      reached.add(await page.evaluate(() => document.activeElement.id || document.activeElement.dataset.name || document.activeElement.tagName));
    }
    const enabledTops = await page.locator('button.top:not(:disabled)').evaluateAll((b) => b.map((e) => e.dataset.name));
    for (const control of [...enabledTops, 'show-library', 'more-tools', 'stage']) assert.ok(reached.has(control), `${control} by Tab (reached ${[...reached]})`);
    const stageTabs = await page.evaluate(() => keysToCore.filter((key) => key === 'Tab').length);
    assert.ok(stageTabs < 30 && stageTabs > 0, `only the Tabs pressed on the stage went to the story (${stageTabs})`);

    await page.focus('#more-tools');
    await page.keyboard.press('Enter');
    assert.equal(await page.locator('#more-tools').getAttribute('aria-expanded'), 'true');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'pick-folder');
    await page.keyboard.press('Escape');
    assert.equal(await page.locator('#page-tools').isVisible(), false);

    assert.equal(await page.locator('nav#menubar').getAttribute('role'), 'menubar');
    await page.keyboard.press('Alt+R');
    assert.equal(await page.locator('button.top[data-name="reading"]').getAttribute('aria-expanded'), 'true');
    assert.equal(await page.locator('.item[data-name="reading.auto"]').getAttribute('role'), 'menuitemcheckbox');
    await page.keyboard.press('Escape');

    await startStory(page);
    await waitingForReader(page);
    await page.focus('#stage');
    const tabs = await page.evaluate(() => keysToCore.length);
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'stage', 'Tab stayed with the story');
    assert.equal(await page.evaluate((from) => keysToCore.slice(from).join(), tabs), 'Tab');
    await page.keyboard.press('Shift+Tab');
    assert.notEqual(await page.evaluate(() => document.activeElement.id), 'stage', 'Shift+Tab leaves the stage');

    await page.focus('#stage');
    await page.keyboard.press('Escape');
    await pressStage(page, 320, 200, 'right');
    await pressWidget(page, 'ロードする');
    const question = page.locator('dialog#question');
    await question.waitFor();
    assert.equal(await page.evaluate(() => document.querySelector('#question').getAttribute('aria-labelledby')), 'question-title');
    assert.equal(await page.locator('#question-title').textContent(), '確認');
    await page.keyboard.press('n');
  });
});

test('the menu\'s ゲーム終了 asks first, and the end of the program offers to start again or to go to the library', async () => {
  await withPage({}, async (page) => {
    await page.click('button.top[data-name="menuSYUURYOU"]');
    await page.click('.item[data-name="menuEND"]');
    const question = page.locator('dialog#question');
    await question.waitFor();
    assert.match(await question.locator('.text').textContent(), /ゲームを終了します/);
    await question.locator('.no').click();
    await question.waitFor({ state: 'hidden' });
    // The title's own entry ends at once, as it always has; the page then stays usable.
    await pressWidget(page, 'ゲーム終了');
    const ended = page.locator('#ended');
    await ended.waitFor();
    assert.equal(await page.evaluate(() => document.activeElement.className), 'again');
    await ended.locator('.library').click();
    await page.locator('dialog#library').waitFor();
    await page.locator('dialog#library .close').click();
    await ended.locator('.again').click();
    await titleShown(page);
    assert.equal(await ended.isVisible(), false);
  });
});

test('the help lists the core\'s keys, the menus\' keys and the touch gestures, in the language chosen', async () => {
  await withPage({}, async (page) => {
    await useTool(page, 'show-help');
    const help = page.locator('dialog#help');
    await help.waitFor();
    assert.match(await help.locator('.keys').textContent(), /F11/);
    assert.match(await help.locator('.menu-keys').textContent(), /Alt\+W/);
    assert.match(await help.locator('.touch').textContent(), /Swipe down/);
    await help.locator('.close').click();
    await useTool(page, 'switch-language');
    await useTool(page, 'show-help');
    assert.match(await help.locator('.touch').textContent(), /スワイプ/);
    assert.equal(await page.evaluate(() => document.documentElement.lang), 'ja');
  });
});
