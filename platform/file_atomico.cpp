#include "platform/file_atomico.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace piattaforma {

namespace {

namespace fs = std::filesystem;

std::function<std::error_code(prova::passo, const fs::path&)>& guasto_di_prova() {
    static std::function<std::error_code(prova::passo, const fs::path&)> f;
    return f;
}

// The error a test asks for at this step, 0 when none.
int guasto_simulato(prova::passo p, const fs::path& destinazione) {
    const auto& f = guasto_di_prova();
    if (!f) return 0;
    return f(p, destinazione).value();
}

[[noreturn]] void fallisci(int err, const std::string& cosa, const fs::path& file) {
    throw std::system_error(err, std::generic_category(), cosa + " " + file.string());
}

// Hidden, beside the target, named after it and this process; a stale one
// left by a crashed run of the same process id is replaced.
fs::path nascosto_di(const fs::path& destinazione, const char* estensione) {
    std::string nome = ".";
    nome += destinazione.filename().string();
    nome += '.';
    nome += std::to_string(::getpid());
    nome += estensione;
    return destinazione.parent_path() / nome;
}

fs::path temporaneo_di(const fs::path& destinazione) { return nascosto_di(destinazione, ".tmp"); }
fs::path riserva_di(const fs::path& destinazione) { return nascosto_di(destinazione, ".bak"); }

// Writes the content to the temporary file of destinazione; on failure the
// temporary file is gone and the error names destinazione.
void scrivi_temporaneo(const file_a_pezzi& f) {
    const fs::path& destinazione = f.destinazione;
    const fs::path temporaneo = temporaneo_di(destinazione);
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

// One target of a group on its way to being replaced.
struct posto {
    fs::path nuovo;  // the file that holds the new content
    fs::path destinazione;
    bool esiste = false;  // an earlier file is there
    enum class riserva { nessuna, collegata, spostata } come = riserva::nessuna;
    bool sostituito = false;
};

// Refuses a target that exists and is not a file, before anything changes:
// renaming over a folder would fail halfway through the group.
void controlla_destinazione(posto& p) {
    struct stat s {};
    if (::lstat(p.destinazione.c_str(), &s) != 0) {
        if (errno == ENOENT) return;
        fallisci(errno, "cannot replace", p.destinazione);
    }
    if (!S_ISREG(s.st_mode) && !S_ISLNK(s.st_mode))
        throw std::system_error(S_ISDIR(s.st_mode) ? EISDIR : EINVAL, std::generic_category(),
                                "cannot replace " + p.destinazione.string() + ", which is not a file");
    p.esiste = true;
}

// Keeps the earlier file aside under a hidden name: a second name for the
// same file, so the target stays in place; where the file system has no hard
// links, the earlier file itself is moved aside until its successor arrives.
void metti_da_parte(posto& p) {
    if (!p.esiste) return;
    const fs::path riserva = riserva_di(p.destinazione);
    ::unlink(riserva.c_str());
    int err = guasto_simulato(prova::passo::riserva, p.destinazione);
    if (err == 0 && ::linkat(AT_FDCWD, p.destinazione.c_str(), AT_FDCWD, riserva.c_str(), 0) == 0) {
        p.come = posto::riserva::collegata;
        return;
    }
    if (err == 0) err = errno;
    if (::rename(p.destinazione.c_str(), riserva.c_str()) == 0) {
        p.come = posto::riserva::spostata;
        return;
    }
    fallisci(err, "cannot keep the earlier file aside for", p.destinazione);
}

void sostituisci(posto& p) {
    int err = guasto_simulato(prova::passo::sostituzione, p.destinazione);
    if (err == 0 && ::rename(p.nuovo.c_str(), p.destinazione.c_str()) == 0) {
        p.sostituito = true;
        return;
    }
    if (err == 0) err = errno;
    fallisci(err, "cannot replace", p.destinazione);
}

// Puts a target back as it was before the group: the earlier file where
// there was one, nothing where there was none. Best effort: a kept-aside file
// that cannot be put back stays under its hidden name rather than be lost.
void rimetti(const posto& p) {
    const fs::path riserva = riserva_di(p.destinazione);
    switch (p.come) {
        case posto::riserva::collegata:
            if (p.sostituito) ::rename(riserva.c_str(), p.destinazione.c_str());
            else ::unlink(riserva.c_str());
            break;
        case posto::riserva::spostata:
            ::rename(riserva.c_str(), p.destinazione.c_str());
            break;
        case posto::riserva::nessuna:
            if (p.sostituito) ::unlink(p.destinazione.c_str());
            break;
    }
}

// Replaces every target by its new file, all or none. The new files are
// removed on failure when they are this module's temporaries.
void sostituisci_tutti(std::vector<posto>& posti, bool nuovi_temporanei) {
    try {
        for (auto& p : posti) metti_da_parte(p);
        for (auto& p : posti) sostituisci(p);
    } catch (...) {
        for (auto& p : posti) {
            rimetti(p);
            if (nuovi_temporanei && !p.sostituito) ::unlink(p.nuovo.c_str());
        }
        throw;
    }
    for (const auto& p : posti)
        if (p.come != posto::riserva::nessuna) ::unlink(riserva_di(p.destinazione).c_str());
}

}  // namespace

void scrivi_file_atomico(const fs::path& destinazione, std::string_view contenuto) {
    scrivi_file_atomici({{destinazione, contenuto}});
}

void scrivi_file_atomici(const std::vector<std::pair<fs::path, std::string_view>>& file) {
    std::vector<file_a_pezzi> a_pezzi;
    for (const auto& f : file)
        a_pezzi.push_back({f.first, [contenuto = f.second](const scrittore& scrivi) { scrivi(0, contenuto); }});
    scrivi_file_atomici(a_pezzi);
}

void scrivi_file_atomici(const std::vector<file_a_pezzi>& file) {
    std::vector<posto> posti;
    for (const auto& f : file) posti.push_back({temporaneo_di(f.destinazione), f.destinazione});
    for (auto& p : posti) controlla_destinazione(p);
    std::size_t pronti = 0;
    try {
        for (; pronti < file.size(); ++pronti) scrivi_temporaneo(file[pronti]);
    } catch (...) {
        for (std::size_t i = 0; i < pronti; ++i) ::unlink(posti[i].nuovo.c_str());
        throw;
    }
    sostituisci_tutti(posti, true);
}

void sposta_file_atomici(const std::vector<file_pronto>& file) {
    std::vector<posto> posti;
    for (const auto& f : file) posti.push_back({f.origine, f.destinazione});
    for (auto& p : posti) controlla_destinazione(p);
    sostituisci_tutti(posti, false);
}

namespace prova {

void imposta_guasto(std::function<std::error_code(passo, const fs::path&)> guasto) {
    guasto_di_prova() = std::move(guasto);
}

}  // namespace prova

}  // namespace piattaforma
