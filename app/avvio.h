// The builder's one run: write the built-in scenario into a folder and compile it.
#pragma once

#include <filesystem>

namespace app {

// Runs the start-up sequence in cartella and returns the process's exit status.
// Ends the process itself on a stamp conflict or an unhandled failure.
int avvio(const std::filesystem::path& cartella);

}  // namespace app
