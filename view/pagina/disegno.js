// Drawing both views, at most once a frame, and the page's start.

function disegna() {
  disegna_profili();
  disegna_pianta();
  disegna_quota();
  disegna_velocita();
  disegna_tempi();
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
  quota: (m) => quota_a(m),
  // The run's charts: the value at a metre, a station's times as hovering shows them.
  marcia: M ? {
    limite: limite_a, velocita: velocita_a, ora: (m) => testo_ora(ora_a(m)),
    stazione: (nome) => { const s = M.st.find((x) => x.s.name === nome); return s ? { metro: s.metro, arrivo: s.s.arrival_ds !== null ? testo_ora(s.s.arrival_ds / 10) : null, partenza: s.s.departure_ds !== null ? testo_ora(s.s.departure_ds / 10) : null } : null; },
    // Where the speed chart puts (metre, km/h) and the time chart (metre, seconds of the day).
    su_velocita: (m, v) => ({ x: x_di(m), y: y_v(tela_v.clientHeight, v) }),
    su_tempi: (m, t) => ({ x: x_di(m), y: y_t(tela_t.clientHeight, t) }),
    margini: () => M.legs.filter((g) => g.scheduled_ds !== null).map((g) => Math.round((g.scheduled_ds - g.minimum_ds) / 10)),
  } : null,
  t0: T0,
};
disegna();
window.vista.primo_disegno = performance.now();
document.body.dataset.pronto = '1';
