// How explain finds an entry under another name than the table's: the
// reference's own files only.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace riferimento {

// The forms a topic as written may stand for, itself first: without accents,
// "-" and "_" as blanks, and the singular of an English or Italian plural
// ("segnali": "segnale", "segnalo", "segnala"). Takes small letters.
std::vector<std::string> forme(std::string_view scritto);

// The entry (a topic's or a keyword's name) that another name stands for
// ("signal": "segnale"); empty when it stands for none.
std::string_view altro_nome_di(std::string_view forma);

// Every other name, for the closest topics to an unknown one.
std::vector<std::string_view> tutti_gli_altri_nomi();

}  // namespace riferimento
