// textDocument/formatting: each row that reads, on one line, written again
// with the blanks the built-in files put after its commas. The widths come
// from the emitter's own lines, so the built-in files are their own fixed
// point; comments, headers and rows that do not read stay as they are.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "lsp/righe_documento.h"
#include "lsp/funzioni.h"
#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"

namespace lsp {

namespace {

using namespace righe_documento;
namespace rf = riferimento;

// A row on one line split at its commas: each field's place without its
// blanks, and the blanks after each comma. None when the line holds a quote
// or more fields than the row's values.
struct riga_divisa {
    std::vector<std::pair<std::size_t, std::size_t>> campi;  // [da, a) of each field
    std::vector<std::string_view> spazi;
};

std::optional<riga_divisa> dividi(std::string_view riga, const rl::riga_voce& r) {
    if (riga.find('"') != std::string_view::npos) return std::nullopt;
    riga_divisa d;
    std::size_t da = 0;
    for (;;) {
        const std::size_t a = std::min(riga.find(',', da), riga.size());
        std::size_t b = da, e = a;
        while (b < e && rl::spazio(riga[b])) ++b;
        while (e > b && rl::spazio(riga[e - 1])) --e;
        if (da > 0) d.spazi.push_back(riga.substr(da, b - da));
        d.campi.emplace_back(b, e);
        if (a == riga.size()) break;
        da = a + 1;
    }
    if (d.campi.size() != r.valori.size() + 1) return std::nullopt;
    return d;
}

// For each entry and each of its commas, how the built-in files write what
// follows it: the blanks they put there, and the widths of blanks and value
// together when they align the values to the right.
struct colonna {
    std::map<std::size_t, int> spazi;   // blanks -> rows
    std::map<std::size_t, int> larghezze;  // blanks + value -> rows
    static std::size_t piu_usato(const std::map<std::size_t, int>& m) {
        std::size_t r = 1;
        int n = 0;
        for (const auto& [k, quante] : m)
            if (quante > n) n = quante, r = k;
        return r;
    }
    // The blanks before a value of this length.
    std::size_t spazi_per(std::size_t lunghezza) const {
        // Fewer widths than blank counts: the values are aligned.
        if (larghezze.size() < spazi.size()) {
            const std::size_t l = piu_usato(larghezze);
            return l > lunghezza ? l - lunghezza : 1;
        }
        return piu_usato(spazi);
    }
    bool nota(std::size_t n, std::size_t lunghezza) const {
        return spazi.contains(n) || larghezze.contains(n + lunghezza);
    }
};
using colonne = std::vector<colonna>;

void raccogli(std::map<const rf::parola*, colonne>& t, quale_file f, std::span<const std::string_view> righe) {
    const std::string byte = testi_scenario::testo_file(righe);
    const documento_letto l = leggi(byte, f);
    for (const auto& r : l.voci.righe) {
        if (r.valori.empty() || r.valori.back().riga != r.riga) continue;
        const auto d = dividi(riga_di(byte, l, r.riga), r);
        if (!d) continue;
        auto& c = t[r.voce->rif];
        if (c.size() < d->spazi.size()) c.resize(d->spazi.size());
        for (std::size_t k = 0; k < d->spazi.size(); ++k) {
            const auto [da, a] = d->campi[k + 1];
            ++c[k].spazi[d->spazi[k].size()];
            ++c[k].larghezze[d->spazi[k].size() + a - da];
        }
    }
}

const std::map<const rf::parola*, colonne>& tabella() {
    static const auto t = [] {
        std::map<const rf::parola*, colonne> r;
        raccogli(r, quale_file::linea, testi_scenario::righe_linea);
        raccogli(r, quale_file::treno, testi_scenario::righe_treno);
        return r;
    }();
    return t;
}

}  // namespace

nlohmann::json formattazione(const scenario_aperto& s, quale_file f) {
    const auto& byte = s.di(f).testo;
    const documento_letto l = leggi(byte, f);
    json r = json::array();
    for (const auto& riga : l.voci.righe) {
        if (riga.valori.empty() || riga.valori.back().riga != riga.riga) continue;
        const std::string_view scritta = riga_di(byte, l, riga.riga);
        const auto d = dividi(scritta, riga);
        if (!d) continue;
        const auto t = tabella().find(riga.voce->rif);
        // The blanks after comma k: as written when the built-in files write
        // so, else as most of their rows do (one blank for an entry they lack).
        auto spazi = [&](std::size_t k) -> std::string {
            const auto [da, a] = d->campi[k + 1];
            if (t == tabella().end() || k >= t->second.size()) return " ";
            const auto& c = t->second[k];
            if (c.nota(d->spazi[k].size(), a - da)) return std::string(d->spazi[k]);
            return std::string(c.spazi_per(a - da), ' ');
        };
        // Only blanks and commas change: the fields' own text is never written.
        auto cambia = [&](std::size_t da, std::size_t a, const std::string& con) {
            if (scritta.substr(da, a - da) == con) return;
            r.push_back({{"range", intervallo_json(riga.riga - 1, static_cast<int>(da), riga.riga - 1, static_cast<int>(a))},
                         {"newText", con}});
        };
        cambia(0, d->campi.front().first, "");
        for (std::size_t i = 1; i < d->campi.size(); ++i)
            cambia(d->campi[i - 1].second, d->campi[i].first, std::string(",").append(spazi(i - 1)));
        cambia(d->campi.back().second, scritta.size(), "");
    }
    return r;
}

}  // namespace lsp
