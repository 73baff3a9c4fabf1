// The page in Debian's Chromium, as a reader uses it: the demo's title, reading, choices, the in-game menu and its
// question, the reading menu and the preferences screen, saves kept across a reload and a browser restart, export
// and import, storage refusing a save, other games opened from a folder or dropped on the page, and music after the
// first click.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFileSync, cpSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { unzipSync, zipSync } from 'fflate';
import { chooseReading, eventually, launch, model, ROOT, openPage, pagePoint, pressStage, pressWidget, reading, readOn, serveSite, startStory, titleShown, until, useTool, waitingForReader, withOpenPage } from './browser.mjs';

let site;
before(async () => (site = await serveSite()));
after(() => site.stop());

const withPage = (options, body) => withOpenPage(site.url, options, body);

async function readToChoice(page) {
  for (let i = 0; i < 60; ++i) {
    if ((await model(page)).widgets['lblSEL(0)'].visible) return;
    await readOn(page, () => pressStage(page, 320, 200));
  }
  assert.fail('no choice within 60 pages');
}

test('the title is drawn in the shipped font, and a story reads on by click, Enter and wheel up to a choice', async () => {
  await withPage({}, async (page) => {
    const m = await model(page);
    assert.equal(m.layers.Picture2.picture, 'data/op01.rgd');
    assert.equal(m.layers.Picture2.pictureMissing, false);
    // Japanese captions render in the font the site ships, not a fallback of the machine.
    assert.ok(await page.evaluate(() => document.fonts.check('27px ShioriStage', '物語を読む')));
    const painted = await page.evaluate(() => {
      const g = document.getElementById('stage').getContext('2d');
      const { data } = g.getImageData(0, 0, g.canvas.width, g.canvas.height);
      const colours = new Set();
      for (let i = 0; i < data.length; i += 997 * 4) colours.add((data[i] << 16) | (data[i + 1] << 8) | data[i + 2]);
      return colours.size;
    });
    assert.ok(painted > 20, `the canvas shows ${painted} colours`);
    // The menu bar follows the model: the quick save is off until a story runs; Ctrl+W, which closes the tab,
    // is Alt+W here.
    assert.equal(await page.locator('button.top[data-name="menuRIGHT"]').isDisabled(), true);
    assert.equal(await page.locator('.item[data-name="menuSAVE(1)"] .keys').textContent(), 'Alt+W');

    await startStory(page);
    await until(page, (m) => m.menus.menuRIGHT.enabled);
    assert.equal(await page.locator('button.top[data-name="menuRIGHT"]').isDisabled(), false);
    await readOn(page, () => pressStage(page, 320, 200));
    await readOn(page, () => page.keyboard.press('Enter'));
    await readOn(page, async () => {
      await page.mouse.move(...(await page.locator('#stage').boundingBox().then((b) => [b.x + 100, b.y + 100])));
      await page.mouse.wheel(0, 100);
    });
    await readToChoice(page);
    const choicePage = (await model(page)).state.CurrentPage;
    await pressWidget(page, 'lblSEL(0)');
    await until(page, (m, from) => m.state.CurrentPage !== from && !m.widgets['lblSEL(0)'].visible, choicePage);
  });
});

test('the in-game menu opens by right click; its question is asked in the page and the answer is honoured', async () => {
  await withPage({}, async (page) => {
    await startStory(page);
    await waitingForReader(page);
    await pressStage(page, 320, 200, 'right');
    await pressWidget(page, 'ロードする');
    const dialog = page.locator('dialog#question');
    await dialog.waitFor({ state: 'visible' });
    assert.match(await dialog.locator('.text').textContent(), /現在のゲームを終了しますか/);
    // いいえ keeps the story; Enter gives the desktop's default answer, はい.
    await dialog.locator('.no').click();
    await dialog.waitFor({ state: 'hidden' });
    assert.equal((await model(page)).state.CurrentPage, 1);
    await pressWidget(page, 'ロードする');
    await dialog.waitFor({ state: 'visible' });
    await page.keyboard.press('Enter');
    await until(page, (m) => m.state.MenuMode === 2); // the load menu
  });
});

