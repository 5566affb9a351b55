// Hovering: what is under the pointer, told as dump names it.

const sugg = document.getElementById('suggerimento');
// An element with a class and a text, the text always as a text node.
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
