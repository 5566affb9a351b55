#include "text/righe.h"

namespace testo {

std::vector<riga_testo> dividi_righe(std::string_view t) {
    const auto a_capo = [](char c) { return c == '\r' || c == '\n'; };
    std::vector<riga_testo> r;
    std::size_t i = 0;
    int n = 1;
    while (i < t.size()) {
        std::size_t j = i;
        while (j < t.size() && !a_capo(t[j])) ++j;
        std::size_t k = j;
        if (k < t.size()) {
            if (t[k] == '\r' && k + 1 < t.size() && t[k + 1] == '\n') ++k;
            ++k;
        }
        r.push_back({n++, i, j, k});
        i = k;
    }
    return r;
}

}  // namespace testo
