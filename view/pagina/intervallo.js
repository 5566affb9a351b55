// The visible range and how it moves.

const vista = { da: 0, a: LUNGHEZZA > 0 ? LUNGHEZZA : FINE_GRIGLIA };
let cursore = null;   // metre under the pointer, shown in both views
let segnato = null;   // metre found by the search, marked until the next one

// The range from da to a, kept within the grid and no narrower than a cell.
function fissa(da, a) {
  let span = Math.min(Math.max(a - da, SPAN_MINIMO), FINE_GRIGLIA);
  da = Math.min(Math.max(da, 0), FINE_GRIGLIA - span);
  vista.da = da;
  vista.a = da + span;
}
function imposta(da, a) {
  fissa(da, a);
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
