// Measures the web page in Debian's headless Chromium and rewrites its table in bench/README.md (between the
// web markers): the transfer size of the site, page load to the title drawn, processor use idle on the title,
// while a page types and while the next-page arrow blinks (the page's main thread, and every process of the
// browser together), and memory. Run after scripts/build-site.sh:  node bench/web_bench.mjs [--print]
import { execFileSync } from 'node:child_process';
import { readdirSync, readFileSync, statSync, writeFileSync } from 'node:fs';
import { cpus, totalmem } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { launch, model, openPage, pressWidget, ROOT, serveSite, titleShown, until, waitingForReader } from '../tests/web/browser.mjs';

const SITE = join(ROOT, 'build-web/site');
const README = join(ROOT, 'bench/README.md');
const WARM_LOADS = 7;
const WINDOW_MS = 3000;

const kb = (bytes) => `${(bytes / 1024).toFixed(0)} KB`;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

function siteFiles(dir = SITE) {
  return readdirSync(dir).flatMap((name) => {
    const path = join(dir, name);
    return statSync(path).isDirectory() ? siteFiles(path) : [path];
  });
}

function sizes() {
  const isDemo = (path) => path.startsWith(join(SITE, 'demo')); // demo.zip, demo-fetched.json, demo/
  const code = siteFiles().filter((path) => !isDemo(path) && !path.endsWith('.woff2'));
  const gzip = code.reduce((sum, path) => sum + gzipSync(readFileSync(path), { level: 9 }).length, 0);
  const raw = code.reduce((sum, path) => sum + statSync(path).size, 0);
  return {
    gzip,
    raw,
    wasm: gzipSync(readFileSync(join(SITE, 'shiori-web.wasm')), { level: 9 }).length,
    font: statSync(join(SITE, 'stage-font.woff2')).size,
    demoZip: statSync(join(SITE, 'demo.zip')).size,
    demo: siteFiles().filter(isDemo).reduce((sum, path) => sum + statSync(path).size, 0),
  };
}

// The processor time, in seconds, of every process of the browser this script started (the page's renderer, the
// GPU and network services, the browser itself), from /proc.
const TICKS_PER_SECOND = Number(execFileSync('getconf', ['CLK_TCK']).toString()) || 100;

function browserSeconds() {
  const processes = readdirSync('/proc')
    .filter((name) => /^\d+$/.test(name))
    .flatMap((pid) => {
      try {
        const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
        const name = stat.slice(stat.indexOf('(') + 1, stat.lastIndexOf(')'));
        const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
        return [{ pid: Number(pid), name, parent: Number(fields[1]), ticks: Number(fields[11]) + Number(fields[12]) }];
      } catch {
        return []; // it ended meanwhile
      }
    });
  // This script's descendants; the site's server among them is no part of the browser.
  const ours = new Set([process.pid]);
  for (let grew = true; grew; ) {
    grew = false;
    for (const p of processes) {
      if (!ours.has(p.pid) && ours.has(p.parent)) {
        ours.add(p.pid);
        grew = true;
      }
    }
  }
  const browser = processes.filter((p) => ours.has(p.pid) && /chrom/i.test(p.name));
  return browser.reduce((sum, p) => sum + p.ticks, 0) / TICKS_PER_SECOND;
}

