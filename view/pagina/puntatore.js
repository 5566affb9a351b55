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
