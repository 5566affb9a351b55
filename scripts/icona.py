#!/usr/bin/env python3
"""Writes the programs' Windows icon, a light signal on its mast, as an .ico
with 16, 32 and 48 pixel images (32-bit with alpha). Run again after a change
to the drawing and commit the result:

    python3 scripts/icona.py platform/windows/scenario.ico
"""
import struct
import sys

# The drawing in a 1 x 1 square, y downwards: (shape, colour RGBA).
TESTA = (0.30, 0.04, 0.70, 0.62, 0.12)    # signal head: x0, y0, x1, y1, corner radius
LUCI = [((0.50, 0.20), 0.13, (220, 30, 30, 255)),   # red above
        ((0.50, 0.46), 0.13, (40, 200, 70, 255))]   # green below
PALO = (0.45, 0.62, 0.55, 0.90)           # mast
BASE = (0.28, 0.88, 0.72, 0.97)           # foot
BORDO = (20, 20, 20, 255)
GRIGIO_TESTA = (45, 45, 50, 255)
GRIGIO_PALO = (120, 120, 125, 255)


def nel_rettangolo_arrotondato(x, y, r):
    x0, y0, x1, y1, raggio = r
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + raggio), x1 - raggio)
    cy = min(max(y, y0 + raggio), y1 - raggio)
    return (x - cx) ** 2 + (y - cy) ** 2 <= raggio ** 2


def colore(x, y):
    """The colour at a point of the square, None where it is transparent."""
    for (cx, cy), raggio, c in LUCI:
        d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
        if d <= raggio:
            return c
        if d <= raggio + 0.025:
            return BORDO
    if nel_rettangolo_arrotondato(x, y, TESTA):
        return GRIGIO_TESTA
    for x0, y0, x1, y1 in (PALO, BASE):
        if x0 <= x <= x1 and y0 <= y <= y1:
            return GRIGIO_PALO
    return None


def immagine(lato, campioni=4):
    """Rows top to bottom of (r, g, b, a), each pixel the average of a grid of samples."""
    righe = []
    for py in range(lato):
        riga = []
        for px in range(lato):
            somma = [0, 0, 0, 0]
            for sy in range(campioni):
                for sx in range(campioni):
                    c = colore((px + (sx + 0.5) / campioni) / lato, (py + (sy + 0.5) / campioni) / lato)
                    if c is None:
                        continue
                    for k in range(3):
                        somma[k] += c[k] * c[3]
                    somma[3] += c[3]
            n = campioni * campioni
            a = somma[3] / n
            if a == 0:
                riga.append((0, 0, 0, 0))
            else:
                riga.append(tuple(round(somma[k] / somma[3]) for k in range(3)) + (round(a),))
        righe.append(riga)
    return righe


def bitmap(lato):
    """One image of the .ico: BITMAPINFOHEADER, BGRA rows bottom-up, an all-zero AND mask."""
    righe = immagine(lato)
    intestazione = struct.pack('<IiiHHIIiiII', 40, lato, 2 * lato, 1, 32, 0, 0, 0, 0, 0, 0)
    pixel = b''.join(bytes((b, g, r, a)) for riga in reversed(righe) for (r, g, b, a) in riga)
    maschera = bytes(((lato + 31) // 32) * 4 * lato)
    return intestazione + pixel + maschera


def main():
    lati = [16, 32, 48]
    immagini = [bitmap(l) for l in lati]
    uscita = struct.pack('<HHH', 0, 1, len(lati))
    posizione = 6 + 16 * len(lati)
    for lato, dati in zip(lati, immagini):
        uscita += struct.pack('<BBBBHHII', lato, lato, 0, 0, 1, 32, len(dati), posizione)
        posizione += len(dati)
    uscita += b''.join(immagini)
    with open(sys.argv[1], 'wb') as f:
        f.write(uscita)


if __name__ == '__main__':
    main()