test('the history opens by wheel, hidden text comes back on a click without reading on, auto reads on by itself, F12 saves the stage', async () => {
  await withPage({}, async (page) => {
    await startStory(page);
    await readOn(page, () => pressStage(page, 320, 200));
    await waitingForReader(page);
    const [x, y] = await pagePoint(page, 320, 200);
    await page.mouse.move(x, y);
    await page.mouse.wheel(0, -100);
    await until(page, (m) => m.comforts.backlogOpen && m.comforts.backlog.some((entry) => entry.lines.some((line) => line.includes('七月の終わり'))));
    await page.keyboard.press('Escape');
    await until(page, (m) => !m.comforts.backlogOpen);

    const before = reading(await model(page));
    // The reading menu by keys alone, as on the desktop: Alt+R opens it on its first entry, 文字を隠す is the fourth.
    await page.keyboard.press('Alt+R');
    for (let i = 0; i < 3; ++i) await page.keyboard.press('ArrowDown');
    await page.keyboard.press('Enter');
    await until(page, (m) => m.comforts.textHidden);
    await pressStage(page, 320, 200);
    await until(page, (m) => !m.comforts.textHidden);
    assert.equal(reading(await model(page)), before, 'the click only brought the text back');

    await page.keyboard.press('a');
    await until(page, (m) => m.comforts.auto);
    // The menu bar follows on the next frame drawn.
    const autoEntry = (checked) => page.locator(`.item[data-name="reading.auto"][aria-checked="${checked}"]`).waitFor({ state: 'attached' });
    await autoEntry(true);
    await until(page, new Function('m', 'before', `return (${reading})(m) !== before`), before);
    await pressStage(page, 320, 200);
    await until(page, (m) => !m.comforts.auto);
    await autoEntry(false);

    const download = page.waitForEvent('download');
    await page.keyboard.press('F12');
    const shot = readFileSync(await (await download).path());
    assert.deepEqual([...shot.subarray(1, 4)], [...Buffer.from('PNG')]);
    assert.deepEqual([shot.readUInt32BE(16), shot.readUInt32BE(20)], [640, 400], 'whole stage pixels at this size');
    await until(page, (m) => m.comforts.notice?.startsWith('スクリーンショットを保存しました: shiori-'));
  });
});

test('the preferences screen applies a change at once and keeps it in the browser across a reload', async () => {
  await withPage({}, async (page) => {
    const screen = page.locator('dialog#preferences');
    const volume = screen.locator('[name=music_volume]');
    const delay = screen.locator('[name=auto_delay]');
    const showsPage = screen.locator('[name=click_shows_page]');
    const keepsClick = screen.locator('[name=keep_early_click]');
    await chooseReading(page, 'reading.preferences');
    await screen.waitFor({ state: 'visible' });
    assert.deepEqual([await volume.inputValue(), await delay.inputValue()], ['100', '1500']);
    assert.deepEqual([await showsPage.isChecked(), await keepsClick.isChecked()], [false, false], 'the pacing choices start off');

    await volume.fill('40');
    await page.waitForFunction(() => shioriPage.music.volume === 0.4);
    await showsPage.check();
    await delay.fill('50');
    await delay.press('Tab');
    await screen.locator('.problem', { hasText: /auto_delay.*200 to 10000/ }).waitFor();
    await delay.fill('800');
    await delay.press('Tab');
    await screen.locator('.problem').waitFor({ state: 'hidden' });
    await page.keyboard.press('Escape');
    await screen.waitFor({ state: 'hidden' });
    // Kept as the desktop's preferences file, apart from the game's saves.
    assert.equal(
      await page.evaluate(() => localStorage.getItem('shiori.preferences')),
      'music_volume=40\nauto_delay=800\nclick_shows_page=on\nkeep_early_click=off\nlanguage=auto\ntranslation=off\n' +
        'self_voicing=off\ncopy_page_text=off\nspeech_rate=100\nspeech_voice=\n',
    );

    await page.reload();
    await titleShown(page);
    await page.waitForFunction(() => shioriPage.music.volume === 0.4);
    const { prefs } = (await model(page)).comforts;
    assert.deepEqual(prefs, {
      music_volume: 40, auto_delay: 800, click_shows_page: true, keep_early_click: false, language: 'auto', translation: 'off',
      text_speed: null, self_voicing: false, copy_page_text: false, speech_rate: 100, speech_voice: '',
    });
    await chooseReading(page, 'reading.preferences');
    await screen.waitFor({ state: 'visible' });
    assert.deepEqual([await volume.inputValue(), await delay.inputValue(), await showsPage.isChecked()], ['40', '800', true]);
  });
});

