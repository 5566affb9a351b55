// The page of scenario_tool view in a real browser: Debian's chromium,
// headless, driven over its DevTools protocol. Run by ctest as
//   node pagina.test.mjs
// with SCENARIO_TOOL (the tool), FIXTURES_DIR (tests/view/fixtures) and
// optionally CHROMIUM set. Exits 77 (skipped) when chromium or the driver
// (npm ci in this folder) is missing.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const qui = dirname(fileURLToPath(import.meta.url));
const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
if (!existsSync(CHROMIUM)) {
  console.log(`skipped: no chromium at ${CHROMIUM} (scripts/install-deps.sh installs it)`);
  process.exit(77);
}
if (!existsSync(join(qui, 'node_modules', 'puppeteer-core'))) {
  console.log(`skipped: no puppeteer-core in ${qui}/node_modules (npm ci there installs it)`);
  process.exit(77);
}
const { default: puppeteer } = await import('puppeteer-core');

const TOOL = process.env.SCENARIO_TOOL;
const FIXTURES = process.env.FIXTURES_DIR;
assert.ok(TOOL && FIXTURES, 'SCENARIO_TOOL and FIXTURES_DIR must be set');

let cartella, browser;
const pagine = {};
let testi;  // the built-in files as emit writes them

function strumento(argomenti, stato_atteso = 0) {
  const r = spawnSync(TOOL, argomenti, { encoding: 'utf8' });
  assert.equal(r.status, stato_atteso, `scenario_tool ${argomenti.join(' ')}: ${r.stderr}`);
  return r;
}

before(async () => {
  cartella = mkdtempSync(join(tmpdir(), 'sb_vista_'));
  const src = join(cartella, 'src');
  strumento(['emit', src]);
  const linea = join(src, 'Valdora_Sarenta_linea.txt'), treno = join(src, 'Valdora_Sarenta_731-.txt');
  testi = { linea: readFileSync(linea, 'latin1'), treno: readFileSync(treno, 'latin1') };
  strumento(['compile', linea, treno, '-o', join(cartella, 'c')]);
  pagine.builtin = join(cartella, 'builtin.html');
  strumento(['view', join(cartella, 'c'), linea, treno, '-o', pagine.builtin]);

  // A small pair with a board on a taken cell (the compiler's 21) and a
  // kilometre board whose text would end the page's script if it were not escaped.
  const fl = join(FIXTURES, 'Breve_linea.txt'), ft = join(FIXTURES, 'Breve_3-.txt');
  strumento(['compile', fl, ft, '-o', join(cartella, 'b')], 1);
  pagine.breve = join(cartella, 'breve.html');
  strumento(['view', join(cartella, 'b'), fl, ft, '-o', pagine.breve]);

  browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-extensions'],
  });
});

after(async () => {
  if (browser) await browser.close();
  if (cartella) rmSync(cartella, { recursive: true, force: true });
});

// Opens a page from disk, every request that is not the file itself or a
// data: URL refused and noted, with the console's errors, uncaught
// exceptions and dialogs (an alert would be a script run from the data).
async function apri(file) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1400, height: 860 });
  const url = pathToFileURL(file).href;
  const guai = [];
  await page.setRequestInterception(true);
  page.on('request', (r) => {
    if (r.url() === url || r.url().startsWith('data:')) r.continue();
    else { guai.push(`request ${r.url()}`); r.abort(); }
  });
  page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warn') guai.push(`console ${m.type()}: ${m.text()}`); });
  page.on('pageerror', (e) => guai.push(`page error: ${e.message}`));
  page.on('dialog', async (d) => { guai.push(`dialog ${d.type()}: ${d.message()}`); await d.dismiss(); });
  await page.goto(url, { waitUntil: 'load' });
  await page.waitForSelector('body[data-pronto="1"]', { timeout: 10000 });
  return { page, guai };
}

// Waits for the frame that redraws after an input.
const fotogramma = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));

