// The profiles canvas: the stations, objects and problems lanes, the
// gradient, speed-limit and adhesion panels and the position axis. Its parts
// draw in turn on one context and hand on its state (font, alignment,
// colours) from one to the next, so their order is part of the picture.

const PANNELLI = ['pendenza', 'velocita', 'aderenza'];

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

function disegna_profili() {
  const { w, h } = adatta(tela_f, cf);
  L = impagina(w, h);
  const ctx = cf;
  ctx.clearRect(0, 0, w, h);
  ctx.font = '11px system-ui, "DejaVu Sans", sans-serif';
  ctx.textBaseline = 'middle';
  ctx.textAlign = 'left';
  ctx.save();
  ctx.beginPath();
  ctx.rect(L.sinistra, 0, L.larghezza, h);
  ctx.clip();
  sfondo_profili(ctx);
  righe_dei_valori(ctx);
  curve_dei_profili(ctx);
  corsia_oggetti(ctx);
  corsia_stazioni(ctx);
  corsia_problemi(ctx);
  metri_segnati(ctx);
  ctx.restore();
  cornici_e_nomi(ctx);
  asse_delle_posizioni(ctx);
}

// Pixels per 50 m cell at the present zoom.
function px_cella() { return L.larghezza * METRI_CELLA / (vista.a - vista.da); }

// Mountains, the grid beyond the line's end and, once cells are wide enough
// to see, their boundaries: behind everything.
function sfondo_profili(ctx) {
  const dx = L.sinistra + L.larghezza;
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
  if (px_cella() >= 12) {
    ctx.strokeStyle = COLORI.griglia;
    ctx.lineWidth = 1;
    ctx.beginPath();
    for (let m = Math.floor(vista.da / METRI_CELLA) * METRI_CELLA; m <= vista.a; m += METRI_CELLA) {
      const x = Math.round(x_di(m)) + 0.5;
      ctx.moveTo(x, L.corsie.oggetti[0]); ctx.lineTo(x, fondo);
    }
    ctx.stroke();
  }
}

// Value ticks and zero lines of the panels.
function righe_dei_valori(ctx) {
  const sx = L.sinistra, dx = L.sinistra + L.larghezza;
  for (const nome of PANNELLI) {
    const r = RANGE[nome];
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
  }
}

// The three profiles, with each board's speeds and each slowdown's speed
// from its warning point to its end on the speed limit.
function curve_dei_profili(ctx) {
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
}

// The middle of the objects' lane.
function mezzo_oggetti() { return (L.corsie.oggetti[0] + L.corsie.oggetti[1]) / 2; }

// The objects' lane: signals as ticks, boards as squares and diamonds.
function corsia_oggetti(ctx) {
  const sx = L.sinistra, dx = L.sinistra + L.larghezza;
  const [o0, o1] = L.corsie.oggetti;
  const om = mezzo_oggetti();
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
}

// Stations: a dot at the stop cell (a ring without one) and the name where it fits.
function corsia_stazioni(ctx) {
  if (!acceso.stazioni) return;
  const sx = L.sinistra, dx = L.sinistra + L.larghezza;
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
function corsia_problemi(ctx) {
  if (!problemi.length || !acceso.problemi) return;
  const p1 = L.corsie.problemi[1];
  visibili(problemi, (x, px) => {
    ctx.fillStyle = x.p.severity === 'error' ? COLORI.errore : COLORI.avviso;
    triangolo(ctx, px, p1 - 3, 6, true);
  });
}

// The pointer's metre and the metre found by the search.
function metri_segnati(ctx) {
  const fondo = L.corsie.aderenza[1];
  for (const [m, colore] of [[segnato, '#f0a030'], [cursore, COLORI.cursore]]) {
    if (m === null || m < vista.da || m > vista.a) continue;
    const x = Math.round(x_di(m)) + 0.5;
    ctx.strokeStyle = colore; ctx.lineWidth = 1;
    ctx.setLineDash(colore === COLORI.cursore ? [3, 3] : []);
    ctx.beginPath(); ctx.moveTo(x, L.cima); ctx.lineTo(x, fondo); ctx.stroke();
    ctx.setLineDash([]);
  }
}

// Frames, panel names, value labels, and the lanes' names.
function cornici_e_nomi(ctx) {
  const sx = L.sinistra;
  ctx.fillStyle = '#5b6578';
  ctx.textAlign = 'right';
  for (const nome of PANNELLI) {
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
  ctx.fillText('objects', sx - 6, mezzo_oggetti());
  if (problemi.length) ctx.fillText('problems', sx - 6, (L.corsie.problemi[0] + L.corsie.problemi[1]) / 2);
}

// The position axis: round steps in m or km, each cell by its index once
// cells are wide enough for it, and where the line ends. One unit for the
// whole axis, named at its left: km once a step or a visible metre reaches
// the thousands of it, else m.
let asse_disegnato = null;  // the unit and the labels last drawn, for the tests
function asse_delle_posizioni(ctx) {
  const sx = L.sinistra, dx = L.sinistra + L.larghezza;
  const [a0] = L.corsie.asse;
  const span = vista.a - vista.da;
  const passo = Math.max(passo_tondo(span / Math.max(L.larghezza / 95, 1)), 10);
  const in_km = passo >= 1000 || vista.a >= 100000;
  const decimali = passo >= 1000 ? 0 : passo >= 100 ? 2 : 3;
  const unita = in_km ? 'km' : 'm';
  const etichette = [];
  ctx.strokeStyle = '#8a93a6'; ctx.fillStyle = '#3b4456'; ctx.textAlign = 'center'; ctx.textBaseline = 'top';
  ctx.beginPath(); ctx.moveTo(sx, a0 + 0.5); ctx.lineTo(dx, a0 + 0.5); ctx.stroke();
  for (let m = Math.ceil(vista.da / passo) * passo; m <= vista.a + 1e-6; m += passo) {
    const x = Math.round(x_di(m)) + 0.5;
    ctx.beginPath(); ctx.moveTo(x, a0); ctx.lineTo(x, a0 + 5); ctx.stroke();
    const testo = in_km ? km(m, decimali) : String(Math.round(m));
    etichette.push(testo);
    ctx.fillText(testo, x, a0 + 7);
  }
  asse_disegnato = { unita, etichette };
  if (px_cella() >= 56) {
    ctx.fillStyle = '#8a93a6';
    for (let c = Math.floor(vista.da / METRI_CELLA); c * METRI_CELLA <= vista.a; c++) {
      const x = x_di((c + 0.5) * METRI_CELLA);
      if (x > sx + 20 && x < dx - 20) ctx.fillText('cell ' + c, x, a0 + 21);
    }
    ctx.fillStyle = '#3b4456';
  }
  ctx.textAlign = 'right';
  ctx.fillText(unita, sx - 24, a0 + 7);
  if (vista.a > LUNGHEZZA && vista.da < LUNGHEZZA) {
    ctx.textAlign = 'left';
    ctx.fillStyle = '#6b7487';
    ctx.fillText('end of line ' + km(LUNGHEZZA, 3) + ' km', x_di(LUNGHEZZA) + 4, L.corsie.pendenza[0] + 4);
  }
}