test('on a phone held sideways a tap reads on and a long press opens the in-game menu', async () => {
  await withPage({ viewport: { width: 844, height: 390 }, deviceScaleFactor: 2, hasTouch: true }, async (page) => {
    const tap = async (x, y) => page.touchscreen.tap(...(await pagePoint(page, x, y)));
    const title = await until(page, (m) => m.widgets['lblMLT(0)']);
    const entry = await title.jsonValue();
    await tap(entry.left + entry.width / 2, entry.top + entry.height / 2);
    await until(page, (m) => m.state.MenuMode === 2);
    await pressWidget(page, 'はじめから'); // a mouse click on a touch screen works as well
    await readOn(page, () => tap(320, 200));
    await waitingForReader(page);
    // A long press: the finger stays down until the menu has opened.
    const cdp = await page.context().newCDPSession(page);
    const [x, y] = await pagePoint(page, 320, 200);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y }] });
    await until(page, (m) => m.state.MenuMode === 3);
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  });
});

test('a bookmark survives a reload and a browser restart, and export then import gives back the same bytes', async () => {
  const context = await launch();
  const profile = context.profile;
  let saved;
  try {
    const page = await openPage(context, site.url);
    await startStory(page);
    await readOn(page, () => pressStage(page, 320, 200));
    await readOn(page, () => pressStage(page, 320, 200));
    // The read-page record, made whole at the first page and changed in place at every page after, is kept as it
    // is now.
    await eventually(page, () => new Promise((resolve) => {
      const now = shioriPage.core.readFile('/game/data5.rgd');
      indexedDB.open('shiori').onsuccess = (event) => {
        const request = event.target.result.transaction('saves').objectStore('saves').get(['demo', 'data5.rgd']);
        request.onsuccess = () => resolve(request.result?.length === now.length && request.result.every((b, i) => b === now[i]));
      };
    }));
    await waitingForReader(page);
    saved = (await model(page)).state.CurrentPage;
    await pressStage(page, 320, 200, 'right');
    await pressWidget(page, '現在のしおりに保存する');
    await until(page, (m) => m.widgets['lblMLT(1)'].caption === '▼セーブしました▼');
    await page.locator('#notice', { hasText: 'セーブしました' }).waitFor();
    await page.reload();
    await titleShown(page);
    assert.deepEqual(page.dialogs, ['beforeunload'], 'leaving a story in progress asks first');
    await context.close();
  } catch (error) {
    await context.close();
    throw error;
  }

  await withPage({ profile }, async (page) => {
    await pressWidget(page, '物語を読む');
    await until(page, (m) => /ロードデータ　その３\r\n\d\d\/\d\d \d\d:\d\d/.test(m.widgets['lblMLT(2)'].caption));
    await pressWidget(page, 'ロードデータ　その３');
    await until(page, (m, saved) => m.state.CurrentPage === saved && m.layers.Picture1.visible, saved);

    const exported = async () => {
      const download = page.waitForEvent('download');
      await useTool(page, 'export-saves');
      const path = await (await download).path();
      return { path, files: unzipSync(new Uint8Array(await import('node:fs').then((fs) => fs.readFileSync(path)))) };
    };
    const first = await exported();
    assert.ok(first.files['data4.rgd'], 'bookmark 3 is data4.rgd');
    await page.setInputFiles('#import-saves', first.path);
    await page.locator('#notice', { hasText: 'Imported' }).waitFor();
    await titleShown(page);
    const second = await exported();
    for (const name of Object.keys(first.files)) assert.deepEqual(second.files[name], first.files[name], name);
  });
  context.removeProfile();
});

