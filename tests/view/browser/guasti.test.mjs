// The route page's input and safety in a real browser: the wheel and a
// touchpad, touch, the page's Content-Security-Policy. Run by ctest as
//   node guasti.test.mjs
// with SCENARIO_TOOL and optionally CHROMIUM set; exits 77 (skipped) when
// chromium or the driver (npm ci in this folder) is missing.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
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
async function apri(vista = { width: 1400, height: 860 }, file = pagina) {
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
  await page.goto(pathToFileURL(file).href, { waitUntil: 'load' });
  if (file === pagina) await page.waitForSelector('body[data-pronto="1"]', { timeout: 10000 });
  return { page, guai };
}
// The page with other text, from a file beside it.
async function apri_testo(testo) {
  const file = join(cartella, 'altra.html');
  writeFileSync(file, testo, 'latin1');
  return apri(undefined, file);
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

// Fingers on the screen, through the DevTools protocol: each call sets where
// every finger down now is (none: all lifted).
async function dita(page) {
  const cdp = await page.createCDPSession();
  let giu = 0;
  return async (punti) => {
    const tipo = punti.length === 0 ? 'touchEnd' : punti.length > giu ? 'touchStart' : 'touchMove';
    giu = punti.length;
    await cdp.send('Input.dispatchTouchEvent', { type: tipo, touchPoints: punti.map(([x, y], id) => ({ x, y, id })) });
  };
}
const touch = { width: 1400, height: 860, hasTouch: true };

test('a touch drag pans, and a pointercancel ends it: the finger moving on pans no more', async () => {
  const { page, guai } = await apri(touch);
  // Every chart: the plan view, the profiles, the altitude and, with the texts, the run's two.
  const azioni = await page.$$eval('canvas', (t) => t.map((x) => getComputedStyle(x).touchAction));
  assert.ok(azioni.length >= 2, JSON.stringify(azioni));
  assert.ok(azioni.every((a) => a === 'none'), JSON.stringify(azioni));
  await page.evaluate(() => {
    window.vista.mostra(20000, 40000);
    document.getElementById('profili').addEventListener('pointerdown', (e) => { window.dito = e.pointerId; });
  });
  const c = await centro(page), tocca = await dita(page);
  const k = 20000 / c.larghezza;
  await tocca([[c.x, c.y]]);
  await tocca([[c.x + 100, c.y]]);
  await fotogramma(page);
  let v = await intervallo(page);
  assert.ok(vicino(v.da, 20000 - 100 * k), JSON.stringify(v));
  await page.evaluate(() => document.getElementById('profili').dispatchEvent(
    new PointerEvent('pointercancel', { pointerId: window.dito, pointerType: 'touch', bubbles: true })));
  await tocca([[c.x + 250, c.y]]);
  await tocca([]);
  await page.mouse.move(c.x - 200, c.y);
  await fotogramma(page);
  assert.deepEqual(await intervallo(page), v);
  // A cancelled drag selects nothing.
  assert.equal(await page.evaluate(() => window.vista.segnato()), null);
  assert.deepEqual(guai, []);
  await page.close();
});

test('two fingers pinch: the span follows their distance, the metre between them stays', async () => {
  const { page, guai } = await apri(touch);
  await page.evaluate(() => window.vista.mostra(20000, 40000));
  const c = await centro(page), tocca = await dita(page);
  const m = 30000;  // the canvas's middle
  // [from half-distance, to half-distance, span factor]
  for (const [d0, d1, f] of [[50, 100, 0.5], [100, 50, 2]]) {
    const prima = await intervallo(page);
    await tocca([[c.x - d0, c.y], [c.x + d0, c.y]]);
    await tocca([[c.x - d1, c.y], [c.x + d1, c.y]]);
    await tocca([]);
    await fotogramma(page);
    const v = await intervallo(page);
    assert.ok(vicino(v.a - v.da, (prima.a - prima.da) * f), `${d0}->${d1}: ${JSON.stringify(v)}`);
    const mezzo = v.da + (c.x - c.sinistra) / c.larghezza * (v.a - v.da);
    assert.ok(Math.abs(mezzo - m) < 1e-6 * m, `${mezzo} against ${m}`);
  }
  assert.equal(await page.evaluate(() => window.vista.segnato()), null);
  assert.deepEqual(guai, []);
  await page.close();
});

test('a tap selects the metre under the finger as a click does; a finger moved past 2 px drags instead', async () => {
  const { page, guai } = await apri(touch);
  const c = await centro(page), tocca = await dita(page);
  // [how to press, pixels moved, selects]
  for (const [modo, dx, seleziona] of [['touch', 0, true], ['touch', 2, true], ['touch', 3, false], ['mouse', 0, true], ['mouse', 3, false]]) {
    await page.evaluate(() => window.vista.mostra(20000, 40000));
    const prima = await page.evaluate(() => window.vista.segnato());
    if (modo === 'touch') {
      await tocca([[c.x, c.y]]);
      await tocca([[c.x + dx, c.y]]);
      await tocca([]);
    } else {
      await page.mouse.move(c.x, c.y);
      await page.mouse.down();
      await page.mouse.move(c.x + dx, c.y);
      await page.mouse.up();
    }
    await fotogramma(page);
    const v = await intervallo(page), s = await page.evaluate(() => window.vista.segnato());
    const nome = `${modo} moved ${dx}: ${s}`;
    if (seleziona) {
      assert.ok(Math.abs(s - (v.da + (c.x + dx - c.sinistra) / c.larghezza * (v.a - v.da))) < 1e-6 * s, nome);
    } else {
      assert.equal(s, prima, nome);
      assert.ok(v.da < 20000, nome);
    }
    await page.evaluate(() => { window.vista.mostra(0, 1); });
  }
  assert.deepEqual(guai, []);
  await page.close();
});

test('the page\'s Content-Security-Policy allows no inline code but its own, by hash, and the page runs under it', async () => {
  const csp = /<meta http-equiv="Content-Security-Policy" content="([^"]*)">/.exec(html)[1];
  assert.ok(!csp.includes('unsafe'), csp);
  // The hashes are of the one style and the one script the page holds.
  const hash = (testo) => `'sha256-${createHash('sha256').update(Buffer.from(testo, 'latin1')).digest('base64')}'`;
  const stili = [...html.matchAll(/<style>([\s\S]*?)<\/style>/g)].map((m) => m[1]);
  const codici = [...html.matchAll(/<script>([\s\S]*?)<\/script>/g)].map((m) => m[1]);
  assert.equal(stili.length, 1);
  assert.equal(codici.length, 1);
  assert.match(csp, new RegExp(`style-src ${hash(stili[0]).replace(/[+/]/g, '\\$&')};`));
  assert.match(csp, new RegExp(`script-src ${hash(codici[0]).replace(/[+/]/g, '\\$&')};`));
  // In chromium: no violation, the script ran to its end, the style applied.
  const { page, guai } = await apri();
  assert.equal(await page.evaluate(() => window.violazioni), undefined);
  assert.equal(await page.$eval('canvas', (t) => getComputedStyle(t).touchAction), 'none');
  assert.deepEqual(guai, []);
  await page.close();
  // A page whose script is not the hashed one is refused: the policy is in force.
  const { page: altra } = await apri_testo(html.replace('<script>', '<script>window.x=1;'));
  assert.deepEqual(await altra.evaluate(() => [typeof window.x, window.violazioni && window.violazioni[0]]), ['undefined', 'script-src-elem inline']);
  await altra.close();
});

