#include "model/file_atomico.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace modello {

namespace {

[[noreturn]] void fallisci(int err, const std::string& cosa, const std::filesystem::path& file) {
    throw std::system_error(err, std::generic_category(), cosa + " " + file.string());
}

}  // namespace

void scrivi_file_atomico(const std::filesystem::path& destinazione, std::string_view contenuto) {
    const std::filesystem::path cartella = destinazione.parent_path();
    // Hidden, beside the target, named after it and this process; a stale one
    // left by a crashed run of the same process id is replaced.
    std::string nome_temporaneo = ".";
    nome_temporaneo += destinazione.filename().string();
    nome_temporaneo += '.';
    nome_temporaneo += std::to_string(::getpid());
    nome_temporaneo += ".tmp";
    const std::filesystem::path temporaneo = cartella / nome_temporaneo;
    ::unlink(temporaneo.c_str());
    const int fd = ::open(temporaneo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) fallisci(errno, "cannot create a temporary file for", destinazione);

    auto abbandona = [&](int err, const char* cosa) {
        ::close(fd);
        ::unlink(temporaneo.c_str());
        fallisci(err, cosa, destinazione);
    };

    const char* dati = contenuto.data();
    std::size_t resto = contenuto.size();
    while (resto > 0) {
        const ssize_t scritti = ::write(fd, dati, resto);
        if (scritti < 0) {
            if (errno == EINTR) continue;
            abbandona(errno, "cannot write");
        }
        dati += scritti;
        resto -= static_cast<std::size_t>(scritti);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temporaneo.c_str());
        fallisci(err, "cannot write", destinazione);
    }
    if (::rename(temporaneo.c_str(), destinazione.c_str()) != 0) {
        const int err = errno;
        ::unlink(temporaneo.c_str());
        fallisci(err, "cannot replace", destinazione);
    }
}

}  // namespace modello
