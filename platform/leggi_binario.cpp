#include "platform/leggi_binario.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace piattaforma {

std::string leggi_binario(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!std::filesystem::is_regular_file(file) || !in) throw std::runtime_error(file.string() + ": cannot be read");
    std::string byte{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw std::runtime_error(file.string() + ": read failed");
    return byte;
}

}  // namespace piattaforma
