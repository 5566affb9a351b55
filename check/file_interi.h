// What can be told of an author's file as a whole, before its rows: an
// encoding the readers cannot read, and a file in which they never find
// [generale]. Both make every row of the file meaningless to report one by
// one, so check says each once, at line 1, in place of its rows' problems,
// and compile adds it to its report.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/problemi.h"

namespace strumento {

enum class codifica { windows_1252, utf16le, utf16be };

// UTF-16 by its byte-order mark, or without one by its zero bytes, which
// fill every other byte of text in Latin letters. A UTF-8 byte-order mark is
// no problem: the readers skip it with the text before [generale].
codifica riconosci_codifica(std::string_view byte);

// The line of the first field that holds "[generale]" as the readers look for
// it (in any case, anywhere in the field), or none.
std::optional<int> riga_generale(const std::string& byte);

// The whole-file problems of the two files, in place of what their rows would
// otherwise give: a UTF-16 file keeps one error and nothing else of its own; a
// file without [generale] keeps no warning that a row stands before it (the
// line description has the compiler's error 102 for it, the train file, which
// the compiler takes without a word, gets an error of its own).
void problemi_file_interi(const std::string& linea, const std::string& treno, std::vector<problema>& p);

// The same findings as sentences for compile's report, line description first.
std::vector<std::string> note_file_interi(const std::string& linea, const std::string& treno);

}  // namespace strumento
