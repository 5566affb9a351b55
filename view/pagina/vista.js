// The page of `scenario_tool view`: the plan view of the track and the
// profiles along the line on one position axis, to zoom and pan from the
// whole line down to single 50 m cells. Everything it shows comes from the
// JSON block the tool wrote into the page; nothing is fetched. Text from the
// data only ever reaches the page as text nodes (textContent), never as HTML.
(function () {
  'use strict';

  const T0 = performance.now();
  const D = JSON.parse(document.getElementById('dati').textContent);
  const METRI_CELLA = 50;
  // Each wheel step shows 1 / PASSO_ZOOM (in) or PASSO_ZOOM (out) times the
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

  // ---------------------------------------------------------------------
  // The data, in the forms the drawing wants.

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

  // ---------------------------------------------------------------------
  // The visible range and how it moves.

  const vista = { da: 0, a: LUNGHEZZA > 0 ? LUNGHEZZA : FINE_GRIGLIA };
  let cursore = null;   // metre under the pointer, shown in both views
  let segnato = null;   // metre found by the search, marked until the next one

  function imposta(da, a) {
    let span = Math.min(Math.max(a - da, SPAN_MINIMO), FINE_GRIGLIA);
    da = Math.min(Math.max(da, 0), FINE_GRIGLIA - span);
    vista.da = da;
    vista.a = da + span;
    richiedi();
  }
  function zoom(metro, passi) {
    const f = Math.pow(PASSO_ZOOM, passi);
    const span = vista.a - vista.da;
    const nuovo = Math.min(Math.max(span * f, SPAN_MINIMO), FINE_GRIGLIA);
    const k = nuovo / span;
    imposta(metro - (metro - vista.da) * k, metro + (vista.a - metro) * k);
  }
  function vai(metro, span) {
    imposta(metro - span / 2, metro + span / 2);
  }

  // ---------------------------------------------------------------------
  // Drawing.

  const tela_p = document.getElementById('pianta');
  const tela_f = document.getElementById('profili');
  const cp = tela_p.getContext('2d');
  const cf = tela_f.getContext('2d');
  const MARGINE_S = 70, MARGINE_D = 18;
  let L = null;  // the profile canvas' layout, made at each size change

  function adatta(tela, ctx) {
    const r = window.devicePixelRatio || 1;
    const w = tela.clientWidth, h = tela.clientHeight;
    if (tela.width !== Math.round(w * r) || tela.height !== Math.round(h * r)) {
      tela.width = Math.round(w * r);
      tela.height = Math.round(h * r);
    }
    ctx.setTransform(r, 0, 0, r, 0, 0);
    return { w, h };
  }

  function impagina(w, h) {
    const corsie = {};
    let y = 6;
    const corsia = (nome, alt) => { corsie[nome] = [y, y + alt]; y += alt; };
    corsia('stazioni', 30);
    corsia('oggetti', 42);
    if (problemi.length) corsia('problemi', 20);
    y += 6;
    const asse = 38;
    const resto = Math.max(h - y - asse, 120);
    const pannelli = [['pendenza', 0.3], ['velocita', 0.44], ['aderenza', 0.26]];
    for (const [nome, quota] of pannelli) {
      corsia(nome, Math.floor(resto * quota) - 8);
      y += 8;
    }
    corsie.asse = [y, y + asse];
    return { w, h, sinistra: MARGINE_S, larghezza: w - MARGINE_S - MARGINE_D, corsie, cima: corsie.stazioni[0], fondo: y };
  }

  function x_di(m) { return L.sinistra + (m - vista.da) / (vista.a - vista.da) * L.larghezza; }
  function metro_di(x) { return vista.da + (x - L.sinistra) / L.larghezza * (vista.a - vista.da); }

  // Round steps of 1, 2 or 5 times a power of ten.
  function passo_tondo(grezzo) {
    const p = Math.pow(10, Math.floor(Math.log10(grezzo)));
    for (const k of [1, 2, 5, 10]) if (k * p >= grezzo) return k * p;
    return 10 * p;
  }
  function km(m, decimali) { return (m / 1000).toFixed(decimali); }
  function testo_metro(m) { return 'm ' + Math.round(m).toLocaleString('en-US'); }

  function range_pannello(s, da_zero, min_alto) {
    let lo = isFinite(s.min) ? s.min : 0, hi = isFinite(s.max) ? s.max : 1;
    hi = Math.max(hi, min_alto);
    if (da_zero) lo = Math.min(lo, 0);
    const margine = Math.max((hi - lo) * 0.12, 1);
    const passo = passo_tondo((hi - lo + 2 * margine) / 4);
    return {
      lo: da_zero && lo >= 0 ? 0 : Math.floor((lo - margine) / passo) * passo,
      hi: Math.ceil((hi + margine) / passo) * passo, passo,
    };
  }
  const velocita_max = Math.max(profili.velocita.max, ...rallentamenti.map((r) => r.v),
    ...(per_strato.indicatori || []).map((x) => Math.max(...x.o.values.left.speeds_kmh)));
  const RANGE = {
    pendenza: range_pannello(profili.pendenza, false, 0),
    velocita: range_pannello({ min: 0, max: velocita_max }, true, 10),
    aderenza: range_pannello(profili.aderenza, true, 10),
  };
  const NOMI_PANNELLI = { pendenza: 'gradient ‰', velocita: 'speed km/h', aderenza: 'adhesion' };

  function y_valore(nome, v) {
    const [y0, y1] = L.corsie[nome], r = RANGE[nome];
    return y1 - (v - r.lo) / (r.hi - r.lo) * (y1 - y0);
  }

  // A step profile, one vertical stroke per pixel column where several runs
  // fall into it: what is drawn grows with the canvas' width, not the line's.
  function disegna_serie(ctx, s, nome, colore) {
    const da = vista.da, a = vista.a;
    let i = primo((k) => s.a[k], s.n, da);
    ctx.beginPath();
    let aperto = false, col = null;
    const chiudi = () => {
      if (!col) return;
      if (!aperto) { ctx.moveTo(col.x, col.primo); aperto = true; } else ctx.lineTo(col.x, col.primo);
      ctx.lineTo(col.x, col.min); ctx.lineTo(col.x, col.max); ctx.lineTo(col.x, col.ultimo);
      col = null;
    };
    for (; i < s.n && s.da[i] < a; i++) {
      if (isNaN(s.v[i])) { chiudi(); aperto = false; continue; }
      const x0 = x_di(Math.max(s.da[i], da)), x1 = x_di(Math.min(s.a[i], a)), y = y_valore(nome, s.v[i]);
      if (x1 - x0 < 1) {
        const cx = Math.floor(x0) + 0.5;
        if (col && col.x !== cx) chiudi();
        if (!col) col = { x: cx, primo: y, min: y, max: y, ultimo: y };
        col.min = Math.min(col.min, y); col.max = Math.max(col.max, y); col.ultimo = y;
        continue;
      }
      chiudi();
      if (!aperto) { ctx.moveTo(x0, y); aperto = true; } else ctx.lineTo(x0, y);
      ctx.lineTo(x1, y);
    }
    chiudi();
    ctx.strokeStyle = colore;
    ctx.lineWidth = 1.6;
    ctx.stroke();
  }

  // The objects of a list inside the visible range; one per pixel column.
  function visibili(lista, fn) {
    if (!lista) return;
    let ultimo = -1;
    for (let i = primo((k) => lista[k].metro + 1e-9, lista.length, vista.da - 1e-9); i < lista.length; i++) {
      const x = lista[i];
      if (x.metro > vista.a) break;
      const px = Math.round(x_di(x.metro));
      if (px === ultimo) continue;
      ultimo = px;
      fn(x, px + 0.5);
    }
  }

  function disegna_profili() {
    const { w, h } = adatta(tela_f, cf);
    L = impagina(w, h);
    const ctx = cf;
    ctx.clearRect(0, 0, w, h);
    ctx.font = '11px system-ui, "DejaVu Sans", sans-serif';
    ctx.textBaseline = 'middle';
    ctx.textAlign = 'left';
    const sx = L.sinistra, dx = L.sinistra + L.larghezza;
    const pannelli = ['pendenza', 'velocita', 'aderenza'];
    ctx.save();
    ctx.beginPath();
    ctx.rect(sx, 0, L.larghezza, h);
    ctx.clip();

    // Mountains and the grid beyond the line's end, behind everything.
    const [cima, fondo] = [L.corsie.pendenza[0], L.corsie.aderenza[1]];
    if (acceso.montagne) {
      ctx.fillStyle = COLORI.montagna;
      const s = profili.montagne;
      for (let i = primo((k) => s.a[k], s.n, vista.da); i < s.n && s.da[i] < vista.a; i++) {
        const x0 = x_di(s.da[i]), x1 = x_di(s.a[i]);
        ctx.fillRect(x0, cima, Math.max(x1 - x0, 1), fondo - cima);
      }
    }
    if (vista.a > LUNGHEZZA) {
      ctx.fillStyle = 'rgba(120, 128, 140, 0.13)';
      const x0 = x_di(LUNGHEZZA);
      ctx.fillRect(x0, L.cima, dx - x0, fondo - L.cima);
    }

    // Cell boundaries, once cells are wide enough to see.
    const px_cella = L.larghezza * METRI_CELLA / (vista.a - vista.da);
    if (px_cella >= 12) {
      ctx.strokeStyle = COLORI.griglia;
      ctx.lineWidth = 1;
      ctx.beginPath();
      for (let m = Math.floor(vista.da / METRI_CELLA) * METRI_CELLA; m <= vista.a; m += METRI_CELLA) {
        const x = Math.round(x_di(m)) + 0.5;
        ctx.moveTo(x, L.corsie.oggetti[0]); ctx.lineTo(x, fondo);
      }
      ctx.stroke();
    }

    // Value ticks and zero lines of the panels.
    for (const nome of pannelli) {
      const [y0, y1] = L.corsie[nome], r = RANGE[nome];
      ctx.strokeStyle = '#e6e9ef';
      ctx.beginPath();
      for (let v = r.lo; v <= r.hi + 1e-9; v += r.passo) {
        const y = Math.round(y_valore(nome, v)) + 0.5;
        ctx.moveTo(sx, y); ctx.lineTo(dx, y);
      }
      ctx.stroke();
      if (r.lo < 0 && r.hi > 0) {
        ctx.strokeStyle = '#b9c0cc';
        ctx.beginPath();
        const y = Math.round(y_valore(nome, 0)) + 0.5;
        ctx.moveTo(sx, y); ctx.lineTo(dx, y);
        ctx.stroke();
      }
      void y0; void y1;
    }

    if (acceso.pendenza) disegna_serie(ctx, profili.pendenza, 'pendenza', COLORI.pendenza);
    if (acceso.velocita) {
      disegna_serie(ctx, profili.velocita, 'velocita', COLORI.velocita);
      if (acceso.indicatori)
        visibili(per_strato.indicatori, (x, px) => {
          ctx.fillStyle = COLORI.indicatore;
          for (const v of x.o.values.left.speeds_kmh) if (v > 0) ctx.fillRect(px - 2.5, y_valore('velocita', v) - 2.5, 5, 5);
        });
    }
    if (acceso.rallentamenti && acceso.velocita) {
      ctx.strokeStyle = COLORI.rallentamento;
      ctx.lineWidth = 2.2;
      for (const r of rallentamenti) {
        const da = r.avviso !== null ? r.avviso : r.da;
        if (r.a < vista.da || da > vista.a) continue;
        const y = y_valore('velocita', r.v);
        ctx.beginPath();
        ctx.moveTo(x_di(da), y); ctx.lineTo(Math.max(x_di(r.a), x_di(da) + 2), y);
        ctx.stroke();
      }
    }
    if (acceso.aderenza) disegna_serie(ctx, profili.aderenza, 'aderenza', COLORI.aderenza);

    // The objects' lane: signals as ticks, boards as squares and diamonds.
    const [o0, o1] = L.corsie.oggetti;
    const om = (o0 + o1) / 2;
    ctx.strokeStyle = '#e3e6ec';
    ctx.beginPath(); ctx.moveTo(sx, om + 0.5); ctx.lineTo(dx, om + 0.5); ctx.stroke();
    if (acceso.rallentamenti) {
      for (const r of rallentamenti) {
        if (r.a < vista.da || r.da > vista.a) continue;
        ctx.fillStyle = 'rgba(214, 39, 40, 0.25)';
        ctx.fillRect(x_di(r.da), o1 - 8, Math.max(x_di(r.a) - x_di(r.da), 2), 6);
      }
      visibili(per_strato.rallentamenti, (x, px) => {
        ctx.fillStyle = COLORI.rallentamento;
        if (x.o.object === 'slowdown warning point') triangolo(ctx, px, o1 - 10, 5, false);
        else if (x.o.object === 'cell ahead of a slowdown warning point') ctx.fillRect(px - 1, o1 - 6, 2, 4);
        else ctx.fillRect(px - 1, o1 - 10, 2, 10);
      });
    }
    if (acceso.punti) {
      ctx.beginPath();
      visibili(per_strato.punti, (x, px) => { ctx.moveTo(px + 2.2, om); ctx.arc(px, om, 2.2, 0, 2 * Math.PI); });
      ctx.fillStyle = COLORI.punto; ctx.fill();
    }
    visibili(per_strato.segni, (x, px) => { ctx.fillStyle = COLORI.segno; ctx.fillRect(px - 0.5, om - 3, 1, 6); });
    if (acceso.segnali) {
      ctx.fillStyle = COLORI.segnale;
      ctx.beginPath();
      visibili(per_strato.segnali, (x, px) => {
        ctx.fillRect(px - 0.75, o0 + 3, 1.5, om - o0 - 3);
        ctx.moveTo(px + 2.5, o0 + 4); ctx.arc(px, o0 + 4, 2.5, 0, 2 * Math.PI);
      });
      ctx.fill();
    }
    if (acceso.indicatori) visibili(per_strato.indicatori, (x, px) => {
      ctx.fillStyle = COLORI.indicatore; ctx.fillRect(px - 3.5, om - 3.5, 7, 7);
    });
    if (acceso.cartelli) visibili(per_strato.cartelli, (x, px) => {
      ctx.fillStyle = COLORI.cartelloKm; rombo(ctx, px, om + 9, 4);
    });

    // Stations: a dot at the stop cell (a ring without one) and the name where it fits.
    if (acceso.stazioni) {
      const [s0, s1] = L.corsie.stazioni;
      let libero = -Infinity;
      ctx.font = '600 11px system-ui, "DejaVu Sans", sans-serif';
      for (const s of stazioni) {
        if (s.metro < vista.da - (vista.a - vista.da) * 0.2 || s.metro > vista.a) continue;
        const x = x_di(s.metro);
        ctx.strokeStyle = ctx.fillStyle = COLORI.stazione;
        ctx.lineWidth = 1.5;
        ctx.beginPath(); ctx.arc(x, s1 - 6, 3.5, 0, 2 * Math.PI);
        if (s.fermata) ctx.fill(); else ctx.stroke();
        const t = s.s.name, lw = ctx.measureText(t).width;
        const tx = Math.min(Math.max(x - lw / 2, sx + 2), dx - lw - 2);
        if (tx > libero && x >= sx) {
          ctx.fillText(t, tx, s0 + 8);
          libero = tx + lw + 8;
        }
      }
      ctx.font = '11px system-ui, "DejaVu Sans", sans-serif';
    }

    // Problems where they are.
    if (problemi.length && acceso.problemi) {
      const [p0, p1] = L.corsie.problemi;
      visibili(problemi, (x, px) => {
        ctx.fillStyle = x.p.severity === 'error' ? COLORI.errore : COLORI.avviso;
        triangolo(ctx, px, p1 - 3, 6, true);
        void p0;
      });
    }

    // The pointer's metre and the metre found by the search.
    for (const [m, colore] of [[segnato, '#f0a030'], [cursore, COLORI.cursore]]) {
      if (m === null || m < vista.da || m > vista.a) continue;
      const x = Math.round(x_di(m)) + 0.5;
      ctx.strokeStyle = colore; ctx.lineWidth = 1;
      ctx.setLineDash(colore === COLORI.cursore ? [3, 3] : []);
      ctx.beginPath(); ctx.moveTo(x, L.cima); ctx.lineTo(x, fondo); ctx.stroke();
      ctx.setLineDash([]);
    }
    ctx.restore();

    // Frames, panel names, value labels.
    ctx.fillStyle = '#5b6578';
    ctx.textAlign = 'right';
    for (const nome of pannelli) {
      const [y0, y1] = L.corsie[nome], r = RANGE[nome];
      ctx.strokeStyle = '#c9ced8'; ctx.lineWidth = 1;
      ctx.strokeRect(sx + 0.5, y0 + 0.5, L.larghezza - 1, y1 - y0 - 1);
      let prima = Infinity;
      for (let v = r.lo; v <= r.hi + 1e-9; v += r.passo * (y1 - y0 < 70 ? 2 : 1)) {
        const y = Math.min(Math.max(y_valore(nome, v), y0 + 6), y1 - 6);
        if (prima - y < 12) continue;
        ctx.fillText(String(+v.toFixed(3)), sx - 6, y);
        prima = y;
      }
      ctx.save();
      ctx.textAlign = 'left';
      ctx.font = '600 11px system-ui, "DejaVu Sans", sans-serif';
      ctx.fillStyle = acceso[nome] ? COLORI[nome] : '#b0b6c3';
      ctx.fillText(NOMI_PANNELLI[nome], sx + 6, y0 + 9);
      ctx.restore();
    }
    ctx.textAlign = 'right';
    ctx.fillText('stations', sx - 6, (L.corsie.stazioni[0] + L.corsie.stazioni[1]) / 2);
    ctx.fillText('objects', sx - 6, om);
    if (problemi.length) ctx.fillText('problems', sx - 6, (L.corsie.problemi[0] + L.corsie.problemi[1]) / 2);

    // The position axis.
    const [a0] = L.corsie.asse;
    const span = vista.a - vista.da;
    const passo = Math.max(passo_tondo(span / Math.max(L.larghezza / 95, 1)), 10);
    const in_km = passo >= 1000;
    const decimali = in_km ? 0 : passo >= 100 ? 1 : 2;
    ctx.strokeStyle = '#8a93a6'; ctx.fillStyle = '#3b4456'; ctx.textAlign = 'center'; ctx.textBaseline = 'top';
    ctx.beginPath(); ctx.moveTo(sx, a0 + 0.5); ctx.lineTo(dx, a0 + 0.5); ctx.stroke();
    for (let m = Math.ceil(vista.da / passo) * passo; m <= vista.a + 1e-6; m += passo) {
      const x = Math.round(x_di(m)) + 0.5;
      ctx.beginPath(); ctx.moveTo(x, a0); ctx.lineTo(x, a0 + 5); ctx.stroke();
      ctx.fillText(in_km ? km(m, 0) : m < 100000 ? String(Math.round(m)) : km(m, decimali + 1), x, a0 + 7);
    }
    // Each cell by its index, once cells are wide enough for it.
    if (px_cella >= 56) {
      ctx.fillStyle = '#8a93a6';
      for (let c = Math.floor(vista.da / METRI_CELLA); c * METRI_CELLA <= vista.a; c++) {
        const x = x_di((c + 0.5) * METRI_CELLA);
        if (x > sx + 20 && x < dx - 20) ctx.fillText('cell ' + c, x, a0 + 21);
      }
      ctx.fillStyle = '#3b4456';
    }
    ctx.textAlign = 'right';
    ctx.fillText(in_km || span >= 100000 ? 'km' : 'm', sx - 24, a0 + 7);
    if (vista.a > LUNGHEZZA && vista.da < LUNGHEZZA) {
      ctx.textAlign = 'left';
      ctx.fillStyle = '#6b7487';
      ctx.fillText('end of line ' + km(LUNGHEZZA, 3) + ' km', x_di(LUNGHEZZA) + 4, L.corsie.pendenza[0] + 4);
    }
  }

  function triangolo(ctx, x, y, r, giu) {
    ctx.beginPath();
    if (giu) { ctx.moveTo(x - r, y - r * 1.6); ctx.lineTo(x + r, y - r * 1.6); ctx.lineTo(x, y); }
    else { ctx.moveTo(x - r, y); ctx.lineTo(x + r, y); ctx.lineTo(x, y - r * 1.6); }
    ctx.closePath(); ctx.fill();
  }
  function rombo(ctx, x, y, r) {
    ctx.beginPath(); ctx.moveTo(x, y - r); ctx.lineTo(x + r, y); ctx.lineTo(x, y + r); ctx.lineTo(x - r, y);
    ctx.closePath(); ctx.fill();
  }

  // The plan view: the whole track faint, the visible range bold, framed to
  // the visible range's own extent, north up and the same scale both ways.
  let P = null;  // its mapping, for the pointer
  function disegna_pianta() {
    const { w, h } = adatta(tela_p, cp);
    const ctx = cp;
    ctx.clearRect(0, 0, w, h);
    ctx.textAlign = 'left';
    ctx.textBaseline = 'alphabetic';
    P = null;
    ctx.font = '12px system-ui, "DejaVu Sans", sans-serif';
    if (!G || !acceso.pianta) {
      ctx.fillStyle = '#6b7487';
      ctx.fillText(G ? 'Plan view switched off.' : 'No geometry file (compiled without geometry): no plan view of the track.', 16, 24);
      return;
    }
    const i0 = Math.max(0, Math.floor(vista.da / G.passo)), i1 = Math.min(G.n - 1, Math.ceil(vista.a / G.passo));
    const passo_i = (n) => Math.max(1, Math.floor(n / (2 * w)));
    let ex0 = Infinity, ex1 = -Infinity, ny0 = Infinity, ny1 = -Infinity;
    const misura = (x, y) => { if (isNaN(x)) return; ex0 = Math.min(ex0, x); ex1 = Math.max(ex1, x); ny0 = Math.min(ny0, y); ny1 = Math.max(ny1, y); };
    const si = passo_i(i1 - i0);
    for (let i = i0; i <= i1; i += si) misura(G.x[i], G.y[i]);
    for (const m of [vista.da, vista.a]) { const p = punto_a(m); misura(p.x, p.y); }
    if (!isFinite(ex0)) { ex0 = ny0 = -100; ex1 = ny1 = 100; }
    const span = vista.a - vista.da;
    const minimo = Math.max(span * 0.25, 20);
    const cx = (ex0 + ex1) / 2, cy = (ny0 + ny1) / 2;
    const ew = Math.max(ex1 - ex0, minimo) * 1.12, nh = Math.max(ny1 - ny0, minimo) * 1.12;
    const scala = Math.min((w - 40) / ew, (h - 40) / nh);
    P = { scala, cx, cy, w, h };
    // Points of the track about 2 px apart on screen: what is drawn grows
    // with the picture, not with the line.
    const passo_px = Math.max(1, Math.floor(2 / (G.passo * scala)));
    const px = (x) => w / 2 + (x - cx) * scala, py = (y) => h / 2 - (y - cy) * scala;

    // Samples da_i to a_i (both drawn), every passo-th between.
    const linea = (da_i, a_i, passo, colore, spessore) => {
      ctx.beginPath();
      let su = false;
      for (let i = da_i; ; i = Math.min(i + passo, a_i)) {
        if (isNaN(G.x[i])) su = false;
        else if (!su) { ctx.moveTo(px(G.x[i]), py(G.y[i])); su = true; } else ctx.lineTo(px(G.x[i]), py(G.y[i]));
        if (i >= a_i) break;
      }
      ctx.strokeStyle = colore; ctx.lineWidth = spessore; ctx.lineJoin = 'round'; ctx.lineCap = 'round';
      ctx.stroke();
    };
    // The whole track, then the metres beyond the line's end, then the range
    // (the first two only where the range leaves them out).
    const i_fine = Math.min(G.n - 1, Math.ceil(LUNGHEZZA / G.passo));
    if (vista.da > 0 || vista.a < LUNGHEZZA) linea(0, i_fine, passo_px, COLORI.binarioSpento, 2);
    if (i_fine < G.n - 1 && vista.a < FINE_GRIGLIA) linea(i_fine, G.n - 1, passo_px, COLORI.oltre, 1);

    // Mountain stretches as tan bands under the visible track.
    const tratto = (da, a, colore, spessore) => {
      const j0 = Math.max(0, Math.floor(da / G.passo)), j1 = Math.min(G.n - 1, Math.ceil(a / G.passo));
      const sj = passo_px;
      ctx.beginPath();
      let su = false;
      const punto = (m) => { const p = punto_a(m); if (isNaN(p.x)) { su = false; return; } if (!su) { ctx.moveTo(px(p.x), py(p.y)); su = true; } else ctx.lineTo(px(p.x), py(p.y)); };
      punto(da);
      for (let j = j0 + 1; j < j1; j += sj) punto(metro_punto(j));
      punto(a);
      ctx.strokeStyle = colore; ctx.lineWidth = spessore; ctx.lineCap = 'butt'; ctx.stroke();
    };
    if (acceso.montagne) {
      const s = profili.montagne;
      for (let i = primo((k) => s.a[k], s.n, vista.da); i < s.n && s.da[i] < vista.a; i++)
        tratto(Math.max(s.da[i], vista.da), Math.min(s.a[i], vista.a), '#e6d3a3', 12);
    }
    tratto(vista.da, Math.min(vista.a, LUNGHEZZA), COLORI.binario, 3);
    if (vista.a > LUNGHEZZA) tratto(Math.max(vista.da, LUNGHEZZA), vista.a, COLORI.oltre, 1.5);

    // Objects of the range on the track.
    const su_binario = (m) => { const p = punto_a(m); return { x: px(p.x), y: py(p.y), nx: -p.dy, ny: -p.dx }; };
    if (acceso.rallentamenti) {
      for (const r of rallentamenti) {
        if (r.a < vista.da || r.da > vista.a) continue;
        tratto(Math.max(r.da, vista.da), Math.min(Math.max(r.a, r.da + 1), vista.a), 'rgba(214, 39, 40, 0.55)', 7);
      }
    }
    // Beside the track only when there is room: stations and problems always.
    const vicino_abbastanza = span <= 60000;
    if (acceso.segnali && vicino_abbastanza) {
      ctx.beginPath();
      visibili(per_strato.segnali, (x) => {
        const q = su_binario(x.metro);
        ctx.moveTo(q.x - q.nx * 6, q.y + q.ny * 6); ctx.lineTo(q.x + q.nx * 6, q.y - q.ny * 6);
      });
      ctx.strokeStyle = COLORI.segnale; ctx.lineWidth = 1.5; ctx.stroke();
    }
    if (acceso.punti && span < 30000) {
      ctx.beginPath();
      visibili(per_strato.punti, (x) => { const q = su_binario(x.metro); ctx.moveTo(q.x + 2, q.y); ctx.arc(q.x, q.y, 2, 0, 2 * Math.PI); });
      ctx.fillStyle = COLORI.punto; ctx.fill();
    }
    if (acceso.indicatori && vicino_abbastanza) visibili(per_strato.indicatori, (x) => {
      const q = su_binario(x.metro);
      ctx.fillStyle = COLORI.indicatore; ctx.fillRect(q.x + q.nx * 9 - 3, q.y - q.ny * 9 - 3, 6, 6);
    });
    if (acceso.cartelli && vicino_abbastanza) visibili(per_strato.cartelli, (x) => {
      const q = su_binario(x.metro);
      ctx.fillStyle = COLORI.cartelloKm; rombo(ctx, q.x - q.nx * 9, q.y + q.ny * 9, 3.5);
    });
    if (acceso.problemi) visibili(problemi, (x) => {
      const q = su_binario(x.metro);
      ctx.fillStyle = x.p.severity === 'error' ? COLORI.errore : COLORI.avviso;
      triangolo(ctx, q.x, q.y - 6, 5, true);
    });
    if (acceso.stazioni) {
      ctx.font = '600 12px system-ui, "DejaVu Sans", sans-serif';
      const messi = [];
      for (const s of stazioni) {
        if (s.metro < vista.da || s.metro > vista.a) continue;
        const q = su_binario(s.metro);
        ctx.fillStyle = '#fff'; ctx.strokeStyle = COLORI.stazione; ctx.lineWidth = 2;
        ctx.beginPath(); ctx.arc(q.x, q.y, 4.5, 0, 2 * Math.PI);
        if (s.fermata) { ctx.fillStyle = COLORI.stazione; ctx.fill(); } else { ctx.fill(); ctx.stroke(); }
        const t = s.s.name, lw = ctx.measureText(t).width;
        const tx = q.x + 8, ty = q.y - 9;
        if (messi.some((b) => tx < b[0] + b[2] && tx + lw > b[0] && Math.abs(ty - b[1]) < 16)) continue;
        messi.push([tx, ty, lw]);
        ctx.lineWidth = 3; ctx.strokeStyle = 'rgba(255,255,255,0.9)'; ctx.strokeText(t, tx, ty);
        ctx.fillStyle = COLORI.stazione; ctx.fillText(t, tx, ty);
      }
    }
    if (cursore !== null && cursore >= 0 && cursore <= G.ultimo) {
      const q = su_binario(cursore);
      ctx.strokeStyle = COLORI.cursore; ctx.lineWidth = 2;
      ctx.beginPath(); ctx.arc(q.x, q.y, 7, 0, 2 * Math.PI); ctx.stroke();
    }

    // North and a scale bar.
    ctx.fillStyle = '#5b6578'; ctx.strokeStyle = '#5b6578'; ctx.lineWidth = 1.5;
    ctx.font = '11px system-ui, "DejaVu Sans", sans-serif'; ctx.textAlign = 'center';
    ctx.beginPath(); ctx.moveTo(w - 22, 34); ctx.lineTo(w - 22, 14); ctx.stroke();
    triangolo(ctx, w - 22, 10, 4, false);
    ctx.fillText('N', w - 22, 44);
    const metri_barra = passo_tondo(100 / scala);
    const lb = metri_barra * scala;
    ctx.beginPath(); ctx.moveTo(14, h - 14); ctx.lineTo(14 + lb, h - 14); ctx.moveTo(14, h - 18); ctx.lineTo(14, h - 10);
    ctx.moveTo(14 + lb, h - 18); ctx.lineTo(14 + lb, h - 10); ctx.stroke();
    ctx.textAlign = 'left';
    ctx.fillText(metri_barra >= 1000 ? metri_barra / 1000 + ' km' : metri_barra + ' m', 20 + lb, h - 14);
  }

  function disegna() {
    disegna_profili();
    disegna_pianta();
    const t = document.getElementById('intervallo');
    t.textContent = 'km ' + km(vista.da, 3) + ' – ' + km(vista.a, 3) + '  (' + testo_metro(vista.a - vista.da) + ')';
    t.dataset.da = String(vista.da);
    t.dataset.a = String(vista.a);
  }
  let in_attesa = false;
  function richiedi() {
    if (in_attesa) return;
    in_attesa = true;
    requestAnimationFrame(() => { in_attesa = false; disegna(); });
  }

  // ---------------------------------------------------------------------
  // Hovering: what is under the pointer, told as dump names it.

  const sugg = document.getElementById('suggerimento');
  function el(tag, classe, testo) {
    const e = document.createElement(tag);
    if (classe) e.className = classe;
    if (testo !== undefined) e.textContent = testo;
    return e;
  }
  // A value of dump's account on one line: key=value, arrays a,b,c, objects in brackets.
  function in_linea(v) {
    if (v === null) return '—';
    if (Array.isArray(v)) return v.map(in_linea).join(',');
    if (typeof v === 'object') return Object.entries(v).filter(([, e]) => e !== null)
      .map(([k, e]) => typeof e === 'object' && !Array.isArray(e) ? k + '(' + in_linea(e) + ')' : k + '=' + in_linea(e)).join(' ');
    return String(v);
  }
  function voci(dl, coppie) {
    for (const [k, v] of coppie) { dl.append(el('dt', '', k), el('dd', '', v)); }
  }
  function riga_di(box, r, titolo) {
    const d = el('div', 'riga');
    d.append(el('div', '', (titolo || 'placed by') + ' ' + r.file + ', line ' + r.line));
    if (r.text !== undefined) d.append(el('pre', '', r.text));
    box.append(d);
  }
  function scheda_oggetto(o) {
    const box = document.createDocumentFragment();
    const tipo = o.object !== 'none' ? o.object : o.approach_mark ? 'approach mark' : 'mark';
    box.append(el('div', 'tipo', tipo), el('div', 'cella', o.name));
    const dl = el('dl');
    voci(dl, Object.entries(o.values).map(([k, v]) => [k.replace(/_/g, ' '), in_linea(v)]));
    if (o.approach_mark) voci(dl, [['approach mark', in_linea(o.approach_mark)]]);
    if (o.tempo_segnale !== undefined) voci(dl, [['tempo_segnale', String(o.tempo_segnale)]]);
    voci(dl, [['raw', in_linea(o.raw)]]);
    box.append(dl);
    if (o.row) {
      box.append(el('div', 'cella', o.row.placed));
      riga_di(box, o.row);
    } else if (D.texts) {
      box.append(el('div', 'riga', D.texts.match ? 'placed by no row (the compiler adds it)' : 'no row: the compiled files differ from the text files here'));
    }
    return box;
  }
  function scheda_problema(p) {
    const box = document.createDocumentFragment();
    const t = el('div', p.severity === 'error' ? 'errore' : 'avviso',
      p.severity + ' [' + (p.code !== null ? p.code : p.rule) + ']');
    box.append(t, el('div', '', p.message));
    box.append(el('div', 'cella', p.cell ? 'at the object its row placed, ' + p.cell
      : p.from_row ? 'at its row\'s position, ' + testo_metro(p.metre) : 'at ' + testo_metro(p.metre)));
    riga_di(box, p, 'in');
    for (const r of p.related) box.append(el('div', 'riga', r.file + ', line ' + r.line + ': ' + r.message));
    return box;
  }
  function scheda_stazione(s) {
    const box = document.createDocumentFragment();
    box.append(el('div', 'tipo', 'station ' + s.s.name));
    const dl = el('dl');
    voci(dl, [['record', String(s.s.record)], ['position', testo_metro(s.s.position)],
      ['stop cell', s.fermata ? 'cell ' + s.s.stop_cell + ' (m ' + s.s.stop_cell * METRI_CELLA + ')' : 'none']]);
    box.append(dl);
    const o = s.fermata ? D.objects.find((x) => x.cell === s.s.stop_cell) : null;
    if (o && o.row) riga_di(box, o.row);
    return box;
  }
  function scheda_cella(m) {
    const box = document.createDocumentFragment();
    const c = Math.floor(m / METRI_CELLA);
    box.append(el('div', 'tipo', testo_metro(m)), el('div', 'cella', 'cell ' + c + ' (m ' + c * METRI_CELLA + ')'));
    const dl = el('dl');
    const v = (s, u) => { const x = valore_a(s, m); return isNaN(x) ? 'unset' : x + u; };
    voci(dl, [['gradient', v(profili.pendenza, ' ‰')], ['speed limit', v(profili.velocita, ' km/h')],
      ['adhesion', v(profili.aderenza, '')], ['mountain type', String(valore_a(profili.montagne, m) || 'none')]]);
    box.append(dl);
    if (m > LUNGHEZZA) box.append(el('div', 'riga', 'beyond the line\'s end (' + testo_metro(LUNGHEZZA) + '): the route grid\'s extension'));
    return box;
  }
  function mostra(contenuto, ex, ey) {
    sugg.replaceChildren(contenuto);
    sugg.hidden = false;
    const r = sugg.getBoundingClientRect();
    let x = ex + 16, y = ey + 16;
    if (x + r.width > window.innerWidth - 8) x = ex - r.width - 16;
    if (y + r.height > window.innerHeight - 8) y = Math.max(8, ey - r.height - 16);
    sugg.style.left = Math.max(8, x) + 'px';
    sugg.style.top = y + 'px';
  }
  function nascondi() { sugg.hidden = true; }

  // The nearest item of lista to metre m, within soglia pixels.
  function vicino(lista, x, soglia) {
    if (!lista || !lista.length) return null;
    const m = metro_di(x);
    const i = primo((k) => lista[k].metro, lista.length, m);
    let meglio = null, d = soglia + 1e-9;
    for (let k = Math.max(0, i - 3); k < Math.min(lista.length, i + 3); k++) {
      const dd = Math.abs(x_di(lista[k].metro) - x);
      if (dd <= d) { d = dd; meglio = lista[k]; }
    }
    return meglio;
  }
  function in_corsia(nome, y) { const c = L.corsie[nome]; return c && y >= c[0] && y < c[1]; }

  function sotto_profili(x, y) {
    if (in_corsia('problemi', y) && acceso.problemi) {
      const p = vicino(problemi, x, 7);
      if (p) {
        // Every problem under the one marker.
        const box = document.createDocumentFragment();
        const px = Math.round(x_di(p.metro));
        problemi.filter((q) => Math.round(x_di(q.metro)) === px).forEach((q, k) => {
          const d = el('div', k ? 'altro' : '');
          d.append(scheda_problema(q.p));
          box.append(d);
        });
        return box;
      }
    }
    if (in_corsia('stazioni', y) && acceso.stazioni) {
      const s = vicino(stazioni, x, 8);
      if (s) return scheda_stazione(s);
    }
    if (in_corsia('oggetti', y)) {
      const candidati = [];
      for (const [k, strato] of [['segnali', 'segnali'], ['indicatori', 'indicatori'], ['cartelli', 'cartelli'], ['punti', 'punti'], ['rallentamenti', 'rallentamenti'], ['segni', null]]) {
        if (strato && !acceso[strato]) continue;
        const o = vicino(per_strato[k], x, 6);
        if (o) candidati.push(o);
      }
      candidati.sort((p, q) => Math.abs(x_di(p.metro) - x) - Math.abs(x_di(q.metro) - x));
      if (candidati.length) return scheda_oggetto(candidati[0].o);
    }
    if (y >= L.corsie.stazioni[0] && y < L.corsie.aderenza[1]) return scheda_cella(metro_di(x));
    return null;
  }

  function sotto_pianta(x, y) {
    if (!P) return null;
    const da_punto = (m) => { const p = punto_a(m); return Math.hypot(P.w / 2 + (p.x - P.cx) * P.scala - x, P.h / 2 - (p.y - P.cy) * P.scala - y); };
    let meglio = null, d = 8;
    const prova = (lista, fn) => visibili(lista, (o) => { const dd = da_punto(o.metro); if (dd < d) { d = dd; meglio = () => fn(o); } });
    if (acceso.problemi) prova(problemi, (o) => scheda_problema(o.p));
    if (acceso.stazioni) prova(stazioni, scheda_stazione);
    for (const k of ['segnali', 'indicatori', 'cartelli', 'punti', 'rallentamenti']) if (acceso[k]) prova(per_strato[k], (o) => scheda_oggetto(o.o));
    if (meglio) return meglio();
    return null;
  }

  // The metre of the track nearest the pointer in the plan view, if close.
  function metro_in_pianta(x, y) {
    if (!P) return null;
    const i0 = Math.max(0, Math.floor(vista.da / G.passo)), i1 = Math.min(G.n - 1, Math.ceil(vista.a / G.passo));
    const s = Math.max(1, Math.floor((i1 - i0) / 4000));
    let d = 14, m = null;
    for (let i = i0; i <= i1; i += s) {
      if (isNaN(G.x[i])) continue;
      const dd = Math.hypot(P.w / 2 + (G.x[i] - P.cx) * P.scala - x, P.h / 2 - (G.y[i] - P.cy) * P.scala - y);
      if (dd < d) { d = dd; m = metro_punto(i); }
    }
    return m;
  }

  // ---------------------------------------------------------------------
  // Pointer, wheel, keys.

  let trascina = null;
  function locale(e, tela) { const r = tela.getBoundingClientRect(); return { x: e.clientX - r.left, y: e.clientY - r.top }; }

  tela_f.addEventListener('wheel', (e) => {
    e.preventDefault();
    const { x } = locale(e, tela_f);
    const m = metro_di(Math.min(Math.max(x, L.sinistra), L.sinistra + L.larghezza));
    zoom(m, e.deltaY > 0 ? 1 : e.deltaY < 0 ? -1 : 0);
  }, { passive: false });
  tela_p.addEventListener('wheel', (e) => {
    e.preventDefault();
    const { x, y } = locale(e, tela_p);
    const m = metro_in_pianta(x, y);
    zoom(m !== null ? m : (vista.da + vista.a) / 2, e.deltaY > 0 ? 1 : e.deltaY < 0 ? -1 : 0);
  }, { passive: false });

  for (const tela of [tela_f, tela_p]) {
    tela.addEventListener('pointerdown', (e) => {
      if (e.button !== 0) return;
      trascina = { x: e.clientX, da: vista.da, a: vista.a, tela, mosso: false };
      tela.setPointerCapture(e.pointerId);
    });
    tela.addEventListener('pointerup', (e) => {
      if (trascina) tela.releasePointerCapture(e.pointerId);
      tela.classList.remove('trascina');
      trascina = null;
    });
    tela.addEventListener('pointerleave', () => { if (!trascina) { nascondi(); cursore = null; richiedi(); } });
  }
  tela_f.addEventListener('pointermove', (e) => {
    const { x, y } = locale(e, tela_f);
    if (trascina) {
      const dx = e.clientX - trascina.x;
      if (Math.abs(dx) > 2) trascina.mosso = true;
      if (!trascina.mosso) return;
      tela_f.classList.add('trascina');
      const k = (trascina.a - trascina.da) / L.larghezza;
      imposta(trascina.da - dx * k, trascina.a - dx * k);
      nascondi();
      return;
    }
    const dentro = x >= L.sinistra && x <= L.sinistra + L.larghezza;
    cursore = dentro ? metro_di(x) : null;
    const c = dentro ? sotto_profili(x, y) : null;
    if (c) mostra(c, e.clientX, e.clientY); else nascondi();
    richiedi();
  });
  tela_p.addEventListener('pointermove', (e) => {
    const { x, y } = locale(e, tela_p);
    if (trascina) {
      const dx = e.clientX - trascina.x;
      if (Math.abs(dx) > 2) trascina.mosso = true;
      if (!trascina.mosso) return;
      tela_p.classList.add('trascina');
      const k = (trascina.a - trascina.da) / tela_p.clientWidth;
      imposta(trascina.da - dx * k, trascina.a - dx * k);
      return;
    }
    const c = sotto_pianta(x, y);
    cursore = metro_in_pianta(x, y);
    if (c) mostra(c, e.clientX, e.clientY);
    else if (cursore !== null) mostra(scheda_cella(cursore), e.clientX, e.clientY);
    else nascondi();
    richiedi();
  });

  window.addEventListener('keydown', (e) => {
    if (e.target instanceof HTMLInputElement) return;
    const span = vista.a - vista.da, centro = (vista.da + vista.a) / 2;
    if (e.key === '+' || e.key === '=') zoom(centro, -1);
    else if (e.key === '-' || e.key === '_') zoom(centro, 1);
    else if (e.key === 'ArrowLeft') imposta(vista.da - span * 0.2, vista.a - span * 0.2);
    else if (e.key === 'ArrowRight') imposta(vista.da + span * 0.2, vista.a + span * 0.2);
    else if (e.key === 'Home') imposta(0, LUNGHEZZA);
    else return;
    e.preventDefault();
  });
  window.addEventListener('resize', richiedi);

  // ---------------------------------------------------------------------
  // Header and side panel.

  const msg = document.getElementById('messaggio');
  // Without a geometry the plan view is one line saying so.
  if (!G) tela_p.style.flex = '0 0 36px';
  document.getElementById('titolo').textContent = 'Line ' + D.linea + ', train ' + D.treno + ' · ' + km(LUNGHEZZA, 1) + ' km';
  document.getElementById('tutta').addEventListener('click', () => imposta(0, LUNGHEZZA));

  const strati_el = document.getElementById('strati');
  for (const [k, nome, colore] of STRATI) {
    if (k === 'problemi' && !D.problems.length) continue;
    const l = el('label');
    const c = el('input');
    c.type = 'checkbox'; c.checked = true; c.dataset.strato = k;
    c.addEventListener('change', () => { acceso[k] = c.checked; richiedi(); });
    const campione = el('span', 'campione');
    campione.style.background = colore;
    l.append(c, campione, document.createTextNode(nome));
    strati_el.append(l);
  }

  const lista_s = document.getElementById('stazioni');
  if (!stazioni.length) lista_s.append(el('li', 'vuoto', 'none in the table'));
  document.getElementById('conta-stazioni').textContent = '(' + stazioni.length + ')';
  for (const s of stazioni) {
    const b = el('button');
    b.type = 'button';
    b.append(el('span', '', s.s.name), el('span', 'km', 'km ' + km(s.metro, 2)));
    b.addEventListener('click', () => { segnato = s.metro; vai(s.metro, 3000); });
    const li = el('li'); li.append(b); lista_s.append(li);
  }

  if (D.problems.length) {
    document.getElementById('sezione-problemi').hidden = false;
    const n_err = D.problems.filter((p) => p.severity === 'error').length;
    const n_avv = D.problems.length - n_err;
    document.getElementById('conta-problemi').textContent =
      '(' + n_err + (n_err === 1 ? ' error, ' : ' errors, ') + n_avv + (n_avv === 1 ? ' warning)' : ' warnings)');
    const lista_p = document.getElementById('problemi');
    for (const p of D.problems) {
      const b = el('button');
      b.type = 'button';
      b.append(el('span', p.severity === 'error' ? 'errore' : 'avviso', (p.code !== null ? p.code : p.rule) + ' '),
        el('span', '', p.message), el('div', 'dove', p.file + ':' + p.line + (p.metre !== null ? ' · ' + testo_metro(p.metre) : ' · no place on the line')));
      b.addEventListener('click', () => { if (p.metre !== null) { segnato = p.metre; vai(p.metre, 2000); } });
      const li = el('li'); li.append(b); lista_p.append(li);
    }
  }

  // Where the compile stopped reading: what follows is not in the compiled files.
  if (D.stopped && D.texts && D.texts.match) {
    const f = document.getElementById('fermata');
    const st = D.stopped;
    f.append(document.createTextNode('The compile stopped reading at ' + st.file + ', line ' + st.line + ' (status ' + st.code +
      (st.meaning ? ': ' + st.meaning : '') + '): the rows after it are not in the compiled files. '), el('code', '', st.text));
    f.hidden = false;
  }

  // A station by (part of) its name, or a metre: 37650, 37,650, km 37.65, 37.65 km.
  document.getElementById('cerca').addEventListener('submit', (e) => {
    e.preventDefault();
    const t = document.getElementById('cerca-testo').value.trim();
    msg.textContent = '';
    if (!t) return;
    const km_ = /^(?:km\s*)?(\d+(?:[.,]\d+)?)\s*km$|^km\s*(\d+(?:[.,]\d+)?)$/i.exec(t);
    const metri = /^(?:m\s*)?(\d{1,3}(?:,\d{3})+|\d+)\s*m?$/i.exec(t);
    let m = null;
    if (km_) m = parseFloat((km_[1] || km_[2]).replace(',', '.')) * 1000;
    else if (metri) m = parseInt(metri[1].replace(/,/g, ''), 10);
    if (m !== null) {
      if (m > FINE_GRIGLIA) { msg.textContent = 'the route ends at ' + testo_metro(FINE_GRIGLIA); return; }
      segnato = m;
      vai(m, Math.min(vista.a - vista.da, 1000));
      return;
    }
    const q = t.toLowerCase();
    const s = stazioni.find((x) => x.s.name.toLowerCase() === q) || stazioni.find((x) => x.s.name.toLowerCase().includes(q));
    if (!s) { msg.textContent = 'no station or metre "' + t + '"'; return; }
    segnato = s.metro;
    vai(s.metro, 3000);
  });

  // For the tests and the benchmark: the visible range, the mapping from
  // metres to the profile canvas, and the time of the first paint.
  window.vista = {
    intervallo: () => ({ da: vista.da, a: vista.a }),
    mostra: (da, a) => { imposta(da, a); disegna(); },
    area: () => ({ sinistra: L.sinistra, larghezza: L.larghezza, corsie: L.corsie }),
    regola_zoom: { passo: PASSO_ZOOM, span_minimo: SPAN_MINIMO, fine: FINE_GRIGLIA },
    disegna,
    t0: T0,
  };
  disegna();
  window.vista.primo_disegno = performance.now();
  document.body.dataset.pronto = '1';
})();