test('a save the storage refuses says so, with the reason, and leaves nothing half-written', async () => {
  const context = await launch();
  try {
    await context.addInitScript(() => {
      IDBObjectStore.prototype.put = function refuse() {
        throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
      };
    });
    const page = await openPage(context, site.url);
    await startStory(page);
    await waitingForReader(page);
    await pressStage(page, 320, 200, 'right');
    await pressWidget(page, '現在のしおりに保存する');
    // The core hears of the refusal as of a full disk, and says so on the stage as the desktop does.
    await until(page, (m) => m.widgets['lblMLT(1)'].caption === '▼セーブできませんでした▼');
    const notice = page.locator('#notice.error', { hasText: 'セーブできませんでした' });
    await notice.waitFor();
    assert.match(await notice.textContent(), /quota/);
    const kept = await page.evaluate(
      () =>
        new Promise((resolve) => {
          indexedDB.open('shiori').onsuccess = (event) => {
            const request = event.target.result.transaction('saves').objectStore('saves').getAllKeys();
            request.onsuccess = () => resolve(request.result);
          };
        }),
    );
    assert.deepEqual(kept, []);
  } finally {
    await context.close();
    context.removeProfile();
  }
});

test('a game folder or .zip, picked or dropped, opens whatever the case of its names; a folder that is no game is named with what it lacks', async () => {
  const demo = join(ROOT, 'build/demo');
  const folders = mkdtempSync(join(tmpdir(), 'shiori-web-games-'));
  const game = join(folders, 'UPPER');
  mkdirSync(join(game, 'DATA'), { recursive: true });
  copyFileSync(join(demo, 'data1.rgd'), join(game, 'DATA1.RGD'));
  for (const name of ['op01.rgd', 'ld01.rgd', '0020.rgd']) copyFileSync(join(demo, 'data', name), join(game, 'DATA', name.toUpperCase()));
  const broken = join(folders, 'holiday photos');
  mkdirSync(broken);
  writeFileSync(join(broken, 'notes.txt'), 'not a game');
  try {
    await withPage({}, async (page) => {
      await page.setInputFiles('#open-folder', broken);
      const message = await page.locator('#notice.error').textContent({ timeout: 10000 });
      assert.match(message, /holiday photos/);
      assert.match(message, /no data1\.rgd/);
      assert.equal((await model(page)).layers.Picture2.picture, 'data/op01.rgd', 'the demo plays on');

      // A .zip of the folder opens the same game.
      const zipped = join(folders, 'upper.zip');
      const entries = (dir, prefix) => readdirSync(dir, { withFileTypes: true }).flatMap((e) =>
        e.isDirectory() ? entries(join(dir, e.name), `${prefix}${e.name}/`) : [[`${prefix}${e.name}`, readFileSync(join(dir, e.name))]]);
      writeFileSync(zipped, zipSync(Object.fromEntries(entries(game, 'ZIPPED/'))));
      await page.setInputFiles('#open-zip', zipped);
      await until(page, () => shioriPage.game?.name === 'ZIPPED' && shioriPage.model.state.MenuMode === 1);
      assert.equal((await model(page)).layers.Picture2.pictureMissing, false);

      // Dropped on the stage, a folder opens as well as a .zip (the browser reads the folder through its entries).
      await dropOnStage(page, game);
      await until(page, () => shioriPage.game?.name === 'UPPER' && shioriPage.model.state.MenuMode === 1);
      await dropOnStage(page, zipped);
      await until(page, () => shioriPage.game?.name === 'ZIPPED' && shioriPage.model.state.MenuMode === 1);

      await page.setInputFiles('#open-folder', game);
      await until(page, () => shioriPage.game?.name === 'UPPER' && shioriPage.model.state.MenuMode === 1);
      assert.equal((await model(page)).layers.Picture2.pictureMissing, false);
      await startStory(page);
      assert.equal((await model(page)).layers.Picture1.picture, 'data/0020.rgd');
      assert.equal((await model(page)).layers.Picture1.pictureMissing, false);
    });
  } finally {
    rmSync(folders, { recursive: true, force: true });
  }
});

