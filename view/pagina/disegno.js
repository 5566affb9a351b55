// Drawing both views, at most once a frame, and the page's start.

function disegna() {
  disegna_profili();
  disegna_pianta();
  const t = document.getElementById('intervallo');
  t.textContent = 'km ' + km(vista.da, 3) + ' – ' + km(vista.a, 3) + '  (' + testo_lunghezza(vista.a - vista.da) + ')';
  t.dataset.da = String(vista.da);
  t.dataset.a = String(vista.a);
  scrivi_collegamento();
}
let in_attesa = false;
function richiedi() {
  if (in_attesa) return;
  in_attesa = true;
  requestAnimationFrame(() => { in_attesa = false; disegna(); });
}

// For the tests and the benchmark: the visible range, the mapping from
// metres to the profile canvas, and the time of the first paint.
window.vista = {
  intervallo: () => ({ da: vista.da, a: vista.a }),
  mostra: (da, a) => { imposta(da, a); disegna(); },
  area: () => ({ sinistra: L.sinistra, larghezza: L.larghezza, corsie: L.corsie }),
  asse: () => asse_disegnato,
  segnato: () => segnato,
  regola_zoom: { passo: PASSO_ZOOM, span_minimo: SPAN_MINIMO, fine: FINE_GRIGLIA },
  disegna,
  t0: T0,
};
disegna();
window.vista.primo_disegno = performance.now();
document.body.dataset.pronto = '1';