// Where the page's parts stand, in CSS pixels: the header's controls, the
// profile canvas and the height its lanes need.
function misura() {
  const r = (e) => { const b = e.getBoundingClientRect(); return { l: b.left, r: b.right, t: b.top, b: b.bottom, h: b.height }; };
  const testata = document.getElementById('testata');
  return {
    finestra: { w: innerWidth, h: innerHeight, largo: document.documentElement.scrollWidth },
    controlli: [...testata.children].filter((e) => !e.hidden && e.getClientRects().length).map((e) => ({ id: e.id, ...r(e) })),
    bottoni: [...testata.querySelectorAll('button')].map((e) => r(e).h),
    campo: r(document.getElementById('cerca-testo')),
    titolo: r(document.getElementById('titolo')),
    profili: r(document.getElementById('profili')),
    pianta: r(document.getElementById('pianta')),
    serve: window.vista.area().corsie.asse[1],
  };
}

test('the layout holds at 360 px wide and at 200 % zoom: nothing wider than the window, the header in whole rows, the profiles whole', async () => {
  // 1400 x 860 at 200 % is 700 x 430 CSS pixels; 361 and 721 are just past the narrow layouts' limit.
  const finestre = [
    { width: 360, height: 640 }, { width: 361, height: 640 }, { width: 700, height: 430, deviceScaleFactor: 2 },
    { width: 720, height: 430 }, { width: 721, height: 430 }, { width: 1400, height: 860 },
  ];
  for (const f of finestre) {
    const { page, guai } = await apri(f);
    const m = await page.evaluate(misura);
    const nome = `${JSON.stringify(f)}: ${JSON.stringify(m)}`;
    assert.ok(m.finestra.largo <= m.finestra.w, nome);
    for (const c of m.controlli) assert.ok(c.l >= 0 && c.r <= m.finestra.w, `${c.id} ${nome}`);
    // No control overlaps another; no button's label broken over two lines.
    for (const [i, a] of m.controlli.entries()) {
      for (const b of m.controlli.slice(i + 1)) assert.ok(a.r <= b.l || b.r <= a.l || a.b <= b.t || b.b <= a.t, `${a.id} over ${b.id} ${nome}`);
    }
    for (const h of m.bottoni) assert.ok(h < 32, nome);
    assert.ok(m.campo.r - m.campo.l >= 140, nome);
    assert.ok(m.titolo.h < 24, nome);
    // The profile canvas holds every lane and its axis, and scrolling brings its foot into the window.
    assert.ok(m.profili.h >= m.serve, nome);
    assert.ok(m.profili.r <= m.finestra.w && m.pianta.r <= m.finestra.w, nome);
    await page.$eval('#profili', (t) => t.scrollIntoView({ block: 'end' }));
    const fondo = await page.$eval('#profili', (t) => t.getBoundingClientRect().bottom);
    assert.ok(fondo <= m.finestra.h + 0.5, `${fondo} ${nome}`);
    // The canvas is drawn at the device's pixels.
    assert.equal(await page.$eval('#profili', (t) => t.width / t.clientWidth), f.deviceScaleFactor || 1);
    assert.deepEqual(guai, []);
    await page.close();
  }
});