// Drops a file or folder of this machine on the stage, as the browser does when a reader drags one there.
async function dropOnStage(page, path) {
  const cdp = await page.context().newCDPSession(page);
  const [x, y] = await pagePoint(page, 320, 200);
  const data = { items: [], files: [path], dragOperationsMask: 1 };
  for (const type of ['dragEnter', 'dragOver', 'drop']) await cdp.send('Input.dispatchDragEvent', { type, x, y, data });
  await cdp.detach();
}

test('music plays through Web Audio once the reader has clicked, and the page says why it waits until then', async () => {
  await withPage({}, async (page) => {
    await page.locator('#sound-hint').waitFor({ state: 'visible' });
    assert.equal(await page.evaluate(() => shioriPage.music.playing), false);
    await pressStage(page, 10, 390); // the title's picture, away from its entries
    await page.waitForFunction(() => shioriPage.music.playing);
    assert.equal(await page.locator('#sound-hint').isVisible(), false);
  });
});

// The desktop painter's picture of the same moment comes from the headless player's screenshot. Glyph edges differ
// between Qt's and Chromium's rasterisers (hinting, grey levels), so a pixel counts as different only beyond a
// channel difference of 64, and up to 0.5 % of the pixels may differ (seen: 0.01 % at the title, 0.2 % on a page
// of text): a missing picture, a misplaced or missing line of text, or a wrong colour each changes far more.
test('the stage matches the desktop painter at the title and on a page of text', async () => {
  const work = mkdtempSync(join(tmpdir(), 'shiori-web-golden-'));
  const game = join(work, 'demo');
  cpSync(join(ROOT, 'build/demo'), game, { recursive: true });
  const desktop = (name, commands) => {
    const png = join(work, `${name}.png`);
    execFileSync(join(ROOT, 'build/bin/shiori'), ['--headless', game], {
      input: `${commands}\nscreenshot ${png}\n`,
      stdio: ['pipe', 'ignore', 'ignore'],
    });
    return readFileSync(png);
  };
  const title = desktop('title', 'wait 1000');
  const story = desktop('story', 'wait 1000\nclick lblMLT(0)\nwait 500\nclick lblMLT(3)\nwait 8000');
  try {
    await withPage({ viewport: { width: 700, height: 500 } }, async (page) => {
      assert.deepEqual(await page.evaluate(() => [stage.width, stage.height]), [640, 400]);
      const differing = (png) =>
        page.evaluate(async (bytes) => {
          const golden = await createImageBitmap(new Blob([new Uint8Array(bytes)]));
          const scratch = new OffscreenCanvas(640, 400).getContext('2d');
          scratch.drawImage(golden, 0, 0);
          const want = scratch.getImageData(0, 0, 640, 400).data;
          const have = stage.getContext('2d').getImageData(0, 0, 640, 400).data;
          let count = 0;
          for (let i = 0; i < want.length; i += 4) {
            const d = Math.max(...[0, 1, 2].map((c) => Math.abs(want[i + c] - have[i + c])));
            if (d > 64) ++count;
          }
          return count / (640 * 400);
        }, [...png]);
      const titleDiffers = await differing(title);
      assert.ok(titleDiffers < 0.005, `title: ${(titleDiffers * 100).toFixed(2)} % of the pixels differ`);
      await startStory(page);
      await waitingForReader(page);
      await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
      const storyDiffers = await differing(story);
      assert.ok(storyDiffers < 0.005, `story: ${(storyDiffers * 100).toFixed(2)} % of the pixels differ`);
    });
  } finally {
    rmSync(work, { recursive: true, force: true });
  }
});

