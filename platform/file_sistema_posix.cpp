#include "platform/file_sistema.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace piattaforma::sistema {

std::uint64_t id_processo() { return static_cast<std::uint64_t>(::getpid()); }

void scrivi_nuovo(const std::filesystem::path& file, const std::filesystem::path& destinazione,
                  const std::function<void(const scrittore&)>& produci) {
    const auto fallisci = [&](int err, const char* cosa) {
        throw std::system_error(err, std::generic_category(), cosa + destinazione.string());
    };
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) fallisci(errno, "cannot create a temporary file for ");

    const auto scrivi = [&](std::uint64_t posizione, std::string_view pezzo) {
        const char* dati = pezzo.data();
        std::size_t resto = pezzo.size();
        while (resto > 0) {
            const ssize_t scritti = ::pwrite(fd, dati, resto, static_cast<off_t>(posizione));
            if (scritti < 0) {
                if (errno == EINTR) continue;
                fallisci(errno, "cannot write ");
            }
            dati += scritti;
            resto -= static_cast<std::size_t>(scritti);
            posizione += static_cast<std::uint64_t>(scritti);
        }
    };
    try {
        produci(scrivi);
    } catch (...) {
        ::close(fd);
        ::unlink(file.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(file.c_str());
        fallisci(err, "cannot write ");
    }
}

std::error_code rinomina_sopra(const std::filesystem::path& da, const std::filesystem::path& a) {
    if (::rename(da.c_str(), a.c_str()) == 0) return {};
    return {errno, std::generic_category()};
}

}  // namespace piattaforma::sistema