// Moves the pointer onto metre m in a lane of the profile canvas.
async function sopra(page, metro, corsia) {
  const { area, rect, vista } = await page.evaluate(() => {
    const r = document.getElementById('profili').getBoundingClientRect();
    return { area: window.vista.area(), rect: { left: r.left, top: r.top }, vista: window.vista.intervallo() };
  });
  const x = area.sinistra + (metro - vista.da) / (vista.a - vista.da) * area.larghezza;
  const [y0, y1] = area.corsie[corsia];
  await page.mouse.move(rect.left + x, rect.top + (y0 + y1) / 2);
  await fotogramma(page);
  return page.$eval('#suggerimento', (s) => (s.hidden ? '' : s.innerText));
}

async function cerca(page, testo) {
  await page.click('#cerca-testo', { clickCount: 3 });
  await page.type('#cerca-testo', testo);
  await page.keyboard.press('Enter');
  await fotogramma(page);
}

// The built-in line's length, from its line description.
function lunghezza_builtin() {
  const m = /^lunghezza percorso,\s*(\d+)/m.exec(testi.linea);
  assert.ok(m);
  return Number(m[1]);
}

test('the built-in page loads from disk with nothing fetched and no error, and shows the whole line', async () => {
  const { page, guai } = await apri(pagine.builtin);
  const L = lunghezza_builtin();
  assert.deepEqual(await page.evaluate(() => window.vista.intervallo()), { da: 0, a: L });
  assert.equal(await page.$eval('#intervallo', (e) => e.textContent.split('  ')[0]), `km 0.000 – ${(L / 1000).toFixed(3)}`);
  // Every station of the train file is listed in the side panel.
  const stazioni = [...testi.treno.matchAll(/^stazione,(?:[^,\r\n]*,){16}\s*([^\r\n]*?)\s*$/gm)].map((m) => m[1]);
  assert.ok(stazioni.length > 10);
  const elenco = await page.$$eval('#stazioni li span:first-child', (s) => s.map((x) => x.textContent));
  assert.deepEqual([...elenco].sort(), [...stazioni].sort());
  assert.deepEqual(guai, []);
  await page.close();
});

test('a wheel step zooms at the pointer by the zoom rule', async () => {
  const { page, guai } = await apri(pagine.builtin);
  const L = lunghezza_builtin();
  const { area, rect } = await page.evaluate(() => {
    const r = document.getElementById('profili').getBoundingClientRect();
    return { area: window.vista.area(), rect: { left: r.left, top: r.top } };
  });
  // One step in shows 1/1.25 of the span, the metre under the pointer staying put.
  const casi = [0.3, 0.0];
  let da = 0, a = L;
  for (const quota of casi) {
    // The pointer stands on whole pixels.
    const cx = Math.round(rect.left + area.sinistra + quota * area.larghezza), x = cx - rect.left;
    const m = da + (x - area.sinistra) / area.larghezza * (a - da);
    await page.mouse.move(cx, Math.round(rect.top + (area.corsie.velocita[0] + area.corsie.velocita[1]) / 2));
    await page.mouse.wheel({ deltaY: -100 });
    await fotogramma(page);
    [da, a] = [m - (m - da) / 1.25, m + (a - m) / 1.25];
    const v = await page.evaluate(() => window.vista.intervallo());
    assert.ok(Math.abs(v.da - da) < 1e-6 && Math.abs(v.a - a) < 1e-6, `${JSON.stringify(v)} against ${da}-${a}`);
    const asse = await page.$eval('#intervallo', (e) => [Number(e.dataset.da), Number(e.dataset.a)]);
    assert.deepEqual(asse, [v.da, v.a]);
  }
  // Zoomed out again as far as it goes: the route grid, no further.
  for (let k = 0; k < 30; k++) await page.mouse.wheel({ deltaY: 100 });
  await fotogramma(page);
  const tutto = await page.evaluate(() => window.vista.intervallo());
  assert.equal(tutto.da, 0);
  assert.ok(tutto.a >= L && tutto.a <= L + 7100, JSON.stringify(tutto));
  assert.deepEqual(guai, []);
  await page.close();
});

