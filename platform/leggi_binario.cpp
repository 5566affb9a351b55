#include "platform/leggi_binario.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace piattaforma {

std::string leggi_binario(const std::filesystem::path& file) {
    const auto non_letto = [&](const std::string& perche) {
        return std::runtime_error("cannot read " + file.string() + ": " + perche);
    };
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) throw non_letto("it is a folder");
    if (!std::filesystem::exists(file, ec)) throw non_letto("no such file");
    // The system's own reason when it refuses to open it (permissions, mostly).
    errno = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) throw non_letto(errno != 0 ? std::generic_category().message(errno) : "cannot open it");
    std::string byte{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw non_letto("a read failed");
    return byte;
}

}  // namespace piattaforma
