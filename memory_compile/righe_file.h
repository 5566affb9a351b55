// An author's file as lines, for compiling it again with some rows taken out.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "text/righe.h"

namespace strumento {

// One input file as lines, each with its own line end, so that a row can be
// turned into a comment and every other line keeps its number.
class righe_file {
public:
    explicit righe_file(std::string contenuto)
        : testo_(std::move(contenuto)), righe_(testo::dividi_righe(testo_)), tolta_(righe_.size(), false) {}

    // Lines da to a (from 1) become comment rows; false when every one of
    // them already was one (or none exists), so nothing changes.
    bool togli(int da, int a) {
        bool cambiata = false;
        for (int k = std::max(da, 1); k <= a && k <= static_cast<int>(righe_.size()); ++k) {
            if (tolta_[static_cast<std::size_t>(k - 1)]) continue;
            tolta_[static_cast<std::size_t>(k - 1)] = true;
            cambiata = true;
        }
        if (cambiata) ++versione_;
        return cambiata;
    }

    // Counts the changes: the same number, the same text.
    int versione() const { return versione_; }

    // The lines taken out, from 1, in order.
    std::vector<int> tolte() const {
        std::vector<int> r;
        for (std::size_t k = 0; k < tolta_.size(); ++k)
            if (tolta_[k]) r.push_back(static_cast<int>(k + 1));
        return r;
    }

    // Line n (from 1) as written, without its line end; empty when there is none.
    std::string_view riga(int n) const {
        if (n < 1 || n > static_cast<int>(righe_.size())) return {};
        const auto& r = righe_[static_cast<std::size_t>(n - 1)];
        return std::string_view(testo_).substr(r.inizio, r.fine - r.inizio);
    }

    // The file with the rows taken out: "-" is a comment row for both readers.
    std::string testo() const {
        std::string t;
        for (const auto& r : righe_) {
            if (tolta_[static_cast<std::size_t>(r.numero - 1)])
                t.append("-").append(testo_, r.fine, r.dopo - r.fine);
            else
                t.append(testo_, r.inizio, r.dopo - r.inizio);
        }
        return t;
    }

private:
    std::string testo_;
    std::vector<testo::riga_testo> righe_;
    std::vector<bool> tolta_;
    int versione_ = 0;
};

}  // namespace strumento