test('hovering a signal of the built-in shows its cell, values and row', async () => {
  const { page, guai } = await apri(pagine.builtin);
  // The first signal row past km 37 in the emitted train file.
  const righe = testi.treno.split('\r\n');
  const n = righe.findIndex((r) => /^segnale,/.test(r) && Number(r.split(',')[1]) >= 37000);
  assert.ok(n >= 0);
  const campi = righe[n].split(',').map((c) => c.trim());
  const posizione = Number(campi[1]);
  // A signal at position p stands in cell p / 50 + 1, named by its own metre.
  const cella = Math.round(posizione / 50) + 1, metro = cella * 50;
  await cerca(page, String(metro));
  const v = await page.evaluate(() => window.vista.intervallo());
  assert.ok(v.da < metro && metro < v.a && v.a - v.da <= 1000, JSON.stringify(v));
  const testo = await sopra(page, metro, 'oggetti');
  assert.match(testo, /^signal\n/);
  assert.ok(testo.includes(`cell ${cella} (m ${metro})`), testo);
  assert.ok(testo.includes(`kind=${campi[2]} digits=${campi[3]},${campi[4]},${campi[5]}`), testo);
  assert.ok(testo.includes(`kind=${campi[7]} digits=${campi[8]},${campi[9]},${campi[10]}`), testo);
  assert.ok(testo.includes(`the signal at metre ${posizione}`), testo);
  assert.ok(testo.includes(`Valdora_Sarenta_731-.txt, line ${n + 1}`), testo);
  assert.ok(testo.includes(righe[n]), testo);
  assert.deepEqual(guai, []);
  await page.close();
});

test('a problem of check is marked at its metre; a row that would close the script is shown as text', async () => {
  const { page, guai } = await apri(pagine.breve);
  const treno = readFileSync(join(FIXTURES, 'Breve_3-.txt'), 'latin1').split('\r\n');
  const linea = readFileSync(join(FIXTURES, 'Breve_linea.txt'), 'latin1').split('\r\n');
  // The signal at 5020 lands in the cell of the one at 5000: the compiler's 16, at its row's position.
  const n = treno.findIndex((r) => /^segnale,\s*5020,/.test(r));
  assert.ok(n >= 0);
  await cerca(page, '5020');
  const testo = await sopra(page, 5020, 'problemi');
  assert.match(testo, /^error \[16\]\n/);
  assert.ok(testo.includes('signal at metre 5020'), testo);
  assert.ok(testo.includes(`Breve_3-.txt, line ${n + 1}`), testo);
  assert.ok(testo.includes(treno[n]), testo);
  assert.ok(testo.includes('[off-grid-position]'), testo);
  const elenco = await page.$$eval('#problemi li', (l) => l.map((x) => x.innerText));
  assert.equal(elenco.length, 3);

  // The kilometre board at 4400 stands in cell 89 (m 4450), its text as written.
  const k = linea.findIndex((r) => r.startsWith('cartello_indicatore'));
  await cerca(page, '4450');
  const cartello = await sopra(page, 4450, 'oggetti');
  assert.match(cartello, /^kilometre board\n/);
  assert.ok(cartello.includes('</script><script>alert(1)</script>'), cartello);
  assert.ok(cartello.includes(linea[k]), cartello);
  assert.equal(await page.$$eval('script', (s) => s.length), 2);
  assert.deepEqual(guai, []);
  await page.close();
});

