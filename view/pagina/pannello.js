// The header and the side panel: the title, the layers, the stations and
// check's problems, where the compile stopped reading, and the search.

const msg = document.getElementById('messaggio');

function testata() {
  // Without a geometry the plan view is one line saying so.
  if (!G) tela_p.style.flex = '0 0 36px';
  document.getElementById('titolo').textContent = 'Line ' + D.linea + ', train ' + D.treno + ' · ' + km(LUNGHEZZA, 1) + ' km';
  document.getElementById('tutta').addEventListener('click', () => imposta(0, LUNGHEZZA));
}

// A switch for each layer; Problems only when there are some.
function elenco_strati() {
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
}

// The stations by metre; a click goes there.
function elenco_stazioni() {
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
}

// Check's problems, errors first and then as check reports them (by file
// and line); a filter by severity, and previous and next through those shown.
// A click goes to the problem's metre, or says at the top that it has none.
const lista_problemi = D.problems.map((p, i) => ({ p, i }))
  .sort((x, y) => (x.p.severity === 'error' ? 0 : 1) - (y.p.severity === 'error' ? 0 : 1) || x.i - y.i);
let problema_attuale = -1;
function problemi_mostrati() {
  return [...document.querySelectorAll('#problemi li')].filter((li) => !li.hidden);
}
function scegli_problema(k) {
  const voce = lista_problemi[k], p = voce.p;
  problema_attuale = k;
  for (const li of document.querySelectorAll('#problemi li')) {
    if (Number(li.dataset.indice) === k) li.setAttribute('aria-current', 'true'); else li.removeAttribute('aria-current');
  }
  if (p.metre === null) {
    msg.textContent = 'no place on the line for ' + p.file + ':' + p.line + ' (' + (p.code !== null ? p.code : p.rule) + ')';
    return;
  }
  msg.textContent = '';
  segnato = p.metre;
  vai(p.metre, 2000);
}
// Steps to the next (passo 1) or previous (-1) problem shown, round the end.
function passa_problema(passo) {
  const mostrati = problemi_mostrati().map((li) => Number(li.dataset.indice));
  if (!mostrati.length) return;
  const qui = mostrati.indexOf(problema_attuale);
  const dove = qui < 0 ? (passo > 0 ? 0 : mostrati.length - 1) : (qui + passo + mostrati.length) % mostrati.length;
  scegli_problema(mostrati[dove]);
}
function filtra_problemi() {
  const g = document.getElementById('filtro-problemi').value;
  for (const li of document.querySelectorAll('#problemi li')) li.hidden = g !== '' && li.dataset.gravita !== g;
}
function elenco_problemi() {
  if (!D.problems.length) return;
  document.getElementById('sezione-problemi').hidden = false;
  const n_err = D.problems.filter((p) => p.severity === 'error').length;
  const n_avv = D.problems.length - n_err;
  document.getElementById('conta-problemi').textContent =
    '(' + n_err + (n_err === 1 ? ' error, ' : ' errors, ') + n_avv + (n_avv === 1 ? ' warning)' : ' warnings)');
  const lista_p = document.getElementById('problemi');
  lista_problemi.forEach(({ p }, k) => {
    const b = el('button');
    b.type = 'button';
    b.append(el('span', p.severity === 'error' ? 'errore' : 'avviso', (p.code !== null ? p.code : p.rule) + ' '),
      el('span', '', p.message), el('div', 'dove', p.file + ':' + p.line + (p.metre !== null ? ' · ' + testo_metro(p.metre) : ' · no place on the line')));
    b.addEventListener('click', () => scegli_problema(k));
    const li = el('li');
    li.dataset.indice = String(k);
    li.dataset.gravita = p.severity === 'error' ? 'error' : 'warning';
    li.append(b); lista_p.append(li);
  });
  document.getElementById('filtro-problemi').addEventListener('change', filtra_problemi);
  document.getElementById('problema-prec').addEventListener('click', () => passa_problema(-1));
  document.getElementById('problema-succ').addEventListener('click', () => passa_problema(1));
}

// Where the compile stopped reading: what follows is not in the compiled files.
function avviso_fermata() {
  if (!(D.stopped && D.texts && D.texts.match)) return;
  const f = document.getElementById('fermata');
  const st = D.stopped;
  f.append(document.createTextNode('The compile stopped reading at ' + st.file + ', line ' + st.line + ' (status ' + st.code +
    (st.meaning ? ': ' + st.meaning : '') + '): the rows after it are not in the compiled files. '), el('code', '', st.text));
  f.hidden = false;
}

// The metre a search names: 37650, 37,650, km 37.65, 37.65 km; null for
// anything else.
function metro_cercato(t) {
  const km_ = /^(?:km\s*)?(\d+(?:[.,]\d+)?)\s*km$|^km\s*(\d+(?:[.,]\d+)?)$/i.exec(t);
  const metri = /^(?:m\s*)?(\d{1,3}(?:,\d{3})+|\d+)\s*m?$/i.exec(t);
  if (km_) return parseFloat((km_[1] || km_[2]).replace(',', '.')) * 1000;
  if (metri) return parseInt(metri[1].replace(/,/g, ''), 10);
  return null;
}

// A station by (part of) its name, or a metre.
function cerca(e) {
  e.preventDefault();
  const t = document.getElementById('cerca-testo').value.trim();
  msg.textContent = '';
  if (!t) return;
  const m = metro_cercato(t);
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
}

testata();
elenco_strati();
elenco_stazioni();
elenco_problemi();
avviso_fermata();
document.getElementById('cerca').addEventListener('submit', cerca);
