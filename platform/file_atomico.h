// Replacing files as a whole: the new content goes to a temporary file in the
// same folder, which is then renamed over the target. A reader never sees a
// half-written file, and a failed write leaves the earlier file as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace piattaforma {

// Throws std::system_error (naming the file) when the content cannot be
// written; the temporary file is removed in that case.
void scrivi_file_atomico(const std::filesystem::path& destinazione, std::string_view contenuto);

// Several files that belong together: every temporary file is written before
// the first rename, so a failed write leaves all earlier files untouched.
void scrivi_file_atomici(const std::vector<std::pair<std::filesystem::path, std::string_view>>& file);

// A file whose content is handed over in pieces, so that a large file never
// has to lie in memory whole: produci calls scrivi for each piece with the
// byte position where it goes. Pieces may come in any order; bytes no piece
// covers read as zeros.
using scrittore = std::function<void(std::uint64_t posizione, std::string_view pezzo)>;
struct file_a_pezzi {
    std::filesystem::path destinazione;
    std::function<void(const scrittore& scrivi)> produci;
};
void scrivi_file_atomici(const std::vector<file_a_pezzi>& file);

}  // namespace piattaforma