// The axis names one unit and every label is in it; the range readout
// gives the span shown as a length in metres.
test('the position axis and the range readout label metres as metres', async () => {
  const { page, guai } = await apri(pagine.builtin);
  const L = lunghezza_builtin();
  const casi = [
    // [from, to, unit]: km once a step or a visible metre reaches 1000 or 100000 of them.
    [0, L, 'km'],
    [1000, 1500, 'm'],
    [99500, 99999, 'm'],
    [99500, 100000, 'km'],
    [99800, 100300, 'km'],
    [140000, 140400, 'km'],
  ];
  for (const [da, a, unita] of casi) {
    await page.evaluate((x, y) => window.vista.mostra(x, y), da, a);
    const asse = await page.evaluate(() => window.vista.asse());
    assert.equal(asse.unita, unita, `${da}-${a}`);
    assert.ok(asse.etichette.length >= 2, JSON.stringify(asse));
    for (const e of asse.etichette) {
      assert.match(e, unita === 'km' ? /^\d+(\.\d+)?$/ : /^\d+$/, `${da}-${a}: ${e}`);
      const metro = Number(e) * (unita === 'km' ? 1000 : 1);
      assert.ok(metro >= da - 1e-6 && metro <= a + 1e-6, `${da}-${a}: ${e} ${unita}`);
    }
    const readout = await page.$eval('#intervallo', (e) => e.textContent);
    assert.ok(readout.endsWith(`(${(a - da).toLocaleString('en-US')} m)`), readout);
  }
  assert.deepEqual(guai, []);
  await page.close();
});

// The train's run of the built-in pair, as `scenario_tool run --json` prints it.
function corsa_builtin() {
  const src = join(cartella, 'src');
  const r = strumento(['run', '--json', join(src, 'Valdora_Sarenta_linea.txt'), join(src, 'Valdora_Sarenta_731-.txt')]);
  return JSON.parse(r.stdout);
}
// A timed row of the built-in train file: its station's position, dwell and time.
function fermata_builtin(nome) {
  const r = testi.treno.split(/\r?\n/).map((x) => x.split(',').map((c) => c.trim())).find((c) => c[0] === 'stazione' && c[17] === nome);
  assert.ok(r, nome);
  return { sosta: Number(r[13]), ora: Number(r[14]), minuto: Number(r[15]) };
}
const hh_mm_ss = (s) => [Math.floor(s / 3600), Math.floor(s / 60) % 60, s % 60].map((n) => String(n).padStart(2, '0')).join(':');
// Whether a pixel within r CSS pixels of (x, y) of a canvas is close to
// colour c (the tests' pages are at device scale 1); one readback.
const colore_vicino = (page, id, x, y, c, r = 2) => page.evaluate((i, px, py, col, rr) => {
  // Read from a copy, so the page's canvas is never read back more than once.
  const copia = document.createElement('canvas'), n = 2 * rr + 1;
  copia.width = copia.height = n;
  const cc = copia.getContext('2d');
  cc.drawImage(document.getElementById(i), Math.round(px) - rr, Math.round(py) - rr, n, n, 0, 0, n, n);
  const d = cc.getImageData(0, 0, n, n).data;
  for (let k = 0; k < d.length; k += 4)
    if (d[k + 3] > 120 && col.every((v, j) => Math.abs(d[k + j] - v) < 40)) return true;
  return false;
}, id, x, y, c, r);

