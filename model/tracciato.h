// The track geometry as the line reader lays it. Metres 0 and 1 are fixed;
// every later metre follows from the two before it and the turn of the run it
// belongs to. The model keeps the runs, not the two million values of the
// longest line: the geometry file is computed while it is written, and the
// values are produced whole only where a check or a tool asks for them.
#pragma once

#include <cstdint>
#include <vector>

#include "model/geometria.h"

namespace modello {

// The last two metres laid, from which the next one follows.
struct punta_tracciato {
    double x0 = 0.0, y0 = 0.0, x1 = 0.0, y1 = 1.0;
};

// The step rule, in one place for every output: lays n metres with turn k
// (0: straight) from p, each the step of the last metre turned with the
// first-order rotation, unnormalised, and hands each metre's component 0 to
// x.metti and component 1 to y.metti. p moves on to the last two metres laid.
// Everything the loop touches is a local: stores through the outputs then
// cannot alias the values, and the compiler keeps both chains in registers.
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

class tracciato_linea {
public:
    // Metres da..a laid with one turn.
    struct tratto {
        std::int32_t da;
        std::int32_t a;
        double k;
    };

    // A geometry of metres 0..ultimo, all empty.
    explicit tracciato_linea(std::int32_t ultimo) : ultimo_(ultimo) {}

    std::int32_t ultimo_metro() const { return ultimo_; }
    // Elements of the geometry file: both components of every metre.
    std::size_t elementi() const { return 2 * (static_cast<std::size_t>(ultimo_) + 1); }

    // Metres 0 and 1: the integers (0, 0) and (0, 1). Needs ultimo >= 1.
    void inizia();
    bool iniziato() const { return iniziato_; }

    // Lays metres da..a with turn k; da is the metre after the last laid and
    // a at most ultimo. An empty range (a < da) lays nothing.
    void posa(std::int32_t da, std::int32_t a, double k);

    // The last metre with a value: 1 after inizia, -1 before.
    std::int32_t ultimo_posato() const { return ultimo_posato_; }
    const std::vector<tratto>& tratti() const { return tratti_; }

    // Every element, in file order.
    geometria_linea valori() const;

private:
    std::int32_t ultimo_;
    bool iniziato_ = false;
    std::int32_t ultimo_posato_ = -1;
    std::vector<tratto> tratti_;
};

}  // namespace modello
