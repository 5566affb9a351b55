#include "platform/file_atomico.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace piattaforma {

namespace {

[[noreturn]] void fallisci(int err, const std::string& cosa, const std::filesystem::path& file) {
    throw std::system_error(err, std::generic_category(), cosa + " " + file.string());
}

// Hidden, beside the target, named after it and this process; a stale one
// left by a crashed run of the same process id is replaced.
std::filesystem::path temporaneo_di(const std::filesystem::path& destinazione) {
    std::string nome = ".";
    nome += destinazione.filename().string();
    nome += '.';
    nome += std::to_string(::getpid());
    nome += ".tmp";
    return destinazione.parent_path() / nome;
}

// Writes the content to the temporary file of destinazione; on failure the
// temporary file is gone and the error names destinazione.
void scrivi_temporaneo(const file_a_pezzi& f) {
    const std::filesystem::path& destinazione = f.destinazione;
    const std::filesystem::path temporaneo = temporaneo_di(destinazione);
    ::unlink(temporaneo.c_str());
    const int fd = ::open(temporaneo.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) fallisci(errno, "cannot create a temporary file for", destinazione);

    const auto scrivi = [&](std::uint64_t posizione, std::string_view pezzo) {
        const char* dati = pezzo.data();
        std::size_t resto = pezzo.size();
        while (resto > 0) {
            const ssize_t scritti = ::pwrite(fd, dati, resto, static_cast<off_t>(posizione));
            if (scritti < 0) {
                if (errno == EINTR) continue;
                fallisci(errno, "cannot write", destinazione);
            }
            dati += scritti;
            resto -= static_cast<std::size_t>(scritti);
            posizione += static_cast<std::uint64_t>(scritti);
        }
    };
    try {
        f.produci(scrivi);
    } catch (...) {
        ::close(fd);
        ::unlink(temporaneo.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temporaneo.c_str());
        fallisci(err, "cannot write", destinazione);
    }
}

void sostituisci(const std::filesystem::path& destinazione) {
    const std::filesystem::path temporaneo = temporaneo_di(destinazione);
    if (::rename(temporaneo.c_str(), destinazione.c_str()) != 0) {
        const int err = errno;
        ::unlink(temporaneo.c_str());
        fallisci(err, "cannot replace", destinazione);
    }
}

}  // namespace

void scrivi_file_atomico(const std::filesystem::path& destinazione, std::string_view contenuto) {
    scrivi_file_atomici({{destinazione, contenuto}});
}

void scrivi_file_atomici(const std::vector<std::pair<std::filesystem::path, std::string_view>>& file) {
    std::vector<file_a_pezzi> a_pezzi;
    for (const auto& f : file)
        a_pezzi.push_back({f.first, [contenuto = f.second](const scrittore& scrivi) { scrivi(0, contenuto); }});
    scrivi_file_atomici(a_pezzi);
}

void scrivi_file_atomici(const std::vector<file_a_pezzi>& file) {
    // Removes the temporaries from index da on, which no rename has taken.
    const auto togli_temporanei = [&](std::size_t da, std::size_t a) {
        for (std::size_t i = da; i < a; ++i) ::unlink(temporaneo_di(file[i].destinazione).c_str());
    };
    std::size_t pronti = 0;
    try {
        for (; pronti < file.size(); ++pronti) scrivi_temporaneo(file[pronti]);
    } catch (...) {
        togli_temporanei(0, pronti);
        throw;
    }
    for (std::size_t i = 0; i < file.size(); ++i) {
        try {
            sostituisci(file[i].destinazione);
        } catch (...) {
            togli_temporanei(i + 1, file.size());
            throw;
        }
    }
}

}  // namespace piattaforma
