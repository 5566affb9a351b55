// The train's run (present when the page was made from the text files): the
// speed chart — the limit in force, slowdowns shaded, the computed speed
// and the stations — and the time chart — the timetable's times, the
// computed minimum run, the stations as lines and each timed leg's margin.
// Both share the profiles' position axis, zoom and pan.

const tela_v = document.getElementById('velocita');
const tela_t = document.getElementById('tempi');
const cv = tela_v.getContext('2d'), ct = tela_t.getContext('2d');

// The run decoded: the speed curve in metres, km/h and seconds of running.
const M = (function () {
  const r = D.run;
  if (!r || !r.curve) return null;
  const c = r.curve, n = c.metre.length;
  const m = new Float64Array(n), v = new Float64Array(n), t = new Float64Array(n);
  let pm = 0, pv = 0, pt = 0;
  for (let i = 0; i < n; i++) {
    pm += c.metre[i]; pv += c.speed_dkmh[i]; pt += c.time_ds[i];
    m[i] = pm; v[i] = pv / 10; t[i] = pt / 10;
  }
  const limiti = r.limits.map(([da, a, v]) => ({ da, a, v }));
  const st = r.stations.map((s) => ({ s, metro: s.metre }));
  // The computed minimum run on the clock: from the first departure, the
  // dwells of the stations passed added.
  const partenza = st.length && st[0].s.departure_ds !== null ? st[0].s.departure_ds / 10 : 0;
  const soste = st.map((x, i) => (i > 0 && x.s.stops ? x.s.dwell_ds / 10 : 0));
  const vmax = Math.max(10, ...limiti.map((x) => x.v), ...v);
  return { m, v, t, n, limiti, st, partenza, soste, vmax, legs: r.timed_legs };
})();
if (!M) { tela_v.hidden = true; tela_t.hidden = true; }
else {
  STRATI.push(['marcia', 'Computed speed', '#c2410c'], ['orario', 'Time chart', '#374151']);
  acceso.marcia = true;
  acceso.orario = true;
}

// "08:04:30" from seconds of the day, in whole seconds.
function testo_ora(s) {
  const x = Math.round(s), d = 86400, k = ((x % d) + d) % d;
  const due = (n) => String(n).padStart(2, '0');
  return due(Math.floor(k / 3600)) + ':' + due(Math.floor(k / 60) % 60) + ':' + due(k % 60);
}
// The computed speed at metre m, between the two points around it.
function velocita_a(m) {
  const i = primo((k) => M.m[k], M.n, m);
  if (i >= M.n) return M.v[M.n - 1];
  if (i === 0 || M.m[i] === m) return M.v[i];
  const f = (m - M.m[i - 1]) / (M.m[i] - M.m[i - 1]);
  return M.v[i - 1] + (M.v[i] - M.v[i - 1]) * f;
}
function limite_a(m) {
  const i = primo((k) => M.limiti[k].a, M.limiti.length, m);
  return i < M.limiti.length && M.limiti[i].da <= m ? M.limiti[i].v : NaN;
}
// Running time to metre m on the clock.
function ora_a(m) {
  const i = Math.min(primo((k) => M.m[k], M.n, m), M.n - 1);
  const t = i > 0 && M.m[i] !== m ? M.t[i - 1] + (M.t[i] - M.t[i - 1]) * (m - M.m[i - 1]) / (M.m[i] - M.m[i - 1]) : M.t[i];
  let s = M.partenza + t;
  for (let k = 1; k < M.st.length && M.st[k].metro < m; k++) s += M.soste[k];
  return s;
}

const ALTO = 14, BASSO = 16;  // room for the values' labels
function y_v(h, v) { return h - BASSO - v / (Math.ceil(M.vmax / 20) * 20) * (h - ALTO - BASSO); }

