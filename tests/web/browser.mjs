// What the page's tests share: the site served on 127.0.0.1, Debian's Chromium driven by Playwright, and ways to
// read the window model the page last drew and to press on its widgets as a reader would.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createInterface } from 'node:readline';
import { chromium } from 'playwright-core';

export const ROOT = new URL('../../', import.meta.url).pathname;
const FLAGS = [
  '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--autoplay-policy=user-gesture-required',
];

// Serves build-web/site on a free port of 127.0.0.1; resolves to { url, stop }.
export async function serveSite() {
  const server = spawn('python3', [join(ROOT, 'scripts/serve-web.py'), '--port', '0', '--site', join(ROOT, 'build-web/site')], {
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  const [url] = await createInterface({ input: server.stdout })[Symbol.asyncIterator]().next().then((r) => [r.value]);
  return { url, stop: () => server.kill() };
}

// A browser with its own fresh profile, removed when it closes; `profile` reuses one (a browser restart).
export async function launch({ profile, viewport = { width: 1000, height: 720 }, deviceScaleFactor = 1, hasTouch = false } = {}) {
  const dir = profile ?? mkdtempSync(join(tmpdir(), 'shiori-chromium-'));
  const context = await chromium.launchPersistentContext(dir, {
    executablePath: '/usr/bin/chromium', headless: true, args: FLAGS, viewport, deviceScaleFactor, hasTouch, acceptDownloads: true,
  });
  context.profile = dir;
  context.removeProfile = () => rmSync(dir, { recursive: true, force: true });
  return context;
}

// Opens the page and waits for the title's first frame.
export async function openPage(context, url) {
  const page = context.pages()[0] ?? (await context.newPage());
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  page.dialogs = [];
  page.on('dialog', (dialog) => {
    page.dialogs.push(dialog.type());
    dialog.accept(); // leaving a story in progress: yes, leave
  });
  await page.goto(url);
  await titleShown(page);
  return page;
}

// Runs `body(page, context)` on the page opened in a browser of its own (`options` as launch takes them, and
// `init`, a function run in the page before its own scripts), then checks that the page threw nothing, and closes
// the browser whatever happened.
export async function withOpenPage(url, options, body) {
  const context = await launch(options);
  try {
    if (options?.init) await context.addInitScript(options.init);
    const page = await openPage(context, url);
    await body(page, context);
    assert.deepEqual(page.errors, []);
  } finally {
    await context.close();
    if (!options?.profile) context.removeProfile();
  }
}

export async function titleShown(page) {
  await page.waitForFunction(() => window.shioriPage?.firstFrameAt != null && shioriPage.model?.state.MenuMode === 1);
}

export const model = (page) => page.evaluate(() => shioriPage.model);

// Waits until `predicate(model, arg)`, evaluated in the page on every frame drawn, holds.
export function until(page, predicate, arg) {
  return page.waitForFunction(
    ([source, arg]) => window.shioriPage?.model && new Function(`return (${source})`)()(shioriPage.model, arg),
    [predicate.toString(), arg],
    { polling: 'raf' },
  );
}

// The page coordinates of a point of the stage.
export async function pagePoint(page, x, y) {
  const box = await page.locator('#stage').boundingBox();
  return [box.x + ((x + 0.5) * box.width) / 640, box.y + ((y + 0.5) * box.height) / 400];
}

export async function pressStage(page, x, y, button = 'left') {
  const [px, py] = await pagePoint(page, x, y);
  await page.mouse.click(px, py, { button });
}

// Presses the shown widget whose caption holds `text` (or of that name), once it is shown.
export async function pressWidget(page, text, button = 'left') {
  const handle = await until(page, (m, text) => {
    const shown = (w) => w.visible && (!w.layer || m.layers[w.layer].visible);
    return Object.entries(m.widgets).find(([n, w]) => shown(w) && (n === text || w.caption.includes(text)))?.[1];
  }, text);
  const w = await handle.jsonValue();
  await pressStage(page, w.left + w.width / 2, w.top + w.height / 2, button);
}

// From the title through the load menu to the first page of a new story (bookmark 3).
export async function startStory(page) {
  await pressWidget(page, '物語を読む');
  await pressWidget(page, 'はじめから');
  await until(page, (m) => m.state.CurrentPage === 1 && m.widgets['lbl1(0)'].caption !== '');
}

// Chooses an entry of the page's reading menu (読書) as a reader does: the menu, then the entry.
export async function chooseReading(page, name) {
  await page.click('button.top[data-name="reading"]');
  await page.click(`.item[data-name="${name}"]`);
}

// The story's place and the text on the stage: it changes whenever the story reads on.
export const reading = (m) => JSON.stringify([m.state.CurrentPage, ...Object.entries(m.widgets).filter(([n]) => n.startsWith('lbl1(')).map(([, w]) => w.caption)]);

// Waits until the story waits for the reader: typing stopped at a pause or the page's end (the arrow timer runs
// then, and only then) with the click gate open, or choices shown. The gate alone says too little: the music that
// starts with a page opens it while the page still types, and a wheel turned then would open the history before
// the page's first lines are in it.
export const waitingForReader = (page) =>
  until(page, (m) => (m.timers.timYAZIRUSI.enabled && m.widgets.lblFRONT.enabled) || m.widgets['lblSEL(0)'].visible);

// Waits for the reader's turn, then reads on by `input` and waits for new text.
export async function readOn(page, input) {
  await waitingForReader(page);
  const before = reading(await model(page));
  await input();
  await until(page, new Function('m', 'before', `return (${reading})(m) !== before`), before);
}

// Waits until the asynchronous `check(arg)`, evaluated in the page once a frame, resolves to a value other than
// null, false or undefined, and gives that value (waitForFunction takes a pending promise for a truthy answer).
// Gives up after 30 s, as Playwright's own waits do.
export async function eventually(page, check, arg) {
  const giveUp = Date.now() + 30000;
  for (;;) {
    const value = await page.evaluate(check, arg);
    if (value !== null && value !== false && value !== undefined) return value;
    if (Date.now() > giveUp) throw new Error(`still not so after 30 s: ${check}`);
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(resolve)));
  }
}

// Presses one of the page's tools (by its id), through the page's menu ⋯ where the header has no room for them.
export async function useTool(page, id) {
  const tool = page.locator(`#${id}`);
  if (!(await tool.isVisible())) await page.click('#more-tools');
  await tool.click();
}
