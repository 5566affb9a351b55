// Writing a built-in document: its lines, then the end sentinel, in a fixed
// array; the file gets every line before the sentinel, each ended by CR LF,
// converted to Windows-1252, and replaces any earlier file of that name whole.
#pragma once

#include <array>
#include <filesystem>
#include <span>
#include <string_view>

namespace testi_scenario {

inline constexpr std::string_view sentinella = "riferimento fine del file";
inline constexpr std::size_t massimo_righe = 1000;

// A document as the emitters hold it: lines from index 0, the sentinel after
// the last one, the rest empty and never looked at.
using righe_documento = std::array<std::string_view, massimo_righe + 1>;

// Copies a document's constant lines into a fresh array and closes it with
// the sentinel.
template <std::size_t N>
righe_documento con_sentinella(const std::array<std::string_view, N>& testo) {
    static_assert(N <= massimo_righe, "a document holds at most 1000 lines");
    righe_documento righe{};
    for (std::size_t i = 0; i < N; ++i) righe[i] = testo[i];
    righe[N] = sentinella;
    return righe;
}

// The bytes of the file: every line up to the sentinel, CR LF after each.
std::string testo_file(std::span<const std::string_view> righe);

// Writes the document to the file, replacing it atomically. Throws
// std::system_error when the file cannot be written.
void scrivi_documento(const std::filesystem::path& file, std::span<const std::string_view> righe);

}  // namespace testi_scenario
