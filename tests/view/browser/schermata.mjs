// The picture of the page in the README: the built-in page around km 140,
// a slowdown and a mountain stretch in sight, the pointer on a signal.
//   node schermata.mjs PAGE.html OUT.png
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const [pagina, uscita] = process.argv.slice(2);
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true, args: ['--no-sandbox', '--disable-gpu'],
});
const page = await browser.newPage();
await page.setViewport({ width: 1400, height: 860 });
await page.goto(pathToFileURL(pagina).href, { waitUntil: 'load' });
await page.waitForSelector('body[data-pronto="1"]');
await page.evaluate(() => window.vista.mostra(135000, 151000));
// The first signal after km 142, in the objects' lane.
const punto = await page.evaluate(() => {
  const d = JSON.parse(document.getElementById('dati').textContent);
  const s = d.objects.find((o) => o.object === 'signal' && o.metre >= 142000);
  const a = window.vista.area(), v = window.vista.intervallo();
  const r = document.getElementById('profili').getBoundingClientRect();
  return { x: r.left + a.sinistra + (s.metre - v.da) / (v.a - v.da) * a.larghezza, y: r.top + (a.corsie.oggetti[0] + a.corsie.oggetti[1]) / 2 };
});
await page.mouse.move(Math.round(punto.x), Math.round(punto.y));
await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
await page.screenshot({ path: uscita });
await browser.close();
