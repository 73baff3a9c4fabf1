// Redraws the web page's screenshots in docs/screenshots: a page of the demo's story at a desktop size and on a
// phone held sideways, and the preferences screen over the story. Run after scripts/build-site.sh:
//   node scripts/web-screenshots.mjs
import { join } from 'node:path';
import { launch, openPage, pressWidget, ROOT, serveSite, waitingForReader } from '../tests/web/browser.mjs';

const DESKTOP = { viewport: { width: 1280, height: 800 }, deviceScaleFactor: 1 };
const PHONE = { viewport: { width: 844, height: 390 }, deviceScaleFactor: 2 };

async function openPreferences(page) {
  await page.click('button.top[data-name="reading"]');
  await page.click('.item[data-name="reading.preferences"]');
  await page.locator('dialog#preferences').waitFor({ state: 'visible' });
}

const SHOTS = [
  { file: 'web-desktop.png', ...DESKTOP },
  { file: 'web-phone.png', ...PHONE },
  { file: 'web-preferences.png', ...DESKTOP, arrange: openPreferences },
];

const site = await serveSite();
try {
  for (const { file, viewport, deviceScaleFactor, arrange } of SHOTS) {
    const context = await launch({ viewport, deviceScaleFactor });
    try {
      const page = await openPage(context, site.url);
      await pressWidget(page, '物語を読む');
      await pressWidget(page, 'はじめから');
      await waitingForReader(page);
      await arrange?.(page);
      await page.screenshot({ path: join(ROOT, 'docs/screenshots', file) });
    } finally {
      await context.close();
      context.removeProfile();
    }
  }
} finally {
  site.stop();
}
