// Reading a whole file as bytes.
#pragma once

#include <filesystem>
#include <string>

namespace piattaforma {

// Throws std::runtime_error naming the file when it cannot be read.
std::string leggi_binario(const std::filesystem::path& file);

}  // namespace piattaforma
