// Replacing files as a whole: the new content goes to a temporary file in the
// same folder, which is then renamed over the target. A reader never sees a
// half-written file, and a failed write leaves the earlier file as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace piattaforma {

// Throws std::system_error (naming the file) when the content cannot be
// written; the temporary file is removed in that case.
void scrivi_file_atomico(const std::filesystem::path& destinazione, std::string_view contenuto);

// Several files that belong together, replaced all or none. Before anything
// is replaced every target is checked (one that exists and is neither a
// regular file nor a symbolic link is refused, and so is a read-only file,
// or on Windows a file another program holds) and every new content is
// written to its temporary file; the earlier files are kept aside as hidden
// hard links until all new ones are in place, and put back when a rename
// fails. On success and on failure no temporary file and no kept-aside file
// is left behind. Throws std::system_error naming the file that failed.
void scrivi_file_atomici(const std::vector<std::pair<std::filesystem::path, std::string_view>>& file);

// The same check on files a run will write one by one or in groups, all
// made before the first is written, so that a run that would stop halfway
// stops before changing anything. Also removes what a killed run of this or
// another program left in their folders. Throws std::system_error naming the
// first file that cannot be replaced ("cannot replace F, which is read-only").
void controlla_sostituibili(const std::vector<std::filesystem::path>& file);

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

// Files already written on the targets' file system (in a private folder
// beside them, say), moved into place by renames with the same all-or-none
// promise. When the group fails, the targets are as they were before it and
// the files that had not been moved stay where they are, for their owner.
struct file_pronto {
    std::filesystem::path origine;
    std::filesystem::path destinazione;
};
void sposta_file_atomici(const std::vector<file_pronto>& file);

// Hooks for tests, to fail one step of a group's replacement as the system
// would. Not for use by the programs.
namespace prova {

enum class passo {
    riserva,       // keeping an earlier file aside (a hard link beside it)
    sostituzione,  // renaming a new file over its target
};

// Called before each such step with its target; an error it returns makes
// the step fail with that error. An empty function removes the hook.
void imposta_guasto(std::function<std::error_code(passo, const std::filesystem::path& destinazione)> guasto);

}  // namespace prova

}  // namespace piattaforma
