// Redraws the web page's screenshots in docs/screenshots: a page of the demo's story at a desktop size and on a
// phone held sideways. Run after scripts/build-site.sh:  node scripts/web-screenshots.mjs
import { join } from 'node:path';
import { launch, openPage, pressWidget, ROOT, serveSite, until } from '../tests/web/browser.mjs';

const SHOTS = [
  { file: 'web-desktop.png', viewport: { width: 1280, height: 800 }, deviceScaleFactor: 1 },
  { file: 'web-phone.png', viewport: { width: 844, height: 390 }, deviceScaleFactor: 2 },
];

const site = await serveSite();
try {
  for (const { file, viewport, deviceScaleFactor } of SHOTS) {
    const context = await launch({ viewport, deviceScaleFactor });
    try {
      const page = await openPage(context, site.url);
      await pressWidget(page, '物語を読む');
      await pressWidget(page, 'はじめから');
      await until(page, (m) => m.state.PageState !== 0 && m.widgets.lblFRONT.enabled);
      await page.screenshot({ path: join(ROOT, 'docs/screenshots', file) });
    } finally {
      await context.close();
      context.removeProfile();
    }
  }
} finally {
  site.stop();
}
