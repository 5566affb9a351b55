// Text from an author's file, a compiled file or the command line, made safe
// to print on a terminal or in JSON: every character that would act on the
// terminal, hide itself or look like a plain blank is shown as a visible
// escape, so that what is printed is what the file holds.
//
//   \xNN      a control byte: C0 (but tab), DEL, and the C1 range, where the
//             five bytes Windows-1252 leaves unused are read; also every byte
//             of text meant as UTF-8 that is not UTF-8
//   <NBSP>    no-break space
//   <BOM>     byte-order mark (U+FEFF; in a Windows-1252 line, the bytes of a
//             UTF-8 one at its start)
//   <SHY>     soft hyphen
//   <U+XXXX>  spaces other than the plain one and the no-break one, and
//             other characters that print as nothing or turn the text's
//             direction: zero-width ones, line and paragraph separators,
//             bidirectional controls
//
// A tab stays a tab and a backslash a backslash: both are what the author
// typed, and neither acts on a terminal. The result is always valid UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace testo {

std::string visibile(std::string_view utf8);

// The same for a message of several lines, such as the command line's own
// errors: each line feed stays a line feed, each line is made safe.
std::string visibile_su_righe(std::string_view utf8);

// Bytes of an input file's line, read as the readers read them (Windows-1252).
// A UTF-8 byte-order mark at its start is shown as <BOM>.
std::string visibile_1252(std::string_view byte);

}  // namespace testo