function disegna_velocita() {
  if (!M) return;
  const { w, h } = adatta(tela_v, cv);
  const ctx = cv;
  ctx.clearRect(0, 0, w, h);
  ctx.font = '11px system-ui, "DejaVu Sans", sans-serif';
  ctx.textBaseline = 'middle';
  const sx = L.sinistra, dx = L.sinistra + L.larghezza;
  ctx.save();
  ctx.beginPath(); ctx.rect(sx, 0, L.larghezza, h); ctx.clip();
  if (acceso.rallentamenti) {
    ctx.fillStyle = 'rgba(214, 39, 40, 0.13)';
    for (const r of rallentamenti) if (r.a >= vista.da && r.da <= vista.a) ctx.fillRect(x_di(r.da), ALTO, Math.max(x_di(r.a) - x_di(r.da), 1), h - ALTO - BASSO);
  }
  if (acceso.velocita) {
    ctx.beginPath();
    let primo_tratto = true;
    for (const l of M.limiti) {
      if (l.a < vista.da || l.da > vista.a) continue;
      const y = y_v(h, l.v);
      if (primo_tratto) { ctx.moveTo(x_di(l.da), y); primo_tratto = false; } else ctx.lineTo(x_di(l.da), y);
      ctx.lineTo(x_di(l.a), y);
    }
    ctx.strokeStyle = COLORI.velocita; ctx.lineWidth = 1.6; ctx.stroke();
  }
  if (acceso.marcia) {
    ctx.beginPath();
    const i0 = Math.max(0, primo((k) => M.m[k], M.n, vista.da) - 1);
    for (let i = i0; i < M.n; i++) {
      const x = x_di(M.m[i]), y = y_v(h, M.v[i]);
      if (i === i0) ctx.moveTo(x, y); else ctx.lineTo(x, y);
      if (M.m[i] > vista.a) break;
    }
    ctx.strokeStyle = '#c2410c'; ctx.lineWidth = 1.8; ctx.stroke();
  }
  if (acceso.stazioni) {
    ctx.fillStyle = COLORI.stazione;
    for (const s of M.st) {
      if (s.metro < vista.da || s.metro > vista.a) continue;
      ctx.fillRect(Math.round(x_di(s.metro)), h - BASSO, 1, 5);
    }
  }
  ctx.restore();
  ctx.fillStyle = '#4b5563';
  ctx.textAlign = 'right';
  const passo = M.vmax > 100 ? 40 : 20;
  for (let v = 0; v <= M.vmax; v += passo) ctx.fillText(String(v), sx - 6, y_v(h, v));
  ctx.textAlign = 'left';
  ctx.fillText('speed km/h', 4, 7);
  ctx.strokeStyle = '#d9dde4'; ctx.strokeRect(sx + 0.5, ALTO + 0.5, dx - sx - 1, h - ALTO - BASSO - 1);
}

// The timetable's time at metre m: between the times of the stations around it.
const ORARIO = M ? M.st.flatMap((x) => ['arrival_ds', 'departure_ds'].filter((k) => x.s[k] !== null)
  .map((k) => ({ m: x.metro, t: x.s[k] / 10 }))) : [];
function orario_a(m) {
  if (!ORARIO.length) return NaN;
  const i = primo((k) => ORARIO[k].m, ORARIO.length, m);
  if (i === 0) return ORARIO[0].t;
  if (i >= ORARIO.length) return ORARIO[ORARIO.length - 1].t;
  const p = ORARIO[i - 1], q = ORARIO[i];
  return p.t + (q.t - p.t) * (m - p.m) / (q.m - p.m);
}
// Time runs down the chart, over the times of the visible stretch.
let TEMPO = [0, 1];
function estremi_tempo() {
  const da = Math.max(vista.da, M.m[0]), a = Math.min(vista.a, M.m[M.n - 1]);
  const t = [ora_a(da), ora_a(a), orario_a(da), orario_a(a)].filter((x) => !isNaN(x));
  for (const x of ORARIO) if (x.m >= da && x.m <= a) t.push(x.t);
  const lo = Math.min(...t), hi = Math.max(...t);
  return [lo, Math.max(hi, lo + 60)];
}
function y_t(h, s) { return ALTO + (s - TEMPO[0]) / (TEMPO[1] - TEMPO[0]) * (h - ALTO - BASSO); }
// Clock ticks of 1, 2, 5, 10, 15, 30 or 60 minutes, about 40 px apart.
function righe_del_tempo(ctx, w, h) {
  const al_px = (TEMPO[1] - TEMPO[0]) / Math.max(h - ALTO - BASSO, 1) * 40;
  const passo = [60, 120, 300, 600, 900, 1800, 3600, 7200].find((p) => p >= al_px) || 7200;
  ctx.strokeStyle = COLORI.griglia; ctx.fillStyle = '#4b5563'; ctx.textAlign = 'right'; ctx.lineWidth = 1;
  for (let s = Math.ceil(TEMPO[0] / passo) * passo; s <= TEMPO[1]; s += passo) {
    const y = Math.round(y_t(h, s)) + 0.5;
    ctx.beginPath(); ctx.moveTo(L.sinistra, y); ctx.lineTo(L.sinistra + L.larghezza, y); ctx.stroke();
    ctx.fillText(testo_ora(s).slice(0, 5), L.sinistra - 4, y);
  }
  ctx.textAlign = 'left';
}

