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

// Geometry-file element tag and double for one value: 10 bytes.
inline constexpr std::size_t byte_elemento_reale = 10;

// Lays n metres with turn k (0: straight) from p, each the step of the last
// metre turned with the first-order rotation, unnormalised; writes each
// metre's component 0 at x and component 1 at y as geometry-file elements.
// p moves on to the last two metres laid.
void codifica_metri(punta_tracciato& p, std::int64_t n, double k, char* x, char* y);

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
