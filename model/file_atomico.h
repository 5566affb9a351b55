// Replacing a file as a whole: the new content goes to a temporary file in the
// same folder, which is then renamed over the target. A reader never sees a
// half-written file, and a failed write leaves the earlier file as it was.
#pragma once

#include <filesystem>
#include <string_view>

namespace modello {

// Throws std::system_error (naming the file) when the content cannot be
// written; the temporary file is removed in that case.
void scrivi_file_atomico(const std::filesystem::path& destinazione, std::string_view contenuto);

}  // namespace modello
