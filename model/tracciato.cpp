#include "model/tracciato.h"

#include <stdexcept>

#include "model/binario.h"

namespace modello {

namespace {

constexpr auto etichetta_reale = static_cast<std::uint16_t>(valore_geometria::tipo::reale);

// Where the values of the metres go: geometry-file elements for the writer,
// plain doubles for valori().
struct uscita_codificata {
    char* p;
    void metti(double v) {
        p = binario::metti_u16(p, etichetta_reale);
        p = binario::metti_f64(p, v);
    }
};

struct uscita_numeri {
    double* p;
    void metti(double v) { *p++ = v; }
};

// The step rule, in one place for both outputs. Everything the loop touches
// is a local: stores through the output pointers then cannot alias the
// values, and the compiler keeps both chains in registers.
template <class Uscita>
void avanza(punta_tracciato& p, std::int64_t n, double k, Uscita x, Uscita y) {
    double x0 = p.x0, y0 = p.y0, x1 = p.x1, y1 = p.y1;
    for (std::int64_t i = 0; i < n; ++i) {
        const double dx = x1 - x0;
        const double dy = y1 - y0;
        const double nx = k == 0.0 ? x1 + dx : x1 + (dx + k * dy);
        const double ny = k == 0.0 ? y1 + dy : y1 + (dy - k * dx);
        x.metti(nx);
        y.metti(ny);
        x0 = x1;
        y0 = y1;
        x1 = nx;
        y1 = ny;
    }
    p = {x0, y0, x1, y1};
}

}  // namespace

// Kept out of line: inlined into a caller that also makes system calls, the
// loop lost its registers and ran three times slower.
__attribute__((noinline)) void codifica_metri(punta_tracciato& p, std::int64_t n, double k, char* x, char* y) {
    avanza(p, n, k, uscita_codificata{x}, uscita_codificata{y});
}

void tracciato_linea::inizia() {
    if (ultimo_ < 1) throw std::logic_error("geometry too short for its first two metres");
    iniziato_ = true;
    ultimo_posato_ = 1;
    tratti_.clear();
}

void tracciato_linea::posa(std::int32_t da, std::int32_t a, double k) {
    if (a < da) return;
    if (!iniziato_ || da != ultimo_posato_ + 1 || a > ultimo_)
        throw std::logic_error("geometry run out of sequence");
    tratti_.push_back({da, a, k});
    ultimo_posato_ = a;
}

geometria_linea tracciato_linea::valori() const {
    geometria_linea g(ultimo_);
    if (!iniziato_) return g;
    g.imposta(0, 0, valore_geometria::da_intero(0));
    g.imposta(1, 0, valore_geometria::da_intero(0));
    g.imposta(0, 1, valore_geometria::da_intero(0));
    g.imposta(1, 1, valore_geometria::da_intero(1));
    std::vector<double> x(static_cast<std::size_t>(ultimo_) + 1), y(x.size());
    punta_tracciato p;
    for (const tratto& t : tratti_) {
        const auto da = static_cast<std::size_t>(t.da);
        avanza(p, static_cast<std::int64_t>(t.a) - t.da + 1, t.k, uscita_numeri{x.data() + da},
               uscita_numeri{y.data() + da});
    }
    for (std::int32_t m = 2; m <= ultimo_posato_; ++m) {
        g.imposta(m, 0, valore_geometria::da_reale(x[static_cast<std::size_t>(m)]));
        g.imposta(m, 1, valore_geometria::da_reale(y[static_cast<std::size_t>(m)]));
    }
    return g;
}

}  // namespace modello
