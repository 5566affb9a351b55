// The few file operations whose calls differ between Linux and Windows, for
// the atomic writer; everything else it does goes through std::filesystem.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>

#include "platform/file_atomico.h"

namespace piattaforma::sistema {

// This process's number, to name its hidden files apart from another run's.
std::uint64_t id_processo();

// Creates file (which must not exist) and lets produci write it in pieces,
// each at its byte position. On any failure the file is removed and the
// exception (std::system_error naming destinazione for the system's own
// failures) propagates.
void scrivi_nuovo(const std::filesystem::path& file, const std::filesystem::path& destinazione,
                  const std::function<void(const scrittore&)>& produci);

// Renames da over a, replacing a file there in one step.
std::error_code rinomina_sopra(const std::filesystem::path& da, const std::filesystem::path& a);

}  // namespace piattaforma::sistema
