// The view in the address's fragment, "#da=20000&a=40000&sel=30000" (metres,
// to a tenth), so that a copied address opens the same place, zoom and
// selection. Written a moment after the view settles: browsers throttle a
// page that rewrites its address every frame.

function leggi_collegamento() {
  const p = new URLSearchParams(location.hash.slice(1));
  const numero = (k) => (p.has(k) && isFinite(Number(p.get(k))) && p.get(k) !== '' ? Number(p.get(k)) : null);
  const da = numero('da'), a = numero('a'), sel = numero('sel');
  if (da !== null && a !== null && a > da) fissa(da, a);
  segnato = sel !== null && sel >= 0 && sel <= FINE_GRIGLIA ? sel : null;
}
let timer_collegamento = null;
function scrivi_collegamento() {
  clearTimeout(timer_collegamento);
  timer_collegamento = setTimeout(() => {
    const d = (m) => String(Math.round(m * 10) / 10);
    let h = '#da=' + d(vista.da) + '&a=' + d(vista.a);
    if (segnato !== null) h += '&sel=' + d(segnato);
    if (location.hash !== h) history.replaceState(null, '', h);
  }, 250);
}
if (location.hash.length > 1) leggi_collegamento();
window.addEventListener('hashchange', () => { leggi_collegamento(); richiedi(); });
