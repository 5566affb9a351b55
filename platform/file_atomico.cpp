#include "platform/file_atomico.h"

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>

#include "platform/avanzi.h"
#include "platform/elenco_cartella.h"
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
// which nothing reads and the next run in its folder removes.
void togli(const fs::path& file) {
    std::error_code ignora;
    fs::remove(file, ignora);
}

// The hidden files of a group's replacement, beside each target:
//     .TARGET.scenario~PID.tmp   the new content, until it takes its place
//     .TARGET.scenario~PID.bak   the earlier file, kept aside until the group is in place
//     .TARGET.scenario~PID.lock  held by the run for as long as the group lasts
// where TARGET is the target's name and PID the writing process's number.
// Nothing else is named so. A run removes those whose lock no live run holds
// (those of a run that was killed) from the folders it writes into, and
// nothing else (see avanzi.h).
constexpr std::u8string_view marca = u8".scenario~";
constexpr std::u8string_view estensione_temporaneo = u8".tmp";
constexpr std::u8string_view estensione_riserva = u8".bak";
constexpr std::u8string_view estensione_presa = u8".lock";

fs::path nascosto_di(const fs::path& destinazione, std::u8string_view estensione, std::u8string_view processo) {
    std::u8string nome = u8".";
    nome += destinazione.filename().u8string();
    nome += marca;
    nome += processo;
    nome += estensione;
    return destinazione.parent_path() / fs::path(nome);
}

// This process's number as its hidden files carry it.
std::u8string questo_processo() {
    const std::string id = std::to_string(sistema::id_processo());
    return std::u8string(id.begin(), id.end());
}

fs::path temporaneo_di(const fs::path& destinazione) {
    return nascosto_di(destinazione, estensione_temporaneo, questo_processo());
}
fs::path riserva_di(const fs::path& destinazione) { return nascosto_di(destinazione, estensione_riserva, questo_processo()); }

// A name of that pattern read back: the target, the process as written, and
// which of the three files it is.
struct avanzo {
    fs::path destinazione;
    std::u8string processo;
    std::u8string_view estensione;

    fs::path presa() const { return nascosto_di(destinazione, estensione_presa, processo); }
};

std::optional<avanzo> leggi_avanzo(const fs::path& file) {
    const std::u8string nome = file.filename().u8string();
    std::u8string_view resto = nome;
    avanzo a;
    for (const auto e : {estensione_temporaneo, estensione_riserva, estensione_presa})
        if (resto.ends_with(e)) a.estensione = e;
    if (a.estensione.empty()) return std::nullopt;
    resto.remove_suffix(a.estensione.size());
    const std::size_t fine_marca = resto.rfind(marca);
    if (fine_marca == std::u8string_view::npos || !resto.starts_with(u8".") || fine_marca < 2) return std::nullopt;
    a.processo = resto.substr(fine_marca + marca.size());
    if (!avanzi::numero_processo(a.processo)) return std::nullopt;
    a.destinazione = file.parent_path() / fs::path(std::u8string(resto.substr(1, fine_marca - 1)));
    return a;
}

// What a dead run left of one target: its temporary file goes, and so does
// the earlier file it kept aside, which goes back to its place instead when
// the target is missing (a run killed between moving it aside and putting
// its successor in place).
void togli_avanzo(const avanzo& a, const fs::path& file) {
    if (a.estensione == estensione_presa) return;  // goes with the lock
    const bool riserva = a.estensione == estensione_riserva;
    std::error_code c;
    if (riserva && !fs::exists(fs::symlink_status(a.destinazione, c))) sistema::rinomina_sopra(file, a.destinazione);
    else togli(file);
    // A kept-aside file may be a second name of the target itself, which
    // shares its attributes: the target shows again.
    if (riserva) sistema::nascondi(a.destinazione, false);
}

