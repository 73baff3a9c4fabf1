// Reading aloud and the text out in Debian's Chromium: the page's text reaches the screen readers' live region in
// order, the browser's speech says the same texts in the Japanese voice and at the speed the preferences name, and
// the clipboard gets each page's text only while the reader asks for it. The browser's speech is replaced by a
// recorder with one English and two Japanese voices, so that the test needs no voices on the machine.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { chooseReading, eventually, pressStage, readOn, serveSite, startStory, waitingForReader, withOpenPage } from './browser.mjs';

let site;
before(async () => (site = await serveSite()));
after(() => site.stop());

// Runs in the page before its scripts. The voices come only with `voiceschanged`, as in Chromium.
function recordSpeech() {
  const listeners = [];
  let voices = [];
  window.spoken = [];
  window.SpeechSynthesisUtterance = class {
    constructor(text) {
      this.text = text;
    }
  };
  Object.defineProperty(window, 'speechSynthesis', {
    configurable: true,
    value: {
      getVoices: () => voices,
      addEventListener: (type, listener) => type === 'voiceschanged' && listeners.push(listener),
      speak: (utterance) => window.spoken.push({ text: utterance.text, voice: utterance.voice.name, rate: utterance.rate }),
      cancel: () => {},
    },
  });
  setTimeout(() => {
    voices = [{ name: 'English', lang: 'en-US' }, { name: 'Haruka', lang: 'ja-JP' }, { name: 'Ichiro', lang: 'ja-JP' }];
    for (const listener of listeners) listener();
  }, 0);
}

const withPage = (body) => withOpenPage(site.url, { init: recordSpeech }, body);

const liveTexts = (page) => page.locator('#text-out p').allTextContents();
const pageText = (page) => page.evaluate(() => shioriPage.core.enqueue(() => shioriPage.core.pageText()));

// Sets preferences on the page's preferences screen as a reader does: `fields` by name, true/false for a check box.
async function setPreferences(page, fields) {
  const screen = page.locator('dialog#preferences');
  await chooseReading(page, 'reading.preferences');
  await screen.waitFor({ state: 'visible' });
  for (const [name, value] of Object.entries(fields)) {
    const field = screen.locator(`[name=${name}]`);
    if (typeof value === 'boolean') await field.setChecked(value);
    else if ((await field.evaluate((f) => f.tagName)) === 'SELECT') await field.selectOption(value);
    else {
      await field.fill(String(value));
      await field.press('Tab');
    }
  }
  await page.keyboard.press('Escape');
  await screen.waitFor({ state: 'hidden' });
}

test('self-voicing says each text the live region shows, in order, in the chosen voice and speed', async () => {
  await withPage(async (page) => {
    const screen = page.locator('dialog#preferences');
    await chooseReading(page, 'reading.preferences');
    await screen.waitFor({ state: 'visible' });
    // The browser's Japanese voices, and none of another language.
    assert.deepEqual(await screen.locator('[name=speech_voice] option').allTextContents(), ['最初の日本語の声', 'Haruka', 'Ichiro']);
    assert.equal(await screen.locator('[name=self_voicing]').isChecked(), false, 'off until the reader turns it on');
    await page.keyboard.press('Escape');
    await screen.waitFor({ state: 'hidden' });
    assert.deepEqual(await page.evaluate(() => window.spoken), []);

    await setPreferences(page, { self_voicing: true, speech_rate: 150, speech_voice: 'Ichiro' });
    await startStory(page);
    await waitingForReader(page);
    const first = await pageText(page);
    await readOn(page, () => pressStage(page, 320, 200));
    await waitingForReader(page);
    const whole = await pageText(page);
    assert.ok(whole.startsWith(`${first}\n`), 'the demo pauses once, mid-page');

    const live = await liveTexts(page);
    const spoken = await page.evaluate(() => window.spoken);
    // Each run of typing goes out as it begins: the page up to its pause, then the rest.
    assert.deepEqual(live.slice(-2), [first, whole.slice(first.length + 1)]);
    // Everything said since self-voicing came on is what the live region shows, in the same order.
    assert.ok(spoken.length >= 2);
    assert.deepEqual(spoken.map((s) => s.text), live.slice(live.length - spoken.length));
    assert.ok(spoken.every((s) => s.voice === 'Ichiro' && s.rate === 1.5), JSON.stringify(spoken));
  });
});

test('each page goes to the clipboard only while the reader asks for it', async () => {
  await withPage(async (page, context) => {
    await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: site.url });
    await page.evaluate(() => navigator.clipboard.writeText('before'));
    await startStory(page);
    await waitingForReader(page);
    await readOn(page, () => pressStage(page, 320, 200));
    await waitingForReader(page);
    const offered = await pageText(page);
    assert.ok((await liveTexts(page)).some((text) => text && offered.startsWith(text)), 'the page is offered all the same');
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), 'before', 'off by default');
    assert.deepEqual(await page.evaluate(() => window.spoken), [], 'nor is anything said');

    await setPreferences(page, { copy_page_text: true });
    await readOn(page, () => pressStage(page, 320, 200));
    await waitingForReader(page);
    const text = await pageText(page);
    const copied = await eventually(page, () => navigator.clipboard.readText().then((text) => (text !== 'before' ? text : null)));
    assert.ok(copied && text.startsWith(copied), `copied ${JSON.stringify(copied)} of ${JSON.stringify(text)}`);
  });
});
