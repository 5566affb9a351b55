// The altitude profile: the gradients integrated along the line, in metres
// above or below its start (a gradient in ‰ rises that many metres a
// kilometre), on the profiles' position axis.

const tela_q = document.getElementById('quota');
const cq = tela_q.getContext('2d');
// The altitude at each gradient run's start and end; unset runs count as level.
const QUOTE = (function () {
  const s = profili.pendenza, q0 = new Float64Array(s.n), q1 = new Float64Array(s.n);
  let q = 0, lo = 0, hi = 0;
  for (let i = 0; i < s.n; i++) {
    q0[i] = q;
    if (!isNaN(s.v[i])) q += s.v[i] * (s.a[i] - s.da[i]) / 1000;
    q1[i] = q;
    if (s.da[i] < LUNGHEZZA) { lo = Math.min(lo, q0[i], q); hi = Math.max(hi, q0[i], q); }
  }
  return { q0, q1, lo, hi };
})();
STRATI.push(['quota', 'Altitude', '#8b5a2b']);
acceso.quota = true;

// The altitude at metre m, between its run's ends.
function quota_a(m) {
  const s = profili.pendenza;
  const i = primo((k) => s.a[k], s.n, m);
  if (i >= s.n) return s.n ? QUOTE.q1[s.n - 1] : 0;
  if (m <= s.da[i]) return QUOTE.q0[i];
  return QUOTE.q0[i] + (QUOTE.q1[i] - QUOTE.q0[i]) * (m - s.da[i]) / (s.a[i] - s.da[i]);
}
const RANGE_QUOTA = range_pannello({ min: QUOTE.lo, max: QUOTE.hi }, false, QUOTE.lo + 10);
function y_q(h, q) { return h - BASSO - (q - RANGE_QUOTA.lo) / (RANGE_QUOTA.hi - RANGE_QUOTA.lo) * (h - ALTO - BASSO); }

function disegna_quota() {
  const { w, h } = adatta(tela_q, cq);
  const ctx = cq;
  ctx.clearRect(0, 0, w, h);
  ctx.font = '11px system-ui, "DejaVu Sans", sans-serif';
  ctx.textBaseline = 'middle';
  ctx.fillStyle = '#4b5563';
  ctx.textAlign = 'left';
  ctx.fillText('altitude m', 4, 7);
  ctx.textAlign = 'right';
  for (const q of [RANGE_QUOTA.lo, RANGE_QUOTA.hi]) ctx.fillText(String(q), L.sinistra - 6, y_q(h, q));
  ctx.textAlign = 'left';
  if (!acceso.quota) return;
  ctx.save();
  ctx.beginPath(); ctx.rect(L.sinistra, 0, L.larghezza, h); ctx.clip();
  // One point a pixel column: what is drawn grows with the canvas, not the line.
  ctx.beginPath();
  const passo = (vista.a - vista.da) / Math.max(L.larghezza, 1);
  for (let x = 0; x <= L.larghezza; x++) {
    const y = y_q(h, quota_a(vista.da + x * passo));
    if (x === 0) ctx.moveTo(L.sinistra + x, y); else ctx.lineTo(L.sinistra + x, y);
  }
  ctx.lineTo(L.sinistra + L.larghezza, h - BASSO); ctx.lineTo(L.sinistra, h - BASSO); ctx.closePath();
  ctx.fillStyle = 'rgba(139, 90, 43, 0.18)'; ctx.fill();
  ctx.strokeStyle = '#8b5a2b'; ctx.lineWidth = 1.5; ctx.stroke();
  ctx.restore();
}
{
  tela_q.addEventListener('pointermove', (e) => {
    const r = tela_q.getBoundingClientRect(), x = e.clientX - r.left;
    if (x < L.sinistra || x > L.sinistra + L.larghezza) { nascondi(); return; }
    cursore = metro_di(x);
    const box = document.createDocumentFragment(), dl = el('dl');
    box.append(el('div', 'tipo', testo_metro(cursore)));
    voci(dl, [['altitude', Math.round(quota_a(cursore)) + ' m from the start'], ['gradient', String(valore_a(profili.pendenza, cursore)) + ' ‰']]);
    box.append(dl);
    mostra(box, e.clientX, e.clientY);
    richiedi();
  });
  tela_q.addEventListener('pointerleave', () => { nascondi(); cursore = null; richiedi(); });
}