test('the speed chart: the train\'s limits, the computed speed, and a timed station\'s times', async () => {
  const { page, guai } = await apri(pagine.builtin);
  // The train file's limit rows: where the next row is far enough away, the
  // middle of the stretch carries the row's speed (no slowdown there in the built-in).
  const righe = [...testi.treno.matchAll(/^velocita,\s*(\d+),\s*(\d+)/gm)].map((m) => [Number(m[1]), Number(m[2])]);
  const casi = righe.slice(0, 8).flatMap(([da, v], i) => (righe[i + 1][0] - da >= 1000 ? [[(da + righe[i + 1][0]) / 2, v]] : []));
  assert.ok(casi.length >= 6);
  for (const [m, v] of casi) assert.equal(await page.evaluate((x) => window.vista.marcia.limite(x), m), v, `limit at m ${m}`);

  // The computed speed: the run's own profile, within the decimation's error,
  // at points accelerating, braking, cruising and at a stop.
  const corsa = corsa_builtin();
  const fermo = corsa.stations.find((s) => s.name === 'ROCCAVELLA');
  assert.ok(fermo.stops);
  for (const m of [3000, 20000, 32000, fermo.metre - 300, fermo.metre, fermo.metre + 700, 100001]) {
    const p = corsa.profile.reduce((a, b) => (Math.abs(b.metre - m) < Math.abs(a.metre - m) ? b : a));
    const v = await page.evaluate((x) => window.vista.marcia.velocita(x), p.metre);
    assert.ok(Math.abs(v - p.speed_kmh) <= 1, `speed at m ${p.metre}: page ${v}, run ${p.speed_kmh}`);
  }
  assert.equal(await page.evaluate((x) => window.vista.marcia.velocita(x), fermo.metre), 0);
  // Cruising at the limit in the long 150 km/h stretch before km 35.65.
  assert.ok(Math.abs(await page.evaluate(() => window.vista.marcia.velocita(33000)) - 150) < 0.5);

  // ROCCAVELLA's row: departure at its time, arrival its dwell earlier.
  const r = fermata_builtin('ROCCAVELLA');
  const partenza = r.ora * 3600 + r.minuto * 60;
  const attesa = { metro: fermo.metre, arrivo: hh_mm_ss(partenza - r.sosta), partenza: hh_mm_ss(partenza) };
  assert.deepEqual(await page.evaluate(() => window.vista.marcia.stazione('ROCCAVELLA')), attesa);

  // Drawn: the limit's and the speed's colours where the hook puts them.
  await page.evaluate(() => window.vista.mostra(30000, 40000));
  const limite = await page.evaluate(() => window.vista.marcia.su_velocita(33000, 150));
  assert.ok(await colore_vicino(page, 'velocita', limite.x, limite.y, [194, 65, 12]), 'the computed speed at 150 km/h');
  // Past the stop the train is still accelerating, well under the limit of 150.
  assert.ok(await page.evaluate(() => window.vista.marcia.velocita(39000)) < 130);
  const sopra_curva = await page.evaluate(() => window.vista.marcia.su_velocita(39000, 150));
  assert.ok(await colore_vicino(page, 'velocita', sopra_curva.x, sopra_curva.y, [31, 119, 180]), 'the limit of 150 km/h');

  // Hovering the station on the speed chart tells its times.
  const rect = await page.$eval('#velocita', (e) => { e.scrollIntoView(); const b = e.getBoundingClientRect(); return { left: b.left, top: b.top }; });
  const p = await page.evaluate((m) => window.vista.marcia.su_velocita(m, 60), fermo.metre);
  await page.mouse.move(rect.left + p.x, rect.top + p.y);
  await fotogramma(page);
  const testo = await page.$eval('#suggerimento', (s) => (s.hidden ? '' : s.innerText));
  assert.match(testo, /station ROCCAVELLA/);
  assert.match(testo, new RegExp(`arrival\\s+${attesa.arrivo}`));
  assert.match(testo, new RegExp(`departure\\s+${attesa.partenza}`));
  // Switched off, the computed speed is gone.
  await page.$$eval('#strati label', (ls) => ls.find((l) => l.textContent.includes('Computed speed')).querySelector('input').click());
  await fotogramma(page);
  assert.ok(!(await colore_vicino(page, 'velocita', limite.x, limite.y, [194, 65, 12])));
  assert.deepEqual(guai, []);
  await page.close();
});

