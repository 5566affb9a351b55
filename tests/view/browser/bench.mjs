// How fast the page of scenario_tool view draws in Debian's chromium:
//   node bench.mjs NAME=PAGE.html[:LIMIT_MS] ...
// For each page, the first paint (from navigation start to the first frame
// after the first drawing, the best of five loads) against its limit, and on
// the first page the time of one zoom step's redraw (median and worst of
// 40 steps in and out) against one frame, 16 ms. A limit not met is status 1.
// With BENCH_QUICK set, one load and four steps: a check that every case
// still runs, no measurement, so a limit not met is said but fails nothing.
// Any error (a page that does not load or never gets ready) is status 1.
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const CHROMIUM = process.env.CHROMIUM || '/usr/bin/chromium';
const RAPIDO = !['', '0', undefined].includes(process.env.BENCH_QUICK);
const CARICAMENTI = RAPIDO ? 1 : 5;
const PASSI = RAPIDO ? 4 : 40;
const browser = await puppeteer.launch({ executablePath: CHROMIUM, headless: true, args: ['--no-sandbox', '--disable-gpu'] });
let fallito = false;
const riga = (nome, valore, limite) => {
  const ok = valore <= limite;
  fallito ||= !ok && !RAPIDO;
  console.log(`${nome.padEnd(34)} ${valore.toFixed(1).padStart(8)} ms  (limit ${limite} ms${ok ? '' : ', NOT met'})`);
};

try {
  for (const [k, voce] of process.argv.slice(2).entries()) {
    const [nome, resto] = voce.split('=');
    const [file, limite] = resto.split(':');
    const tempi = [];
    let page;
    for (let i = 0; i < CARICAMENTI; i++) {
      if (page) await page.close();
      page = await browser.newPage();
      await page.setViewport({ width: 1400, height: 860 });
      await page.goto(pathToFileURL(file).href, { waitUntil: 'load' });
      await page.waitForSelector('body[data-pronto="1"]');
      tempi.push(await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => r(performance.now())))));
    }
    riga(`${nome}: first paint`, Math.min(...tempi), Number(limite || 500));
    if (k === 0) {
      // One step is what a wheel event does: the range changes, and the frame redraws it.
      const passi = await page.evaluate((n) => {
        const t = [];
        const { da, a } = window.vista.intervallo();
        for (let i = 0; i < n; i++) {
          const verso = i < n / 2 ? -1 : 1;
          const r = document.getElementById('profili').getBoundingClientRect();
          const inizio = performance.now();
          document.getElementById('profili').dispatchEvent(new WheelEvent('wheel', {
            deltaY: verso * 100, clientX: r.left + r.width * 0.4, clientY: r.top + r.height * 0.7, cancelable: true, bubbles: true,
          }));
          window.vista.disegna();
          t.push(performance.now() - inizio);
        }
        void da; void a;
        return t.sort((p, q) => p - q);
      }, PASSI);
      if (process.env.VISTA_DETTAGLI) console.log(passi.map((t) => t.toFixed(1)).join(" "));
      riga(`${nome}: zoom step, median`, passi[passi.length >> 1], 16);
      riga(`${nome}: zoom step, worst`, passi[passi.length - 1], 16);
    }
    await page.close();
  }
} catch (e) {
  console.error(`bench.mjs: ${e.stack || e}`);
  fallito = true;
} finally {
  await browser.close();
}
process.exit(fallito ? 1 : 0);