test('the view is kept in the address\'s fragment and an address with one opens there', async () => {
  const { page, guai } = await apri();
  await page.evaluate(() => window.vista.mostra(12345.6, 23456.7));
  const c = await centro(page);
  await page.mouse.click(c.x, c.y);
  await new Promise((r) => setTimeout(r, 400));
  const [hash, v, s] = await page.evaluate(() => [location.hash, window.vista.intervallo(), window.vista.segnato()]);
  assert.match(hash, /^#da=12345\.6&a=23456\.7&sel=\d+(\.\d)?$/);
  await page.close();
  // [fragment, expected range or null for the whole line, expected selection]
  const intera = { da: 0, a: null };
  const casi = [
    [hash, v, Math.round(s * 10) / 10],
    ['#da=100&a=149', { da: 100, a: 150 }, null],              // narrower than a cell: one cell
    ['#da=100&a=150&sel=0', { da: 100, a: 150 }, 0],
    ['#da=-500&a=1000&sel=-1', { da: 0, a: 1500 }, null],      // before the line: moved onto it
    ['#da=abc&a=1000', intera, null],
    ['#da=5000&a=5000', intera, null],
    ['#sel=7000', intera, 7000],
  ];
  for (const [frammento, atteso, sel] of casi) {
    const altra = await browser.newPage();
    await altra.setViewport({ width: 1400, height: 860 });
    await altra.goto(pathToFileURL(pagina).href + frammento, { waitUntil: 'load' });
    await altra.waitForSelector('body[data-pronto="1"]');
    const [w, t] = await altra.evaluate(() => [window.vista.intervallo(), window.vista.segnato()]);
    const fine = atteso.a === null ? w.a : atteso.a;
    assert.ok(vicino(w.da, atteso.da) && vicino(w.a, fine) && (atteso.a !== null || w.a > 200000), `${frammento}: ${JSON.stringify(w)}`);
    assert.equal(t, sel, frammento);
    await altra.close();
  }
  assert.deepEqual(guai, []);
});

test('a dark colour scheme darkens the page and the charts; print shows the charts without the controls', async () => {
  const { page, guai } = await apri();
  const colori = () => page.evaluate(() => [getComputedStyle(document.body).backgroundColor, getComputedStyle(document.getElementById('lato')).backgroundColor, getComputedStyle(document.getElementById('profili')).filter]);
  const chiaro = await colori();
  await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: 'dark' }]);
  const scuro = await colori();
  const luce = (rgb) => rgb.match(/\d+/g).slice(0, 3).reduce((s, x) => s + Number(x), 0) / 3;
  assert.ok(luce(chiaro[0]) > 200 && luce(chiaro[1]) > 200 && chiaro[2] === 'none', JSON.stringify(chiaro));
  assert.ok(luce(scuro[0]) < 60 && luce(scuro[1]) < 60 && scuro[2] !== 'none', JSON.stringify(scuro));
  await page.emulateMediaType('print');
  const carta = await page.evaluate(() => Object.fromEntries(['cerca', 'tutta', 'strati', 'profili', 'pianta', 'stazioni'].map((id) => [id, document.getElementById(id).getClientRects().length > 0])));
  assert.deepEqual(carta, { cerca: false, tutta: false, strati: false, profili: true, pianta: true, stazioni: true });
  // Printed light even from a dark screen.
  assert.equal(await page.$eval('#profili', (t) => getComputedStyle(t).filter), 'none');
  assert.deepEqual(guai, []);
  await page.close();
});

