#include "model/tracciato.h"

#include <stdexcept>

namespace modello {

namespace {

// Plain doubles, for valori().
struct uscita_numeri {
    double* p;
    void metti(double v) { *p++ = v; }
};

}  // namespace

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
