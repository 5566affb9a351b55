// Pointer, wheel, keys.

let trascina = null;
function locale(e, tela) { const r = tela.getBoundingClientRect(); return { x: e.clientX - r.left, y: e.clientY - r.top }; }

// A wheel event in zoom steps: a mouse notch (100 px, 3 lines or a page)
// is one step, a touchpad's small deltas a fraction of one, so that a swipe
// zooms as far as its length and no further. At most 3 steps an event.
const PIXEL_PASSO = 100, RIGHE_PASSO = 3;
function in_pixel(d, e, tela) {
  if (e.deltaMode === 1) return d * PIXEL_PASSO / RIGHE_PASSO;
  if (e.deltaMode === 2) return d * tela.clientWidth;
  return d;
}
// Zooms at metre m, or pans when the swipe is more across than along: the
// content follows the fingers by as many pixels as the swipe.
function rotella(e, tela, larghezza, m) {
  e.preventDefault();
  const dx = in_pixel(e.deltaX, e, tela), dy = in_pixel(e.deltaY, e, tela);
  if (Math.abs(dx) > Math.abs(dy)) {
    const k = (vista.a - vista.da) / Math.max(larghezza, 1);
    imposta(vista.da + dx * k, vista.a + dx * k);
    return;
  }
  if (dy === 0) return;
  zoom(m, Math.min(Math.max(dy / PIXEL_PASSO, -3), 3));
}
tela_f.addEventListener('wheel', (e) => {
  const { x } = locale(e, tela_f);
  rotella(e, tela_f, L.larghezza, metro_di(Math.min(Math.max(x, L.sinistra), L.sinistra + L.larghezza)));
}, { passive: false });
tela_p.addEventListener('wheel', (e) => {
  const { x, y } = locale(e, tela_p);
  const m = metro_in_pianta(x, y);
  rotella(e, tela_p, tela_p.clientWidth, m !== null ? m : (vista.da + vista.a) / 2);
}, { passive: false });

// The horizontal scale of a canvas: where its metres start and how wide
// they run, in CSS pixels.
function scala_di(tela) {
  return tela === tela_f ? { x0: L.sinistra, w: L.larghezza } : { x0: 0, w: tela.clientWidth };
}

// The pointers down on a canvas (mouse, pen, fingers): one drags, two pinch.
// A drag that did not move is a tap or a click, and selects what is there.
const dita = new Map();
let pizzico = null;
function distanza() {
  const [p, q] = [...dita.values()];
  return { d: Math.max(Math.abs(p.x - q.x), 1), x: (p.x + q.x) / 2 };
}
function inizia_pizzico(tela) {
  const { d, x } = distanza(), s = scala_di(tela), r = tela.getBoundingClientRect();
  const m = vista.da + (x - r.left - s.x0) / s.w * (vista.a - vista.da);
  pizzico = { tela, d, m, span: vista.a - vista.da };
  trascina = null;
}
// The metre under the fingers' midpoint stays under it; the span shrinks as
// the fingers part.
function segui_pizzico() {
  const { d, x } = distanza(), s = scala_di(pizzico.tela), r = pizzico.tela.getBoundingClientRect();
  const span = pizzico.span * pizzico.d / d;
  const da = pizzico.m - (x - r.left - s.x0) / s.w * span;
  imposta(da, da + span);
}
function seleziona(tela, e) {
  const { x, y } = locale(e, tela);
  if (tela === tela_f) {
    if (x < L.sinistra || x > L.sinistra + L.larghezza) return;
    segnato = metro_di(x);
    const c = sotto_profili(x, y);
    if (c) mostra(c, e.clientX, e.clientY); else nascondi();
  } else {
    const m = metro_in_pianta(x, y);
    if (m === null) return;
    segnato = m;
    const c = sotto_pianta(x, y);
    mostra(c || scheda_cella(m), e.clientX, e.clientY);
  }
  richiedi();
}
function fine(tela, e, annullato) {
  if (!dita.has(e.pointerId)) return;
  dita.delete(e.pointerId);
  if (tela.hasPointerCapture(e.pointerId)) tela.releasePointerCapture(e.pointerId);
  if (trascina && !trascina.mosso && !annullato) seleziona(tela, e);
  tela.classList.remove('trascina');
  trascina = null;
  if (dita.size < 2) pizzico = null;
}

for (const tela of [tela_f, tela_p]) {
  tela.addEventListener('pointerdown', (e) => {
    if (e.button !== 0) return;
    dita.set(e.pointerId, { x: e.clientX });
    try { tela.setPointerCapture(e.pointerId); } catch (_) { /* a pointer no longer active */ }
    if (dita.size === 2) { inizia_pizzico(tela); return; }
    if (dita.size === 1) trascina = { x: e.clientX, da: vista.da, a: vista.a, tela, mosso: false };
  });
  tela.addEventListener('pointerup', (e) => fine(tela, e, false));
  tela.addEventListener('pointercancel', (e) => fine(tela, e, true));
  tela.addEventListener('pointerleave', () => { if (!trascina) { nascondi(); cursore = null; richiedi(); } });
}
// A drag pans by as many pixels as the pointer moved; true while one goes on.
function muovi(tela, e) {
  const dito = dita.get(e.pointerId);
  if (dito) dito.x = e.clientX;
  if (pizzico) { if (dito) segui_pizzico(); return true; }
  if (!trascina) return false;
  const dx = e.clientX - trascina.x;
  if (Math.abs(dx) > 2) trascina.mosso = true;
  if (!trascina.mosso) return true;
  tela.classList.add('trascina');
  const k = (trascina.a - trascina.da) / scala_di(tela).w;
  imposta(trascina.da - dx * k, trascina.a - dx * k);
  nascondi();
  return true;
}
tela_f.addEventListener('pointermove', (e) => {
  if (muovi(tela_f, e)) return;
  const { x, y } = locale(e, tela_f);
  const dentro = x >= L.sinistra && x <= L.sinistra + L.larghezza;
  cursore = dentro ? metro_di(x) : null;
  const c = dentro ? sotto_profili(x, y) : null;
  if (c) mostra(c, e.clientX, e.clientY); else nascondi();
  richiedi();
});
tela_p.addEventListener('pointermove', (e) => {
  if (muovi(tela_p, e)) return;
  const { x, y } = locale(e, tela_p);
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
