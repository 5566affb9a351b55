// How every report of the tool names a route cell: by its index and its own
// metre, index × 50, "cell 61 (m 3050)", as dump lists the route. A position
// in a row stays a position: an object at position p stands in the cell its
// kind's offset gives (p / 50 + 1, rounded, for signals and boards), so the
// signal at 3000 is in cell 61 (m 3050).
#pragma once

#include <cstdint>
#include <string>

namespace strumento {

inline std::string nome_cella(std::int64_t c) {
    std::string s = "cell ";
    s.append(std::to_string(c)).append(" (m ").append(std::to_string(c * 50)).append(")");
    return s;
}

// A run of cells, "cells 5-10 (m 250-500)".
inline std::string nome_celle(std::int64_t da, std::int64_t a) {
    std::string s = "cells ";
    s.append(std::to_string(da)).append("-").append(std::to_string(a)).append(" (m ");
    s.append(std::to_string(da * 50)).append("-").append(std::to_string(a * 50)).append(")");
    return s;
}

}  // namespace strumento
