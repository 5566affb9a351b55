// The route page's input and safety in a real browser: the wheel and a
// touchpad, touch, the page's Content-Security-Policy. Run by ctest as
//   node guasti.test.mjs
// with SCENARIO_TOOL and optionally CHROMIUM set; exits 77 (skipped) when
// chromium or the driver (npm ci in this folder) is missing.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const qui = dirname(fileURLToPath(import.meta.url));
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
if (!existsSync(CHROMIUM) || !existsSync(join(qui, 'node_modules', 'puppeteer-core'))) {
  console.log('skipped: no chromium or no puppeteer-core (npm ci in this folder installs it)');
  process.exit(77);
}
const { default: puppeteer } = await import('puppeteer-core');
const TOOL = process.env.SCENARIO_TOOL;
assert.ok(TOOL, 'SCENARIO_TOOL must be set');

let cartella, browser, pagina, html;

function strumento(argomenti) {
  const r = spawnSync(TOOL, argomenti, { encoding: 'utf8' });
  assert.equal(r.status, 0, `scenario_tool ${argomenti.join(' ')}: ${r.stderr}`);
}

before(async () => {
  cartella = mkdtempSync(join(tmpdir(), 'sb_guasti_'));
  const src = join(cartella, 'src');
  strumento(['emit', src]);
  const linea = join(src, 'Valdora_Sarenta_linea.txt'), treno = join(src, 'Valdora_Sarenta_731-.txt');
  strumento(['compile', linea, treno, '-o', join(cartella, 'c')]);
  pagina = join(cartella, 'builtin.html');
  strumento(['view', join(cartella, 'c'), linea, treno, '-o', pagina]);
  html = readFileSync(pagina, 'latin1');
  browser = await puppeteer.launch({
    executablePath: CHROMIUM, headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-extensions'],
  });
});

after(async () => {
  if (browser) await browser.close();
  if (cartella) rmSync(cartella, { recursive: true, force: true });
});

// Opens the built-in page from disk, noting console errors and warnings,
// uncaught exceptions and every Content-Security-Policy violation.
async function apri(vista = { width: 1400, height: 860 }) {
  const page = await browser.newPage();
  await page.setViewport(vista);
  const guai = [];
  page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warn') guai.push(`console ${m.type()}: ${m.text()}`); });
  page.on('pageerror', (e) => guai.push(`page error: ${e.message}`));
  await page.evaluateOnNewDocument(() => {
    document.addEventListener('securitypolicyviolation', (e) => {
      (window.violazioni = window.violazioni || []).push(`${e.violatedDirective} ${e.blockedURI}`);
    });
  });
  await page.goto(pathToFileURL(pagina).href, { waitUntil: 'load' });
  await page.waitForSelector('body[data-pronto="1"]', { timeout: 10000 });
  return { page, guai };
}

const fotogramma = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
const intervallo = (page) => page.evaluate(() => window.vista.intervallo());
const vicino = (a, b) => Math.abs(a - b) < 1e-6 * Math.max(1, Math.abs(b));

// The profile canvas's middle, in page pixels, and its plot width.
async function centro(page) {
  return page.evaluate(() => {
    const r = document.getElementById('profili').getBoundingClientRect(), a = window.vista.area();
    const [y0, y1] = a.corsie.velocita;
    return { x: Math.round(r.left + a.sinistra + a.larghezza / 2), y: Math.round(r.top + (y0 + y1) / 2), larghezza: a.larghezza, sinistra: r.left + a.sinistra };
  });
}

test('small touchpad deltas zoom by their sum, not a notch each', async () => {
  const { page, guai } = await apri();
  const c = await centro(page);
  await page.mouse.move(c.x, c.y);
  const v0 = await intervallo(page);
  const m = v0.da + (c.x - c.sinistra) / c.larghezza * (v0.a - v0.da);
  // Twenty deltas of 5 px are one notch of 100: the span shrinks by 1.25 once.
  for (let k = 0; k < 20; k++) await page.mouse.wheel({ deltaY: -5 });
  await fotogramma(page);
  const v = await intervallo(page);
  const span = (v0.a - v0.da) / 1.25;
  assert.ok(vicino(v.a - v.da, span), `span ${v.a - v.da} against ${span}`);
  // The metre under the pointer stays put.
  assert.ok(vicino(v.da + (c.x - c.sinistra) / c.larghezza * (v.a - v.da), m));
  assert.deepEqual(guai, []);
  await page.close();
});

test('a wheel event zooms by its size in pixels, lines or pages, and pans when it runs more across than along', async () => {
  const { page, guai } = await apri();
  const c = await centro(page);
  const larghezza_pianta = await page.$eval('#pianta', (t) => t.clientWidth);
  // [canvas, deltaX, deltaY, deltaMode, expected span factor, expected pan in pixels]
  const casi = [
    ['profili', 0, 100, 0, 1.25, 0],
    ['profili', 0, -20, 0, Math.pow(1.25, -0.2), 0],
    ['profili', 0, 1, 1, Math.pow(1.25, 1 / 3), 0],   // one line: a third of a notch
    ['profili', 0, -3, 1, 1 / 1.25, 0],               // three lines: a notch
    ['profili', 0, -0.01, 2, Math.pow(1.25, -0.01 * larghezza_pianta / 100), 0],
    ['profili', 0, 1000, 0, Math.pow(1.25, 3), 0],    // a notch of 10: at most 3 steps an event
    ['profili', 40, 40, 0, Math.pow(1.25, 0.4), 0],   // as much across as along: a zoom
    ['profili', 41, 40, 0, 1, 41],                    // more across: a pan
    ['profili', -30, 0, 0, 1, -30],
    ['profili', 2, 0, 1, 1, 200 / 3],                 // two lines across
    ['pianta', 60, 10, 0, 1, 60],
    ['pianta', 0, -100, 0, 1 / 1.25, 0],
  ];
  for (const [tela, dx, dy, modo, fattore, pixel] of casi) {
    await page.evaluate(() => window.vista.mostra(20000, 40000));
    const prima = await intervallo(page);
    const larghezza = tela === 'profili' ? c.larghezza : larghezza_pianta;
    await page.evaluate((tela, dx, dy, modo) => {
      const t = document.getElementById(tela), r = t.getBoundingClientRect();
      t.dispatchEvent(new WheelEvent('wheel', { deltaX: dx, deltaY: dy, deltaMode: modo, bubbles: true, cancelable: true,
        clientX: r.left + r.width / 2, clientY: r.top + r.height / 2 }));
    }, tela, dx, dy, modo);
    const v = await intervallo(page);
    const nome = `${tela} ${dx},${dy} mode ${modo}: ${JSON.stringify(v)}`;
    assert.ok(vicino(v.a - v.da, (prima.a - prima.da) * fattore), nome);
    if (fattore === 1) assert.ok(vicino(v.da - prima.da, pixel * (prima.a - prima.da) / larghezza), nome);
  }
  assert.deepEqual(guai, []);
  await page.close();
});
