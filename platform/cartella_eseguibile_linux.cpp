#include "platform/cartella_eseguibile.h"

namespace piattaforma {

std::filesystem::path cartella_eseguibile() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

}  // namespace piattaforma
