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

// The path to hand the system's own calls: on Windows, once the whole path
// is too long for the plain form (248 characters and more, as folders
// count), absolute with the \\?\ prefix, which lifts the limit; the path
// itself otherwise and on POSIX.
std::filesystem::path per_il_sistema(const std::filesystem::path& p);

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

// Creates a folder for this process alone (on POSIX, the owner's only),
// hidden on Windows when its name begins with a dot, as it is elsewhere.
// std::errc::file_exists when the name is taken.
std::error_code crea_cartella(const std::filesystem::path& cartella);

// A file the user has marked as not to be changed: Windows' read-only
// attribute, or on POSIX a mode that gives the user no write permission
// (read from the mode bits, so that it holds for root too). Windows refuses
// to rename over such a file; both systems refuse it alike.
bool sola_lettura(const std::filesystem::path& file);

// The error a rename over file would meet because another program holds it
// open without letting it be deleted (Windows); none where holding a file
// does not stop its replacement.
std::error_code in_uso(const std::filesystem::path& file);

// Windows' hidden attribute on a file of ours, set or taken away; nothing on
// POSIX, where the leading dot of the name hides it.
void nascondi(const std::filesystem::path& file, bool nascosto);

}  // namespace piattaforma::sistema
