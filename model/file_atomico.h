// Replacing files as a whole: the new content goes to a temporary file in the
// same folder, which is then renamed over the target. A reader never sees a
// half-written file, and a failed write leaves the earlier file as it was.
#pragma once

#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

namespace modello {

// Throws std::system_error (naming the file) when the content cannot be
// written; the temporary file is removed in that case.
void scrivi_file_atomico(const std::filesystem::path& destinazione, std::string_view contenuto);

// Several files that belong together: every temporary file is written before
// the first rename, so a failed write leaves all earlier files untouched.
void scrivi_file_atomici(const std::vector<std::pair<std::filesystem::path, std::string_view>>& file);

}  // namespace modello
