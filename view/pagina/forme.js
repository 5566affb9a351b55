// What both views draw with: the objects of a list in sight, and two marks.

// The objects of a list inside the visible range; one per pixel column.
function visibili(lista, fn) {
  if (!lista) return;
  let ultimo = -1;
  for (let i = primo((k) => lista[k].metro + 1e-9, lista.length, vista.da - 1e-9); i < lista.length; i++) {
    const x = lista[i];
    if (x.metro > vista.a) break;
    const px = Math.round(x_di(x.metro));
    if (px === ultimo) continue;
    ultimo = px;
    fn(x, px + 0.5);
  }
}

function triangolo(ctx, x, y, r, giu) {
  ctx.beginPath();
  if (giu) { ctx.moveTo(x - r, y - r * 1.6); ctx.lineTo(x + r, y - r * 1.6); ctx.lineTo(x, y); }
  else { ctx.moveTo(x - r, y); ctx.lineTo(x + r, y); ctx.lineTo(x, y - r * 1.6); }
  ctx.closePath(); ctx.fill();
}
function rombo(ctx, x, y, r) {
  ctx.beginPath(); ctx.moveTo(x, y - r); ctx.lineTo(x + r, y); ctx.lineTo(x, y + r); ctx.lineTo(x - r, y);
  ctx.closePath(); ctx.fill();
}
