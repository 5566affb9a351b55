// The page of `scenario_tool view`: the plan view of the track and the
// profiles along the line on one position axis, to zoom and pan from the
// whole line down to single 50 m cells. Everything it shows comes from the
// JSON block the tool wrote into the page; nothing is fetched. Text from the
// data only ever reaches the page as text nodes (textContent), never as HTML.
//
// The script is the files of view/pagina/ that view/CMakeLists.txt names,
// joined in that order inside one function of the template (vista.html), so
// they share one scope. This one: the data, in the forms the drawing wants.

const T0 = performance.now();
const D = JSON.parse(document.getElementById('dati').textContent);
const METRI_CELLA = 50;
// Each wheel notch shows 1 / PASSO_ZOOM (in) or PASSO_ZOOM (out) times the
// span, keeping the metre under the pointer where it is.
const PASSO_ZOOM = 1.25;
const SPAN_MINIMO = METRI_CELLA;
const LUNGHEZZA = D.line_length_m;
const FINE_GRIGLIA = Math.max(D.grid_end_m, LUNGHEZZA, 1);

const COLORI = {
  binario: '#1f4e79', binarioSpento: '#c9ced8', oltre: '#a0a6b2',
  segnale: '#2b2b2b', indicatore: '#e07b00', cartelloKm: '#2e8b57', punto: '#8a93a6',
  rallentamento: '#d62728', montagna: '#efe2bf', stazione: '#23304a',
  pendenza: '#7b4fa8', velocita: '#1f77b4', aderenza: '#2a9d4b',
  errore: '#d62728', avviso: '#e6a000', segno: '#b0b6c3', cursore: '#d62728', griglia: '#eef0f4',
};

// The layers that can be switched off, in the side panel's order.
const STRATI = [
  ['pianta', 'Plan view', COLORI.binario],
  ['stazioni', 'Stations', COLORI.stazione],
  ['segnali', 'Signals', COLORI.segnale],
  ['indicatori', 'Speed boards', COLORI.indicatore],
  ['cartelli', 'Km boards', COLORI.cartelloKm],
  ['punti', 'Code points', COLORI.punto],
  ['rallentamenti', 'Slowdowns', COLORI.rallentamento],
  ['montagne', 'Mountains', '#d9c48f'],
  ['pendenza', 'Gradient', COLORI.pendenza],
  ['velocita', 'Speed limit', COLORI.velocita],
  ['aderenza', 'Adhesion', COLORI.aderenza],
  ['problemi', 'Problems', COLORI.errore],
];
const acceso = {};
for (const [k] of STRATI) acceso[k] = true;

// Objects by layer, each list in metre order.
const strato_di = {
  'signal': 'segnali', 'speed indicator board': 'indicatori', 'kilometre board': 'cartelli',
  'code point': 'punti', 'code point without a code': 'punti', 'stop cell': 'stazioni',
  'slowdown start': 'rallentamenti', 'slowdown end': 'rallentamenti', 'slowdown warning point': 'rallentamenti',
  'cell ahead of a slowdown warning point': 'rallentamenti',
};
const oggetti = D.objects.map((o) => ({ o, metro: o.metre, strato: strato_di[o.object] || 'segni' }));
const per_strato = {};
for (const x of oggetti) (per_strato[x.strato] = per_strato[x.strato] || []).push(x);

// A profile as runs: start and end metre, value (NaN where unset).
function serie(runs) {
  const n = runs.length;
  const s = { da: new Float64Array(n), a: new Float64Array(n), v: new Float64Array(n), n, min: Infinity, max: -Infinity };
  runs.forEach((r, i) => {
    s.da[i] = r.from_cell * METRI_CELLA;
    s.a[i] = (r.to_cell + 1) * METRI_CELLA;
    s.v[i] = r.value === null ? NaN : r.value;
    if (r.value !== null && r.from_m < LUNGHEZZA) {
      s.min = Math.min(s.min, r.value);
      s.max = Math.max(s.max, r.value);
    }
  });
  return s;
}
const profili = {
  pendenza: serie(D.profiles.gradient_per_mille),
  velocita: serie(D.profiles.speed_kmh),
  aderenza: serie(D.profiles.adhesion),
  montagne: serie(D.profiles.mountain_type),
};

// Index of the first run or object ending after metre m.
function primo(fine, n, m) {
  let lo = 0, hi = n;
  while (lo < hi) {
    const mid = (lo + hi) >> 1;
    if (fine(mid) <= m) lo = mid + 1; else hi = mid;
  }
  return lo;
}
function valore_a(s, m) {
  const i = primo((k) => s.a[k], s.n, m);
  return i < s.n && s.da[i] <= m ? s.v[i] : NaN;
}

// Slowdowns: a start, its end and the warning point before it, as plot pairs them.
const rallentamenti = [];
{
  let avviso = null, aperto = null;
  for (const x of per_strato.rallentamenti || []) {
    if (x.o.object === 'slowdown warning point') avviso = x.metro;
    else if (x.o.object === 'slowdown start') {
      if (aperto) rallentamenti.push(aperto);
      aperto = { da: x.metro, a: x.metro, v: x.o.values.speed, avviso };
      avviso = null;
    } else if (x.o.object === 'slowdown end' && aperto) {
      aperto.a = x.metro;
      rallentamenti.push(aperto);
      aperto = null;
    }
  }
  if (aperto) rallentamenti.push(aperto);
}

const stazioni = D.stations.map((s) => ({
  s, metro: s.stop_cell !== null ? s.stop_cell * METRI_CELLA : s.position, fermata: s.stop_cell !== null,
})).sort((p, q) => p.metro - q.metro);

// By metre, errors first: a marker shared by several takes the colour of the worst.
const problemi = D.problems.map((p, i) => ({ p, i, metro: p.metre })).filter((x) => x.metro !== null)
  .sort((p, q) => p.metro - q.metro || (p.p.severity === 'error' ? 0 : 1) - (q.p.severity === 'error' ? 0 : 1));

// The plan-view track: one point every step_m metres, in metres.
const G = (function () {
  if (!D.geometry) return null;
  const g = D.geometry, n = g.x_dm.length;
  const x = new Float64Array(n), y = new Float64Array(n);
  let px = 0, py = 0;
  for (let i = 0; i < n; i++) {
    if (g.x_dm[i] === null) { x[i] = NaN; y[i] = NaN; continue; }
    px += g.x_dm[i]; py += g.y_dm[i];
    x[i] = px / 10; y[i] = py / 10;
  }
  return { x, y, n, passo: g.step_m, ultimo: g.last_metre };
})();
function metro_punto(i) { return Math.min(i * G.passo, G.ultimo); }
// The track's point at metre m, and its heading there.
function punto_a(m) {
  const f = Math.max(0, Math.min(m, G.ultimo)) / G.passo;
  const i = Math.min(Math.floor(f), G.n - 1), j = Math.min(i + 1, G.n - 1);
  const t = j > i ? (Math.min(m, G.ultimo) - metro_punto(i)) / (metro_punto(j) - metro_punto(i)) : 0;
  const x = G.x[i] + (G.x[j] - G.x[i]) * t, y = G.y[i] + (G.y[j] - G.y[i]) * t;
  let dx = G.x[j] - G.x[i], dy = G.y[j] - G.y[i];
  if (j === i && i > 0) { dx = G.x[i] - G.x[i - 1]; dy = G.y[i] - G.y[i - 1]; }
  const l = Math.hypot(dx, dy) || 1;
  return { x, y, dx: dx / l, dy: dy / l };
}