// Main-thread busy time over a window and the processor time of the whole browser, each as a share of one core,
// and the frames drawn meanwhile.
async function busy(page, cdp, during = async () => {}) {
  const taskTime = async () => (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  const frames0 = await page.evaluate(() => shioriPage.frames);
  const t0 = await taskTime();
  const all0 = browserSeconds();
  const started = Date.now();
  await during();
  await page.waitForTimeout(Math.max(0, WINDOW_MS - (Date.now() - started)));
  const seconds = (Date.now() - started) / 1000;
  const share = ((await taskTime()) - t0) / seconds;
  const all = (browserSeconds() - all0) / seconds;
  return { percent: share * 100, all: all * 100, frames: (await page.evaluate(() => shioriPage.frames)) - frames0 };
}

async function measurePage(url) {
  const context = await launch();
  try {
    const page = await openPage(context, url); // the cold load fills the cache
    const loads = [];
    for (let i = 0; i < WARM_LOADS; ++i) {
      await page.reload();
      await titleShown(page);
      loads.push(await page.evaluate(() => shioriPage.firstFrameAt));
    }
    const cdp = await context.newCDPSession(page);
    await cdp.send('Performance.enable');
    await page.waitForTimeout(1000);
    const idle = await busy(page, cdp);
    const memory = async () => {
      await cdp.send('HeapProfiler.collectGarbage');
      const heap = (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'JSHeapUsedSize').value;
      const wasm = await page.evaluate(() => shioriPage.core.module.HEAPU8.length);
      // The game's files are array buffers outside the heap's count.
      const files = await page.evaluate(() => [...shioriPage.game.files.values()].reduce((sum, b) => sum + b.length, 0));
      return { heap, wasm, files };
    };
    const titleMemory = await memory();
    await pressWidget(page, '物語を読む');
    await pressWidget(page, 'はじめから');
    await until(page, (m) => m.state.CurrentPage === 1 && m.state.PageState === 0 && m.widgets['lbl1(0)'].caption !== '');
    const typing = await busy(page, cdp);
    const storyMemory = await memory();
    await waitingForReader(page);
    const arrow = await busy(page, cdp);
    return { load: median(loads), loads, idle, typing, arrow, titleMemory, storyMemory };
  } finally {
    await context.close();
    context.removeProfile();
  }
}

function table(s, p) {
  const mb = (bytes) => `${(bytes / 1048576).toFixed(1)} MB`;
  const met = (ok) => (ok ? 'met' : 'not met');
  const total = (m) => m.heap + m.wasm + m.files;
  const parts = (m) => `${mb(m.heap)} + ${mb(m.wasm)} + ${mb(m.files)} = ${mb(total(m))}`;
  return [
    `Measured ${new Date().toISOString().slice(0, 16).replace('T', ' ')} UTC on ${cpus().length} cores of ${cpus()[0].model.split(' ').slice(0, 2).join(' ')}, ` +
      `${(totalmem() / 2 ** 30).toFixed(1)} GB of memory; Chromium ${execFileSync('/usr/bin/chromium', ['--version'], { stdio: ['ignore', 'pipe', 'ignore'] }).toString().trim().split(' ')[1]}, headless.`,
    '',
    '| Measure | Target | Result | |',
    '|---|---|---|---|',
    `| Transfer size of the site without the demo and the font (gzip -9) | < 400 KB | ${kb(s.gzip)} (${kb(s.raw)} raw; the WebAssembly ${kb(s.wasm)}) | ${met(s.gzip < 400 * 1024)} |`,
    `| Transfer size of the stage font (WOFF2, every Shift-JIS character) | | ${kb(s.font)} | |`,
    `| Transfer size of the packed demo: at the start / all of it | | ${kb(s.demoZip)} / ${mb(s.demo)} | |`,
    `| Page load to the title drawn, warm cache (median of ${WARM_LOADS}) | < 300 ms | ${p.load.toFixed(0)} ms | ${met(p.load < 300)} |`,
    `| Processor use idle on the title (frames drawn in ${WINDOW_MS / 1000} s) | no frames | ${p.idle.percent.toFixed(2)} % (${p.idle.frames} frames) | ${met(p.idle.frames === 0)} |`,
    `| Processor use while a page types (frames drawn in ${WINDOW_MS / 1000} s) | < 2 % | ${p.typing.percent.toFixed(1)} % (${p.typing.frames} frames) | ${met(p.typing.percent < 2)} |`,
    `| Processor use while a page types, every process of the browser | < 6 % | ${p.typing.all.toFixed(1)} % | ${met(p.typing.all < 6)} |`,
    `| Processor use while the next-page arrow blinks: page / every process (frames drawn in ${WINDOW_MS / 1000} s) | | ${p.arrow.percent.toFixed(1)} % / ${p.arrow.all.toFixed(1)} % (${p.arrow.frames} frames) | |`,
    `| Processor use idle on the title, every process of the browser | | ${p.idle.all.toFixed(2)} % | |`,
    `| Memory on the title: JS heap + WebAssembly memory + the game's files | < 50 MB | ${parts(p.titleMemory)} | ${met(total(p.titleMemory) < 50 * 2 ** 20)} |`,
    `| Memory while a page types | < 50 MB | ${parts(p.storyMemory)} | ${met(total(p.storyMemory) < 50 * 2 ** 20)} |`,
  ].join('\n');
}

const site = await serveSite();
try {
  const text = table(sizes(), await measurePage(site.url));
  if (process.argv.includes('--print')) {
    console.log(text);
  } else {
    const readme = readFileSync(README, 'utf8');
    writeFileSync(README, readme.replace(/(<!-- web:begin -->\n)[\s\S]*?(<!-- web:end -->)/, `$1${text}\n$2`));
    console.log(text);
  }
} finally {
  site.stop();
}
