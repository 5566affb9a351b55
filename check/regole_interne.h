// What the files of check's warning rules share: the rules over the rows as
// read line by line (check/righe_lette.h), and a few small text helpers. Only
// those files include it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/problemi.h"
#include "check/righe_lette.h"
#include "model/orario.h"
#include "reference/riferimento.h"
#include "text/righe.h"

namespace strumento::regole_interne {

using namespace righe_lette;

// Appended piece by piece: an operator+ chain trips a false GCC 12 warning
// once inlined.
inline std::string tra_apici(std::string_view s) {
    std::string r = "'";
    r.append(s).append("'");
    return r;
}

// A time in a message, as the author writes it: hours without a leading zero.
inline std::string ora_scritta(std::int64_t h, std::int64_t m, std::int64_t s) {
    return modello::orario::scritta(h, m, s, modello::orario::ore_scritte::come_sono);
}

// A position along the line in a message, as the driver counts it from the
// line's start: "km 44.000".
inline std::string km(std::int64_t metri) {
    const std::int64_t a = metri < 0 ? -metri : metri;
    std::string millesimi = std::to_string(a % 1000);
    millesimi.insert(0, 3 - millesimi.size(), '0');
    return std::string(metri < 0 ? "km -" : "km ") + std::to_string(a / 1000) + "." + millesimi;
}

using testo::dividi_righe;
using testo::riga_testo;

// The rules on values across the rows of both files: positions past the
// line's end or off the 50 m grid, rows out of order, overlapping curves and
// mountains, packed and narrowed values, station times.
void avvisi_valori(const file_letto& linea, const file_letto& treno, std::vector<problema>& p);

// The line's length as the last length entry gives it, and the route grid's
// last cell; none when the length is missing or the compiler refuses it.
struct lunghezza_linea {
    const riga_voce* riga;
    std::int64_t metri;
    std::int64_t numero_celle;
};
std::optional<lunghezza_linea> lunghezza_di(const file_letto& linea);

// A warning of a rule at value `campo` of row r (at the row when it has no
// such value).
problema avviso_a(std::string_view regola, const riga_voce& r, std::size_t campo, std::string testo,
                  std::vector<rimando> correlati = {});

// The rules on values the format gives a range or an order: values outside
// their reference range, impossible times, stretches that end before they
// start, runs that begin after metre 0, extents past the line's end. Run
// after the others: a value another rule already reported is not reported
// again.
void avvisi_ambiti(const file_letto& linea, const file_letto& treno, std::vector<problema>& p);

}  // namespace strumento::regole_interne
