#include "platform/file_atomico.h"

#include <string>
#include <system_error>

#include "platform/file_sistema.h"

namespace piattaforma {

namespace {

namespace fs = std::filesystem;

std::function<std::error_code(prova::passo, const fs::path&)>& guasto_di_prova() {
    static std::function<std::error_code(prova::passo, const fs::path&)> f;
    return f;
}

// The error a test asks for at this step, none when none.
std::error_code guasto_simulato(prova::passo p, const fs::path& destinazione) {
    const auto& f = guasto_di_prova();
    if (!f) return {};
    return f(p, destinazione);
}

[[noreturn]] void fallisci(std::error_code err, const std::string& cosa, const fs::path& file) {
    throw std::system_error(err, cosa + " " + file.string());
}

// Removes a file if it is there; a failure leaves a hidden file behind,
// which nothing reads.
void togli(const fs::path& file) {
    std::error_code ignora;
    fs::remove(file, ignora);
}

// Hidden, beside the target, named after it and this process; a stale one
// left by a crashed run of the same process id is replaced.
fs::path nascosto_di(const fs::path& destinazione, const char* estensione) {
    std::string nome = ".";
    nome += destinazione.filename().string();
    nome += '.';
    nome += std::to_string(sistema::id_processo());
    nome += estensione;
    return destinazione.parent_path() / nome;
}

fs::path temporaneo_di(const fs::path& destinazione) { return nascosto_di(destinazione, ".tmp"); }
fs::path riserva_di(const fs::path& destinazione) { return nascosto_di(destinazione, ".bak"); }

// Writes the content to the temporary file of destinazione; on failure the
// temporary file is gone and the error names destinazione.
void scrivi_temporaneo(const file_a_pezzi& f) {
    const fs::path temporaneo = temporaneo_di(f.destinazione);
    togli(temporaneo);
    sistema::scrivi_nuovo(temporaneo, f.destinazione, f.produci);
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
    std::error_code err;
    const fs::file_status s = fs::symlink_status(p.destinazione, err);
    if (s.type() == fs::file_type::not_found) return;
    if (err) fallisci(err, "cannot replace", p.destinazione);
    if (s.type() != fs::file_type::regular && s.type() != fs::file_type::symlink)
        throw std::system_error(std::make_error_code(s.type() == fs::file_type::directory
                                                         ? std::errc::is_a_directory
                                                         : std::errc::invalid_argument),
                                "cannot replace " + p.destinazione.string() + ", which is not a file");
    p.esiste = true;
}

// Keeps the earlier file aside under a hidden name: a second name for the
// same file, so the target stays in place; where the file system has no hard
// links, the earlier file itself is moved aside until its successor arrives.
void metti_da_parte(posto& p) {
    if (!p.esiste) return;
    const fs::path riserva = riserva_di(p.destinazione);
    togli(riserva);
    std::error_code err = guasto_simulato(prova::passo::riserva, p.destinazione);
    if (!err) {
        fs::create_hard_link(p.destinazione, riserva, err);
        if (!err) {
            p.come = posto::riserva::collegata;
            return;
        }
    }
    if (!sistema::rinomina_sopra(p.destinazione, riserva)) {
        p.come = posto::riserva::spostata;
        return;
    }
    fallisci(err, "cannot keep the earlier file aside for", p.destinazione);
}

void sostituisci(posto& p) {
    std::error_code err = guasto_simulato(prova::passo::sostituzione, p.destinazione);
    if (!err) err = sistema::rinomina_sopra(p.nuovo, p.destinazione);
    if (!err) {
        p.sostituito = true;
        return;
    }
    fallisci(err, "cannot replace", p.destinazione);
}

// Puts a target back as it was before the group: the earlier file where
// there was one, nothing where there was none. Best effort: a kept-aside file
// that cannot be put back stays under its hidden name rather than be lost.
void rimetti(const posto& p) {
    const fs::path riserva = riserva_di(p.destinazione);
    switch (p.come) {
        case posto::riserva::collegata:
            if (p.sostituito) sistema::rinomina_sopra(riserva, p.destinazione);
            else togli(riserva);
            break;
        case posto::riserva::spostata:
            sistema::rinomina_sopra(riserva, p.destinazione);
            break;
        case posto::riserva::nessuna:
            if (p.sostituito) togli(p.destinazione);
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
            if (nuovi_temporanei && !p.sostituito) togli(p.nuovo);
        }
        throw;
    }
    for (const auto& p : posti)
        if (p.come != posto::riserva::nessuna) togli(riserva_di(p.destinazione));
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
        for (std::size_t i = 0; i < pronti; ++i) togli(posti[i].nuovo);
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