test('the time chart: the timetable, the computed run and each timed leg\'s margin', async () => {
  const { page, guai } = await apri(pagine.builtin);
  const corsa = corsa_builtin();
  // The first timed leg: its scheduled time from the rows, its minimum from the run.
  const a = fermata_builtin('VALDORA'), b = fermata_builtin('ROCCAVELLA');
  const programmato = (b.ora * 3600 + b.minuto * 60 - b.sosta) - (a.ora * 3600 + a.minuto * 60);
  const tratta = corsa.timed_legs[0];
  assert.deepEqual([tratta.from, tratta.to], ['VALDORA', 'ROCCAVELLA']);
  const margini = await page.evaluate(() => window.vista.marcia.margini());
  assert.equal(margini.length, corsa.timed_legs.filter((t) => t.scheduled_s !== null).length);
  assert.ok(Math.abs(margini[0] - (programmato - tratta.minimum_s)) <= 1, `margin ${margini[0]}`);
  // Its margin is written on the chart, and the timed station's time is a dot.
  await page.evaluate(() => window.vista.mostra(0, 40000));
  const fermo = corsa.stations.find((s) => s.name === 'ROCCAVELLA');
  const punto = await page.evaluate((m, t) => window.vista.marcia.su_tempi(m, t), fermo.metre, b.ora * 3600 + b.minuto * 60);
  assert.ok(await colore_vicino(page, 'tempi', punto.x, punto.y, [55, 65, 81], 1), 'the timetable\'s dot');
  // The computed minimum run reaches the station before the timetable's arrival.
  const prima = await page.evaluate((m) => window.vista.marcia.ora(m), fermo.metre - 1);
  assert.ok(prima < hh_mm_ss(b.ora * 3600 + b.minuto * 60 - b.sosta), prima);
  assert.deepEqual(guai, []);
  await page.close();
});

test('every chart is an image named for what it shows', async () => {
  const { page, guai } = await apri(pagine.builtin);
  const tele = await page.$$eval('canvas', (cs) => cs.map((c) => [c.id, c.getAttribute('role'), c.getAttribute('aria-label') || '']));
  const attesi = { pianta: /plan/, profili: /gradient.*speed limit.*adhesion/, quota: /altitude/, velocita: /speed/, tempi: /time/ };
  assert.deepEqual(tele.map((t) => t[0]).sort(), Object.keys(attesi).sort());
  for (const [id, ruolo, nome] of tele) {
    assert.equal(ruolo, 'img', id);
    assert.match(nome, attesi[id], id);
  }
  // The accessibility tree names them so.
  const albero = await page.accessibility.snapshot({ interestingOnly: true });
  const immagini = [];
  const visita = (n) => { if (n.role === 'img' || n.role === 'image') immagini.push(n.name); (n.children || []).forEach(visita); };
  visita(albero);
  assert.deepEqual(immagini.sort(), tele.map((t) => t[2]).sort());
  assert.deepEqual(guai, []);
  await page.close();
});

test('the altitude profile: the line\'s gradient rows integrated', async () => {
  const { page, guai } = await apri(pagine.builtin);
  // The rows' gradients from their metre to the next row's: the altitude at
  // each row's start, the rows at whole cells in the built-in.
  const righe = [...testi.linea.matchAll(/^pendenza,\s*(\d+),\s*(-?\d+)/gm)].map((m) => [Number(m[1]), Number(m[2])]);
  assert.ok(righe.length > 10);
  let q = 0;
  for (let i = 1; i < righe.length; i++) {
    q += righe[i - 1][1] * (righe[i][0] - righe[i - 1][0]) / 1000;
    if (righe[i][0] % 50 !== 0) break;
    const pagina = await page.evaluate((m) => window.vista.quota(m), righe[i][0]);
    assert.ok(Math.abs(pagina - q) < 0.01, `altitude at m ${righe[i][0]}: page ${pagina}, rows ${q}`);
  }
  // Half way down the first falling stretch, -8 ‰ from 5000 to 7000 m.
  assert.ok(Math.abs(await page.evaluate(() => window.vista.quota(6000)) - -8) < 0.01);
  assert.deepEqual(guai, []);
  await page.close();
});
