#include "platform/file_sistema.h"

#include "platform/elenco_cartella.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace piattaforma::sistema {

std::filesystem::path per_il_sistema(const std::filesystem::path& p) { return p; }

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

std::error_code crea_cartella(const std::filesystem::path& cartella) {
    if (::mkdir(cartella.c_str(), 0700) == 0) return {};
    return {errno, std::generic_category()};
}

bool sola_lettura(const std::filesystem::path& file) {
    struct stat s {};
    if (::lstat(file.c_str(), &s) != 0 || !S_ISREG(s.st_mode)) return false;
    // The class the user falls in, as the system picks it without privileges.
    if (s.st_uid == ::geteuid()) return (s.st_mode & S_IWUSR) == 0;
    bool del_gruppo = s.st_gid == ::getegid();
    if (!del_gruppo) {
        const int n = ::getgroups(0, nullptr);
        std::vector<gid_t> gruppi(n > 0 ? static_cast<std::size_t>(n) : 0);
        const int letti = n > 0 ? ::getgroups(n, gruppi.data()) : 0;
        for (int i = 0; i < letti && !del_gruppo; ++i) del_gruppo = gruppi[static_cast<std::size_t>(i)] == s.st_gid;
    }
    return (s.st_mode & (del_gruppo ? S_IWGRP : S_IWOTH)) == 0;
}

std::error_code in_uso(const std::filesystem::path&) { return {}; }

void nascondi(const std::filesystem::path&, bool) {}

}  // namespace piattaforma::sistema

namespace piattaforma {

std::vector<voce_cartella> elenco_cartella(const std::filesystem::path& cartella, std::error_code& err) {
    std::vector<voce_cartella> voci;
    err.clear();
    for (std::filesystem::directory_iterator i(cartella, err), fine; !err && i != fine; i.increment(err)) {
        std::error_code c;
        voci.push_back({i->path().filename(), i->is_regular_file(c), i->is_directory(c) && !i->is_symlink(c)});
    }
    if (err) voci.clear();
    return voci;
}

}  // namespace piattaforma
