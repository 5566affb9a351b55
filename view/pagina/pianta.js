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
  P = inquadra_pianta(w, h);
  binario_in_pianta(ctx);
  oggetti_in_pianta(ctx);
  stazioni_in_pianta(ctx);
  if (cursore !== null && cursore >= 0 && cursore <= G.ultimo) {
    const q = su_binario(cursore);
    ctx.strokeStyle = COLORI.cursore; ctx.lineWidth = 2;
    ctx.beginPath(); ctx.arc(q.x, q.y, 7, 0, 2 * Math.PI); ctx.stroke();
  }
  nord_e_scala(ctx, w, h);
}

// The mapping that frames the visible range's stretch of track in a w × h
// picture: its centre (cx, cy, m) and the pixels per metre.
function inquadra_pianta(w, h) {
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
  return { scala, cx, cy, w, h };
}

// A point of the track on the picture.
function px(x) { return P.w / 2 + (x - P.cx) * P.scala; }
function py(y) { return P.h / 2 - (y - P.cy) * P.scala; }
// Points of the track about 2 px apart on screen: what is drawn grows
// with the picture, not with the line.
function passo_px() { return Math.max(1, Math.floor(2 / (G.passo * P.scala))); }

// Samples da_i to a_i (both drawn), every passo-th between.
function linea(ctx, da_i, a_i, passo, colore, spessore) {
  ctx.beginPath();
  let su = false;
  for (let i = da_i; ; i = Math.min(i + passo, a_i)) {
    if (isNaN(G.x[i])) su = false;
    else if (!su) { ctx.moveTo(px(G.x[i]), py(G.y[i])); su = true; } else ctx.lineTo(px(G.x[i]), py(G.y[i]));
    if (i >= a_i) break;
  }
  ctx.strokeStyle = colore; ctx.lineWidth = spessore; ctx.lineJoin = 'round'; ctx.lineCap = 'round';
  ctx.stroke();
}

// The track from metre da to metre a, its ends where they fall between samples.
function tratto(ctx, da, a, colore, spessore) {
  const j0 = Math.max(0, Math.floor(da / G.passo)), j1 = Math.min(G.n - 1, Math.ceil(a / G.passo));
  const sj = passo_px();
  ctx.beginPath();
  let su = false;
  const punto = (m) => { const p = punto_a(m); if (isNaN(p.x)) { su = false; return; } if (!su) { ctx.moveTo(px(p.x), py(p.y)); su = true; } else ctx.lineTo(px(p.x), py(p.y)); };
  punto(da);
  for (let j = j0 + 1; j < j1; j += sj) punto(metro_punto(j));
  punto(a);
  ctx.strokeStyle = colore; ctx.lineWidth = spessore; ctx.lineCap = 'butt'; ctx.stroke();
}

// The whole track, then the metres beyond the line's end (the two only
// where the range leaves them out), the mountain stretches as tan bands,
// then the range.
function binario_in_pianta(ctx) {
  const i_fine = Math.min(G.n - 1, Math.ceil(LUNGHEZZA / G.passo));
  if (vista.da > 0 || vista.a < LUNGHEZZA) linea(ctx, 0, i_fine, passo_px(), COLORI.binarioSpento, 2);
  if (i_fine < G.n - 1 && vista.a < FINE_GRIGLIA) linea(ctx, i_fine, G.n - 1, passo_px(), COLORI.oltre, 1);
  if (acceso.montagne) {
    const s = profili.montagne;
    for (let i = primo((k) => s.a[k], s.n, vista.da); i < s.n && s.da[i] < vista.a; i++)
      tratto(ctx, Math.max(s.da[i], vista.da), Math.min(s.a[i], vista.a), '#e6d3a3', 12);
  }
  tratto(ctx, vista.da, Math.min(vista.a, LUNGHEZZA), COLORI.binario, 3);
  if (vista.a > LUNGHEZZA) tratto(ctx, Math.max(vista.da, LUNGHEZZA), vista.a, COLORI.oltre, 1.5);
}

// The track's point at metre m on the picture, with the normal to its heading.
function su_binario(m) { const p = punto_a(m); return { x: px(p.x), y: py(p.y), nx: -p.dy, ny: -p.dx }; }

// Objects of the range on the track: beside it only when there is room,
// slowdowns and problems always.
function oggetti_in_pianta(ctx) {
  const span = vista.a - vista.da;
  if (acceso.rallentamenti) {
    for (const r of rallentamenti) {
      if (r.a < vista.da || r.da > vista.a) continue;
      tratto(ctx, Math.max(r.da, vista.da), Math.min(Math.max(r.a, r.da + 1), vista.a), 'rgba(214, 39, 40, 0.55)', 7);
    }
  }
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
}

// Stations of the range: a dot at the stop cell (a ring without one), the
// name beside it unless it would cover one already written.
function stazioni_in_pianta(ctx) {
  if (!acceso.stazioni) return;
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

// North and a scale bar.
function nord_e_scala(ctx, w, h) {
  ctx.fillStyle = '#5b6578'; ctx.strokeStyle = '#5b6578'; ctx.lineWidth = 1.5;
  ctx.font = '11px system-ui, "DejaVu Sans", sans-serif'; ctx.textAlign = 'center';
  ctx.beginPath(); ctx.moveTo(w - 22, 34); ctx.lineTo(w - 22, 14); ctx.stroke();
  triangolo(ctx, w - 22, 10, 4, false);
  ctx.fillText('N', w - 22, 44);
  const metri_barra = passo_tondo(100 / P.scala);
  const lb = metri_barra * P.scala;
  ctx.beginPath(); ctx.moveTo(14, h - 14); ctx.lineTo(14 + lb, h - 14); ctx.moveTo(14, h - 18); ctx.lineTo(14, h - 10);
  ctx.moveTo(14 + lb, h - 18); ctx.lineTo(14 + lb, h - 10); ctx.stroke();
  ctx.textAlign = 'left';
  ctx.fillText(metri_barra >= 1000 ? metri_barra / 1000 + ' km' : metri_barra + ' m', 20 + lb, h - 14);
}
