// The rows of an author's file as check reads them, line by line: each
// keyword row with its values and where they stand, the headers, the line
// of [generale]. check's warning rules work on them; the language server
// answers over them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "memory_compile/problema.h"
#include "reference/riferimento.h"

namespace strumento::righe_lette {

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

// A blank between fields, as the readers skip it.
inline bool spazio(char c) { return c == ' ' || c == '\t'; }

// One value of a row as the reader reads it, and where it stands.
struct valore {
    std::int64_t numero = 0;
    std::string testo;  // text values, UTF-8
    int riga = 0;
    int colonna = 1;
    int colonna_fine = 1;  // just after the value's last character, on its line
    bool vuoto = false;    // a number field with nothing in it, read as 0
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

// One file's rows as read.
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

// The same, for a reader that wants the rows and not the problems.
file_letto leggi_righe(quale_file f, const std::string& byte);

}  // namespace strumento::righe_lette
