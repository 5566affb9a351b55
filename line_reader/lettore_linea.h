// The line description reader: the first half of memorizza_dati. It reads
// the line description's bytes into the table's general records, the route
// grid and the geometry.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "model/modello.h"
#include "text/file_ingresso.h"
#include "text/parole.h"

namespace lettura {

// Reads the line description, calling file.chiuso where its reading ends.
// The stop point names the file file.nome. Returns true when the train file is to be read
// next (the reading ended at the end of the file or softly with code 15),
// false after a hard stop (the code is in m.codice_errore). Run-time failures
// (a field read past the end, a number too large, no length entry) escape as
// exceptions for the caller's general handler.
bool leggi_linea(modello::Modello& m, testo::file_ingresso file);

// The two blocks of the line description in which entries are recognised:
// the general block, from the field holding "[generale]" up to and including
// the first header field after it, and the body, the rest of the file.
enum class blocco_linea : std::uint8_t { generale, corpo };

// One keyword entry of the line description: a keyword field that holds
// `prima` and, when given, `seconda` has the entry's values read after it.
struct parola_linea {
    std::string_view prima;
    std::string_view seconda;  // empty when the entry has one keyword
    bool ignora_maiuscole;
    blocco_linea blocco;
    bool solo_con_geometria = false;  // not even tested when no geometry is built
};

inline bool riconosce(const parola_linea& p, std::string_view campo) {
    const auto trova = p.ignora_maiuscole ? testo::contiene_i : testo::contiene;
    return trova(campo, p.prima) && (p.seconda.empty() || trova(campo, p.seconda));
}

// The entries the reader recognises, general block first, each block in the
// order its entries are tried on a keyword field. Every entry that a field
// matches is read, not only the first. This is the reader's own table, for
// tools that list or check keywords.
std::span<const parola_linea> parole_linea();

// Puts the three kilometric-progressive records 81..83 into their fixed
// order and adds 100 to the value of those with direction code 1.
void progressive_ordina(modello::Modello& m);

// Records mountain stretch (inizio, fine, tipo) and marks its cells. tipo is
// changed as the stretch is classified.
void memo_montagna(modello::Modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo);

// Places a maximum-speed indicator board for the row whose keyword is on
// line riga; sets code 21 when its cell is taken, and returns that cell.
std::optional<std::int64_t> memo_indicatori_v_max(modello::Modello& m, int riga, std::int32_t posizione,
                                                  std::int32_t vas, std::int32_t vbs, std::int32_t vcs,
                                                  std::int32_t strisces, std::int32_t vad, std::int32_t vbd,
                                                  std::int32_t vcd, std::int32_t strisced);

}  // namespace lettura