// Removes from cartella the hidden files of runs that no longer run, each
// target's under its lock. Best effort: what cannot be removed now is tried
// again next time.
void togli_avanzi(const fs::path& cartella) {
    std::error_code err;
    std::vector<std::pair<avanzo, fs::path>> trovati;
    for (const auto& voce : elenco_cartella(cartella.empty() ? fs::path(".") : cartella, err)) {
        const fs::path percorso = cartella / voce.nome;
        if (auto a = leggi_avanzo(percorso)) trovati.emplace_back(std::move(*a), percorso);
    }
    // One lock for each target and process, its files together.
    std::sort(trovati.begin(), trovati.end(), [](const auto& x, const auto& y) { return x.first.presa() < y.first.presa(); });
    for (std::size_t i = 0; i < trovati.size();) {
        const fs::path presa = trovati[i].first.presa();
        std::size_t fine = i;
        while (fine < trovati.size() && trovati[fine].first.presa() == presa) ++fine;
        avanzi::togli_se_abbandonati(presa, [&] {
            for (std::size_t k = i; k < fine; ++k) togli_avanzo(trovati[k].first, trovati[k].second);
        });
        i = fine;
    }
}

// The folders of a group's targets, each once.
void togli_avanzi(const std::vector<fs::path>& destinazioni) {
    std::vector<fs::path> cartelle;
    for (const auto& d : destinazioni) {
        const fs::path c = d.parent_path();
        if (std::find(cartelle.begin(), cartelle.end(), c) == cartelle.end()) cartelle.push_back(c);
    }
    for (const auto& c : cartelle) togli_avanzi(c);
}

// Holds the lock of each target's hidden files for the group's length,
// taken in one order by every run, so that two runs whose numbers clash
// (in two PID namespaces) take turns without waiting on each other.
std::vector<presa_file> prendi_prese(const std::vector<fs::path>& destinazioni) {
    std::vector<fs::path> file;
    for (const auto& d : destinazioni) file.push_back(nascosto_di(d, estensione_presa, questo_processo()));
    std::sort(file.begin(), file.end());
    file.erase(std::unique(file.begin(), file.end()), file.end());
    std::vector<presa_file> prese;
    for (const auto& f : file) prese.emplace_back(f, true);
    return prese;
}

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

// Refuses a target that exists and cannot be replaced, before anything
// changes: a folder, a read-only file, a file another program holds (Windows).
// Renaming over any of them would fail halfway through the group.
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
    if (s.type() == fs::file_type::regular) {
        if (sistema::sola_lettura(p.destinazione))
            throw std::system_error(std::make_error_code(std::errc::permission_denied),
                                    "cannot replace " + p.destinazione.string() + ", which is read-only");
        if (const std::error_code in_uso = sistema::in_uso(p.destinazione)) fallisci(in_uso, "cannot replace", p.destinazione);
    }
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
            // The same file under both names, so the target too is hidden
            // until the group ends one way or the other.
            sistema::nascondi(riserva, true);
            return;
        }
    }
    // The rename decides: its error is the one to report.
    err = sistema::rinomina_sopra(p.destinazione, riserva);
    if (!err) {
        p.come = posto::riserva::spostata;
        sistema::nascondi(riserva, true);
        return;
    }
    fallisci(err, "cannot keep the earlier file aside for", p.destinazione);
}

void sostituisci(posto& p) {
    std::error_code err = guasto_simulato(prova::passo::sostituzione, p.destinazione);
    if (!err) {
        sistema::nascondi(p.nuovo, false);
        err = sistema::rinomina_sopra(p.nuovo, p.destinazione);
    }
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
            sistema::nascondi(p.destinazione, false);
            break;
        case posto::riserva::spostata:
            sistema::rinomina_sopra(riserva, p.destinazione);
            sistema::nascondi(p.destinazione, false);
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

void controlla_sostituibili(const std::vector<fs::path>& file) {
    togli_avanzi(file);
    for (const auto& f : file) {
        posto p{{}, f};
        controlla_destinazione(p);
    }
}

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
    std::vector<fs::path> destinazioni;
    for (const auto& f : file) {
        posti.push_back({temporaneo_di(f.destinazione), f.destinazione});
        destinazioni.push_back(f.destinazione);
    }
    togli_avanzi(destinazioni);
    const auto prese = prendi_prese(destinazioni);
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
    std::vector<fs::path> destinazioni;
    for (const auto& f : file) {
        posti.push_back({f.origine, f.destinazione});
        destinazioni.push_back(f.destinazione);
    }
    togli_avanzi(destinazioni);
    const auto prese = prendi_prese(destinazioni);
    for (auto& p : posti) controlla_destinazione(p);
    sostituisci_tutti(posti, false);
}

namespace prova {

void imposta_guasto(std::function<std::error_code(passo, const fs::path&)> guasto) {
    guasto_di_prova() = std::move(guasto);
}

}  // namespace prova

}  // namespace piattaforma