test('the problems list puts errors first, filters by severity, steps with next and previous, and says when a problem has no place', async () => {
  // The built-in page with problems of its own: in check's order (file, line), a warning first.
  const problema = (severity, file, line, metre, rule) => ({ severity, file, line, column: 1, metre, code: null, rule, message: rule });
  const elenco = [
    problema('warning', 'A_linea.txt', 2, 1000, 'w1'),
    problema('error', 'A_linea.txt', 5, null, 'e1'),
    problema('warning', 'A_linea.txt', 9, null, 'w2'),
    problema('error', 'B_treno.txt', 3, 3000, 'e2'),
  ];
  const testo = html.replace(/("problems":)\[[^\]]*\]/, (_, k) => k + JSON.stringify(elenco));
  assert.notEqual(testo, html);
  const { page, guai } = await apri_testo(testo);
  await page.waitForSelector('body[data-pronto="1"]');
  const regole = () => page.$$eval('#problemi li', (l) => l.filter((x) => !x.hidden).map((x) => x.querySelector('.errore, .avviso').textContent.trim()));
  assert.deepEqual(await regole(), ['e1', 'e2', 'w1', 'w2']);
  // Next from none is the first; a problem with no place says so and leaves the view; next goes round the end.
  const stato = () => page.evaluate(() => ({
    attuale: document.querySelector('#problemi li[aria-current] .errore, #problemi li[aria-current] .avviso')?.textContent.trim(),
    messaggio: document.getElementById('messaggio').textContent, segnato: window.vista.segnato() }));
  const passi = [
    ['#problema-succ', 'e1', /no place on the line for A_linea\.txt:5/, null],
    ['#problema-succ', 'e2', /^$/, 3000],
    ['#problema-succ', 'w1', /^$/, 1000],
    ['#problema-succ', 'w2', /no place on the line for A_linea\.txt:9/, 1000],
    ['#problema-succ', 'e1', /A_linea\.txt:5/, 1000],
    ['#problema-prec', 'w2', /A_linea\.txt:9/, 1000],
  ];
  for (const [bottone, attuale, messaggio, segnato] of passi) {
    await page.click(bottone);
    const s = await stato();
    assert.equal(s.attuale, attuale);
    assert.match(s.messaggio, messaggio, attuale);
    assert.equal(s.segnato, segnato, attuale);
  }
  // Filtered to warnings, next steps among warnings only; a click on a shown one goes there.
  await page.select('#filtro-problemi', 'warning');
  assert.deepEqual(await regole(), ['w1', 'w2']);
  await page.click('#problema-succ');
  assert.equal((await stato()).attuale, 'w1');
  await page.select('#filtro-problemi', 'error');
  assert.deepEqual(await regole(), ['e1', 'e2']);
  await page.click('#problemi li:not([hidden]):nth-child(2) button');
  assert.equal((await stato()).segnato, 3000);
  await page.select('#filtro-problemi', '');
  assert.deepEqual(await regole(), ['e1', 'e2', 'w1', 'w2']);
  assert.deepEqual(guai, []);
  await page.close();
});
