// The line as the driver meets it, for the railway rules: the kilometre
// figure at each metre from the progressives the compiler keeps, the
// figure a kilometre board's text gives, the train's speed limit at a cell
// and the row that set it, a board's speeds. Only the railway rules
// include it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "check/righe_lette.h"
#include "memory_compile/problema.h"
#include "memory_compile/registro.h"
#include "model/modello.h"

namespace strumento::regole_ferrovia {

// A progressive as the compiler keeps it (table records 81 to 83 after its
// ordering).
struct progressiva {
    int record = 0;
    std::int64_t inizio = 0;  // metre from which it is in force
    std::int64_t valore = 0;  // the kilometric value at its start, in metres, as written
    std::int64_t codice = 0;  // direction code; 1: the figures count down
    bool decrescente() const { return codice == 1; }
};

// The records not cleared (start, value and code not all 0), by record.
std::vector<progressiva> progressive_tenute(const modello::Modello& m);

// The row that gave a kept progressive: the last of the file with its start,
// value and code.
const righe_lette::riga_voce* riga_di(const righe_lette::file_letto& linea, const progressiva& p);

// The progressive in force at a metre: of those that start at or before it,
// the one that starts last, the earlier record on a tie; none before the
// first start.
const progressiva* in_vigore(std::span<const progressiva> p, std::int64_t metro);

// The kilometre figure, in metres, of a metre where p is in force.
std::int64_t chilometrica(const progressiva& p, std::int64_t metro);

// "km 345+600"; negative figures as "km -0+050".
std::string km_scritto(std::int64_t metri);

// Where a metre is, as the driver reads it: "km 345+600 (metre 4400)", or
// "metre 4400" where no progressive is in force.
std::string dove(std::span<const progressiva> p, std::int64_t metro);

// The kilometre figure a board's text gives, in metres, in the forms authors
// write it: "Km 37+650", "km 37.650", "km 37,65", "37+650", "37,65". None
// when the text gives no figure.
std::optional<std::int64_t> km_del_testo(std::string_view testo);

// The train file's speed rows, in the order of the cells they begin at
// (file order among equals): to find the row that set a cell's limit.
class righe_velocita {
public:
    explicit righe_velocita(const righe_lette::file_letto& treno);
    // The row in force at cell c: the last to begin at or before it.
    const righe_lette::riga_voce* in_vigore(std::int64_t cella) const;

private:
    struct inizio {
        std::int64_t cella;
        const righe_lette::riga_voce* riga;
    };
    std::vector<inizio> righe_;
};

// The train's speed limit at a cell of the route, km/h.
inline std::int64_t velocita_treno(const modello::Modello& m, std::int64_t cella) {
    return static_cast<std::int64_t>(m.percorso[static_cast<std::size_t>(cella)].velocita) * 5;
}

// A speed indicator board's speeds for the three categories a, b, c of one
// side, km/h; 0 where the side shows none.
struct velocita_cartello {
    std::int64_t a = 0, b = 0, c = 0;
    std::int64_t massima() const { return std::max({a, b, c}); }
};
velocita_cartello lato_sinistro(const modello::cella& x);
velocita_cartello lato_destro(const modello::cella& x);

// The note that points at another row.
rimando rimando_a(const righe_lette::riga_voce& r, std::string messaggio);

// The complete row whose keyword stands on line riga of f, if any.
const righe_lette::riga_voce* riga_alla(const righe_lette::file_letto& f, int riga);

// The objects of one kind the rows placed, by cell: their index in the
// recorder.
std::vector<std::size_t> posati(const registro_controllo& r, modello::oggetto_posato cosa);

}  // namespace strumento::regole_ferrovia
