// The train file reader: the second half of memorizza_dati. It reads the
// train file's bytes into the table's station and train records and the
// route grid.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "model/modello.h"
#include "text/file_ingresso.h"
#include "text/parole.h"

namespace lettura {

// Reads the train file after the line description, calling file.chiuso where
// its reading ends; the stop point names the file file.nome. The outcome is in
// m.codice_errore; run-time failures (a row cut short, a number too large for
// its field) escape as exceptions for the caller's handler.
void leggi_treno(modello::Modello& m, testo::file_ingresso file);

// One keyword entry of the train file: a keyword field after "[generale]"
// that holds `prima` and, when given, `seconda` has the row's values read
// after it.
struct parola_treno {
    std::string_view prima;
    std::string_view seconda;  // empty when the entry has one keyword
    bool ignora_maiuscole;
};

inline bool riconosce(const parola_treno& p, std::string_view campo) {
    const auto trova = p.ignora_maiuscole ? testo::contiene_i : testo::contiene;
    return trova(campo, p.prima) && (p.seconda.empty() || trova(campo, p.seconda));
}

// The entries the reader recognises, in the order they are tried on a keyword
// field. Every entry that a field matches is read, not only the first. This is
// the reader's own table, for tools that list or check keywords.
std::span<const parola_treno> parole_treno();

// What placing an object came to: the code it set (0: placed) and, when a
// cell it wanted was taken, that cell.
struct esito_posa {
    std::int32_t codice = 0;
    std::optional<std::int64_t> cella_contesa;
};

// Places a block signal for the row whose keyword is on line riga; tempo is
// raised to 101 when 1..100. Code 16 (also set as the status) when the
// signal's cell is taken.
esito_posa memo_segnale(modello::Modello& m, int riga, std::int32_t posizione, std::int32_t sx, std::int32_t s1,
                        std::int32_t s2, std::int32_t s3, std::int32_t rapp, std::int32_t dx, std::int32_t d1,
                        std::int32_t d2, std::int32_t d3, std::int32_t& tempo);

// Places a slowdown for the row whose keyword is on line riga: warning point,
// start, end and, when f_ta is nonzero, the four cells before the warning
// point. The code it set: 17 to 20, or 15 when the end lies beyond the grid.
esito_posa memo_rallentamento(modello::Modello& m, int riga, std::int32_t posizione, std::int32_t v, std::int32_t l,
                              std::int32_t f_tt, std::int32_t f_ta, std::int32_t d_v);

}  // namespace lettura