function disegna_tempi() {
  if (!M) return;
  const { w, h } = adatta(tela_t, ct);
  const ctx = ct;
  ctx.clearRect(0, 0, w, h);
  ctx.font = '11px system-ui, "DejaVu Sans", sans-serif';
  ctx.textBaseline = 'middle';
  ctx.fillStyle = '#4b5563';
  ctx.fillText('time', 4, 7);
  if (!acceso.orario) return;
  TEMPO = estremi_tempo();
  righe_del_tempo(ctx, w, h);
  ctx.save();
  ctx.beginPath(); ctx.rect(L.sinistra, 0, L.larghezza, h); ctx.clip();
  ctx.strokeStyle = COLORI.griglia; ctx.lineWidth = 1;
  for (const s of M.st) {
    if (s.metro < vista.da || s.metro > vista.a) continue;
    const x = Math.round(x_di(s.metro)) + 0.5;
    ctx.beginPath(); ctx.moveTo(x, ALTO); ctx.lineTo(x, h - BASSO); ctx.stroke();
  }
  // The timetable: arrival and departure at each station.
  ctx.beginPath();
  let aperto = false;
  for (const s of M.st) for (const k of ['arrival_ds', 'departure_ds']) {
    if (s.s[k] === null) continue;
    const x = x_di(s.metro), y = y_t(h, s.s[k] / 10);
    if (!aperto) { ctx.moveTo(x, y); aperto = true; } else ctx.lineTo(x, y);
  }
  ctx.strokeStyle = '#374151'; ctx.lineWidth = 1.6; ctx.stroke();
  ctx.fillStyle = '#374151';
  for (const s of M.st) if (s.s.scheduled_s !== null && s.metro >= vista.da && s.metro <= vista.a) {
    ctx.beginPath(); ctx.arc(x_di(s.metro), y_t(h, s.s.scheduled_s), 3, 0, 2 * Math.PI); ctx.fill();
  }
  // The computed minimum run.
  if (acceso.marcia) {
    ctx.beginPath();
    let dwell = 0, k = 1;
    const i0 = Math.max(0, primo((j) => M.m[j], M.n, vista.da) - 1);
    for (let i = 0; i < i0; i++) while (k < M.st.length && M.st[k].metro < M.m[i]) dwell += M.soste[k++];
    for (let i = i0; i < M.n; i++) {
      while (k < M.st.length && M.st[k].metro < M.m[i]) dwell += M.soste[k++];
      const x = x_di(M.m[i]), y = y_t(h, M.partenza + M.t[i] + dwell);
      if (i === i0) ctx.moveTo(x, y); else ctx.lineTo(x, y);
      if (M.m[i] > vista.a) break;
    }
    ctx.strokeStyle = '#c2410c'; ctx.lineWidth = 1.3; ctx.setLineDash([4, 3]); ctx.stroke(); ctx.setLineDash([]);
  }
  // Each timed leg's margin, in seconds, at its middle.
  for (const g of M.legs) {
    if (g.scheduled_ds === null) continue;
    const a = M.st[g.from], b = M.st[g.to];
    if (b.metro < vista.da || a.metro > vista.a) continue;
    const margine = Math.round((g.scheduled_ds - g.minimum_ds) / 10);
    ctx.fillStyle = margine < 0 ? COLORI.errore : '#2a7d3b';
    const mezzo = Math.min(Math.max((a.metro + b.metro) / 2, vista.da), vista.a);
    const testo = 'margin ' + (margine >= 0 ? '+' : '−') + Math.abs(margine) + ' s', tw = ctx.measureText(testo).width;
    const x = Math.min(Math.max(x_di(mezzo) + 8, L.sinistra + 4), L.sinistra + L.larghezza - tw - 4);
    const y = Math.min(Math.max(y_t(h, orario_a(mezzo)) - 8, ALTO + 6), h - BASSO - 6);
    ctx.fillText(testo, x, y);
  }
  ctx.restore();
}

// Hovering: a station with its times, else the metre's limit, speed and time.
function scheda_marcia(m, x) {
  const box = document.createDocumentFragment();
  let s = null, d = 7;
  for (const q of M.st) { const dd = Math.abs(x_di(q.metro) - x); if (dd <= d) { d = dd; s = q; } }
  const dl = el('dl');
  if (s) {
    box.append(el('div', 'tipo', 'station ' + s.s.name));
    const ora = (k) => (s.s[k] !== null ? testo_ora(s.s[k] / 10) : '—');
    voci(dl, [['position', testo_metro(s.metro)], ['arrival', ora('arrival_ds')], ['departure', ora('departure_ds')],
      ['timetable', s.s.scheduled_s !== null ? testo_ora(s.s.scheduled_s) : 'none'], ['stops', s.s.stops ? 'yes' : 'no']]);
  } else {
    box.append(el('div', 'tipo', testo_metro(m)));
    const l = limite_a(m);
    voci(dl, [['limit in force', isNaN(l) ? '—' : l + ' km/h'], ['computed speed', velocita_a(m).toFixed(1) + ' km/h'],
      ['minimum run', testo_ora(ora_a(m))], ['timetable', isNaN(orario_a(m)) ? '—' : testo_ora(orario_a(m))]]);
  }
  box.append(dl);
  return box;
}
if (M) for (const tela of [tela_v, tela_t]) {
  tela.addEventListener('pointermove', (e) => {
    const r = tela.getBoundingClientRect(), x = e.clientX - r.left;
    if (x < L.sinistra || x > L.sinistra + L.larghezza) { nascondi(); return; }
    cursore = metro_di(x);
    mostra(scheda_marcia(cursore, x), e.clientX, e.clientY);
    richiedi();
  });
  tela.addEventListener('pointerleave', () => { nascondi(); cursore = null; richiedi(); });
  tela.addEventListener('wheel', (e) => {
    e.preventDefault();
    const r = tela.getBoundingClientRect();
    zoom(metro_di(Math.min(Math.max(e.clientX - r.left, L.sinistra), L.sinistra + L.larghezza)), e.deltaY > 0 ? 1 : e.deltaY < 0 ? -1 : 0);
  }, { passive: false });
}
