// Where the running executable lies: every file of a builder run goes there.
#pragma once

#include <filesystem>

namespace piattaforma {

std::filesystem::path cartella_eseguibile();

}  // namespace piattaforma
