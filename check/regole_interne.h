// What the files of check's warning rules share: the rules' names, the rows
// as read line by line, and a few small text helpers. Only those files and
// the language server, which reads rows as check does, include it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/problemi.h"
#include "model/orario.h"
#include "reference/riferimento.h"
#include "text/righe.h"

namespace strumento::regole_interne {


// Where in a file a line stands: the readers look for different keywords
// before [generale], in the line description's general block and body, and in
// the train file after [generale].
enum class zona : std::uint8_t { preambolo, generale, corpo, treno };

// One keyword entry of a reader, with its reference entry (its values).
struct voce_nota {
    quale_file file;
    std::size_t indice;  // in parole_linea() or parole_treno()
    zona blocco;
    const riferimento::parola* rif;

    bool riconosce(std::string_view campo) const;
    std::string_view argomento() const { return rif->argomento; }
};

inline bool spazio(char c) { return c == ' ' || c == '\t'; }

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

using testo::dividi_righe;
using testo::riga_testo;

// One value of a row as the reader reads it, and where it stands.
struct valore {
    std::int64_t numero = 0;
    std::string testo;  // text values, UTF-8
    int riga = 0;
    int colonna = 1;
    int colonna_fine = 1;  // just after the value's last character, on its line
};

// A row whose values were all read from its own lines.
struct riga_voce {
    const voce_nota* voce;
    int riga;
    std::vector<valore> valori;

    std::int64_t n(std::size_t i) const { return i < valori.size() ? valori[i].numero : 0; }
    std::string_view argomento() const { return voce->argomento(); }
    // A row that places something on the route: the body of the line
    // description, and the train file's rows that begin with a position.
    bool ha_posizione() const {
        if (voce->file == quale_file::linea) return voce->blocco == zona::corpo;
        return !voce->rif->campi.empty() && voce->rif->campi[0].unita == "m";
    }
    std::optional<std::int64_t> metro() const {
        if (ha_posizione() && !valori.empty()) return valori[0].numero;
        return std::nullopt;
    }
    // The index of the value the reference names so, or none.
    std::optional<std::size_t> indice(std::string_view nome) const {
        const auto campi = voce->rif->campi;
        for (std::size_t i = 0; i < campi.size() && i < valori.size(); ++i)
            if (campi[i].nome == nome) return i;
        return std::nullopt;
    }
};

// A section header as read, on its line.
struct intestazione_letta {
    int riga = 0;
    std::string testo;  // the field, UTF-8
};

struct file_letto {
    quale_file file;
    std::vector<riga_voce> righe;
    int riga_generale = 0;  // the line holding [generale]; 0 when none does
    std::vector<intestazione_letta> intestazioni;  // after [generale], in order
};

// Reads one file line by line and reports the rules that look at single rows:
// keywords, headers, comments, field counts and number formats. The rows it
// returns are the complete ones, for the rules on values.
file_letto leggi_righe(quale_file f, const std::string& byte, std::vector<problema>& p);

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
