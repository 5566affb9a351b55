// A problem of an author's two files, tied to a file and a line: an error
// of the compiler (its status code) or a warning of one of check's rules.
// The compile in memory makes the errors; check adds its warnings and prints
// them all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reference/voci_controllo.h"

namespace strumento {

enum class gravita { errore, avviso };

// Another row a problem points at: where the earlier object was placed.
struct rimando {
    quale_file file;
    int riga = 0;
    std::string messaggio;
};

// The one edit that fixes a warning, when it has exactly one: the text of
// line riga from colonna up to colonna_fine (excluded) replaced. Where the
// compiler rounds or narrows a value, the edit writes what it makes of it.
struct correzione {
    int riga = 1;  // from 1
    int colonna = 1;
    int colonna_fine = 1;
    std::string testo;  // UTF-8
};

struct problema {
    quale_file file;
    int riga = 1;  // from 1
    int colonna = 1;
    gravita livello = gravita::errore;
    std::optional<std::int32_t> codice;  // errors: the compiler's status code
    std::string regola;                  // warnings: the rule's name
    std::optional<std::int64_t> metro;   // the position the problem is at, when it has one
    std::string messaggio;
    std::vector<rimando> correlati;
    std::optional<correzione> rimedio{};  // the one fix; check's text leaves it out
};

// The line description's problems first, then the train file's; by line within
// a file, errors before warnings on the same line. Stable otherwise.
void ordina(std::vector<problema>& p);

}  // namespace strumento
