// The two canvases, the profile canvas' layout, and the scales from metres
// and values to pixels.

const tela_p = document.getElementById('pianta');
const tela_f = document.getElementById('profili');
const cp = tela_p.getContext('2d');
const cf = tela_f.getContext('2d');
const MARGINE_S = 70, MARGINE_D = 18;
let L = null;  // the profile canvas' layout, made at each size change

function adatta(tela, ctx) {
  const r = window.devicePixelRatio || 1;
  const w = tela.clientWidth, h = tela.clientHeight;
  if (tela.width !== Math.round(w * r) || tela.height !== Math.round(h * r)) {
    tela.width = Math.round(w * r);
    tela.height = Math.round(h * r);
  }
  ctx.setTransform(r, 0, 0, r, 0, 0);
  return { w, h };
}

function impagina(w, h) {
  const corsie = {};
  let y = 6;
  const corsia = (nome, alt) => { corsie[nome] = [y, y + alt]; y += alt; };
  corsia('stazioni', 30);
  corsia('oggetti', 42);
  if (problemi.length) corsia('problemi', 20);
  y += 6;
  const asse = 38;
  const resto = Math.max(h - y - asse, 120);
  const pannelli = [['pendenza', 0.3], ['velocita', 0.44], ['aderenza', 0.26]];
  for (const [nome, quota] of pannelli) {
    corsia(nome, Math.floor(resto * quota) - 8);
    y += 8;
  }
  corsie.asse = [y, y + asse];
  return { w, h, sinistra: MARGINE_S, larghezza: w - MARGINE_S - MARGINE_D, corsie, cima: corsie.stazioni[0], fondo: y };
}

function x_di(m) { return L.sinistra + (m - vista.da) / (vista.a - vista.da) * L.larghezza; }
function metro_di(x) { return vista.da + (x - L.sinistra) / L.larghezza * (vista.a - vista.da); }

// Round steps of 1, 2 or 5 times a power of ten.
function passo_tondo(grezzo) {
  const p = Math.pow(10, Math.floor(Math.log10(grezzo)));
  for (const k of [1, 2, 5, 10]) if (k * p >= grezzo) return k * p;
  return 10 * p;
}
function km(m, decimali) { return (m / 1000).toFixed(decimali); }
// A position as the tool's reports name it, "m 37,650"; a length, "500 m".
function testo_metro(m) { return 'm ' + Math.round(m).toLocaleString('en-US'); }
function testo_lunghezza(m) { return Math.round(m).toLocaleString('en-US') + ' m'; }

function range_pannello(s, da_zero, min_alto) {
  let lo = isFinite(s.min) ? s.min : 0, hi = isFinite(s.max) ? s.max : 1;
  hi = Math.max(hi, min_alto);
  if (da_zero) lo = Math.min(lo, 0);
  const margine = Math.max((hi - lo) * 0.12, 1);
  const passo = passo_tondo((hi - lo + 2 * margine) / 4);
  return {
    lo: da_zero && lo >= 0 ? 0 : Math.floor((lo - margine) / passo) * passo,
    hi: Math.ceil((hi + margine) / passo) * passo, passo,
  };
}
const velocita_max = Math.max(profili.velocita.max, ...rallentamenti.map((r) => r.v),
  ...(per_strato.indicatori || []).map((x) => Math.max(...x.o.values.left.speeds_kmh)));
const RANGE = {
  pendenza: range_pannello(profili.pendenza, false, 0),
  velocita: range_pannello({ min: 0, max: velocita_max }, true, 10),
  aderenza: range_pannello(profili.aderenza, true, 10),
};
const NOMI_PANNELLI = { pendenza: 'gradient ‰', velocita: 'speed km/h', aderenza: 'adhesion' };

function y_valore(nome, v) {
  const [y0, y1] = L.corsie[nome], r = RANGE[nome];
  return y1 - (v - r.lo) / (r.hi - r.lo) * (y1 - y0);
}