test('the page model is the headless driver\'s dump without its logs of music, questions, speech and text out', async () => {
  const game = mkdtempSync(join(tmpdir(), 'shiori-web-dump-'));
  cpSync(join(ROOT, 'build/demo'), game, { recursive: true });
  try {
    const lines = execFileSync(join(ROOT, 'build/bin/shiori'), ['--headless', game], { input: 'wait 1000\ndump\n' }).toString();
    const dump = JSON.parse(lines.split('\n')[0]);
    await withPage({}, async (page) => {
      const m = await model(page);
      const { wave, questions, speech, textOut, ...rest } = dump;
      assert.ok(wave && questions && speech && textOut);
      assert.deepEqual(Object.keys(m), Object.keys(rest));
      for (const member of ['state', 'comforts']) assert.deepEqual(Object.keys(m[member]), Object.keys(dump[member]), member);
      // The title as both show it.
      for (const member of ['window', 'layers', 'widgets', 'menus']) assert.deepEqual(m[member], dump[member], member);
    });
  } finally {
    rmSync(game, { recursive: true, force: true });
  }
});

test('an idle title draws nothing; while a page types each frame repaints little, and the frames add up to the whole stage', async () => {
  await withPage({ deviceScaleFactor: 1.5 }, async (page) => {
    // Once the title has settled: nothing due within a second (the music's timer runs on).
    await page.waitForFunction(() => {
      const wakeUp = shioriPage.core.module._shiori_next_wake_up();
      return wakeUp < 0 || wakeUp - performance.now() > 1000;
    });
    const frames = await page.evaluate(() => shioriPage.frames);
    await page.evaluate(() => new Promise((resolve) => {
      let ticks = 0;
      const tick = () => (++ticks === 30 ? resolve() : requestAnimationFrame(tick));
      requestAnimationFrame(tick);
    }));
    assert.equal(await page.evaluate(() => shioriPage.frames), frames, 'frames drawn on the idle title');

    // The area each frame repaints, in stage pixels.
    await page.evaluate(async () => {
      const { decodeFrame } = await import('/js/stage.js');
      const core = shioriPage.core;
      const frame = core.frame.bind(core);
      window.repainted = [];
      core.frame = (whole) => {
        const words = frame(whole);
        repainted.push(decodeFrame(words).changed.reduce((sum, box) => sum + box.width * box.height, 0));
        return words;
      };
    });
    await startStory(page);
    await waitingForReader(page);
    const areas = await page.evaluate(() => repainted.filter((area) => area > 0).sort((a, b) => a - b));
    assert.ok(areas.length > 20, `${areas.length} frames`);
    const median = areas[Math.floor(areas.length / 2)];
    assert.ok(median < 0.01 * 640 * 400, `half the frames repaint ${median} stage pixels or more`);

    const differing = await page.evaluate(async () => {
      const { decodeFrame, paintFrame } = await import('/js/stage.js');
      const shown = stage.getContext('2d').getImageData(0, 0, stage.width, stage.height).data;
      const whole = new OffscreenCanvas(stage.width, stage.height);
      const g = whole.getContext('2d', { alpha: false });
      const frame = decodeFrame(await shioriPage.core.enqueue(() => shioriPage.core.shownStage()));
      paintFrame(g, frame, stage.width / 640, shioriPage.pictures);
      const want = g.getImageData(0, 0, whole.width, whole.height).data;
      let count = 0;
      for (let i = 0; i < want.length; i += 4) {
        if (Math.max(...[0, 1, 2].map((c) => Math.abs(want[i + c] - shown[i + c]))) > 8) ++count;
      }
      return count;
    });
    assert.equal(differing, 0, 'pixels where the frames drawn piece by piece differ from the stage drawn whole');
  });
});

test('Ctrl+C puts the text on the stage on the clipboard', async () => {
  await withPage({}, async (page, context) => {
    await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: site.url });
    await startStory(page);
    await waitingForReader(page);
    const first = (await model(page)).widgets['lbl1(0)'].caption.trimEnd();
    await page.keyboard.press('Control+c');
    const copied = await eventually(page, () => navigator.clipboard.readText().then((text) => text || null));
    assert.ok(copied.startsWith(first), `copied: ${copied}`);
    assert.ok(!copied.startsWith('\n') && !copied.endsWith('\n'), 'no blank lines around');
  });
});
