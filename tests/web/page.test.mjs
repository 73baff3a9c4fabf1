// The page in Debian's Chromium, as a reader uses it: the demo's title, reading, choices, the in-game menu and its
// question, saves kept across a reload and a browser restart, export and import, storage refusing a save, other
// games opened from a folder, and music after the first click.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { unzipSync } from 'fflate';
import { launch, model, openPage, pressStage, pressWidget, readOn, serveSite, titleShown, until, waitingForReader } from './browser.mjs';

let site;
before(async () => (site = await serveSite()));
after(() => site.stop());

async function withPage(options, body) {
  const context = await launch(options);
  try {
    const page = await openPage(context, site.url);
    await body(page, context);
    assert.deepEqual(page.errors, []);
  } finally {
    await context.close();
    if (!options?.profile) context.removeProfile();
  }
}

// From the title through the load menu to the first page of a new story (bookmark 3).
async function startStory(page) {
  await pressWidget(page, '物語を読む');
  await pressWidget(page, 'はじめから');
  await until(page, (m) => m.state.CurrentPage === 1 && m.widgets['lbl1(0)'].caption !== '');
}

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
    // The menu bar follows the model: the quick save is off until a story runs.
    assert.equal(await page.locator('button.top[data-name="menuRIGHT"]').isDisabled(), true);

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

test('a bookmark survives a reload and a browser restart, and export then import gives back the same bytes', async () => {
  const context = await launch();
  const profile = context.profile;
  let saved;
  try {
    const page = await openPage(context, site.url);
    await startStory(page);
    await readOn(page, () => pressStage(page, 320, 200));
    await waitingForReader(page);
    saved = (await model(page)).state.CurrentPage;
    await pressStage(page, 320, 200, 'right');
    await pressWidget(page, '現在のしおりに保存する');
    await until(page, (m) => m.widgets['lblMLT(1)'].caption === '▼セーブしました▼');
    await page.locator('#notice', { hasText: 'セーブしました' }).waitFor();
    await page.reload();
    await titleShown(page);
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
      await page.click('#export-saves');
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
