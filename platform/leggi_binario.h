// Reading a whole file as bytes.
#pragma once

#include <filesystem>
#include <string>

namespace piattaforma {

// Throws std::runtime_error naming the file and why when it cannot be read
// ("cannot read F: no such file", "...: it is a folder", the system's reason).
std::string leggi_binario(const std::filesystem::path& file);

}  // namespace piattaforma
