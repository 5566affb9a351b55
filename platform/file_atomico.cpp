#include "platform/file_atomico.h"

#include <algorithm>
#include <optional>
#include <string>
#include <system_error>

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
// where TARGET is the target's name and PID the writing process's number.
// Nothing else is named so; a run removes those of a process that no longer
// runs (one that was killed) from the folders it writes into, and nothing else.
constexpr std::u8string_view marca = u8".scenario~";
constexpr std::u8string_view estensione_temporaneo = u8".tmp";
constexpr std::u8string_view estensione_riserva = u8".bak";

fs::path nascosto_di(const fs::path& destinazione, std::u8string_view estensione) {
    std::u8string nome = u8".";
    nome += destinazione.filename().u8string();
    nome += marca;
    const std::string id = std::to_string(sistema::id_processo());
    nome.append(id.begin(), id.end());
    nome += estensione;
    return destinazione.parent_path() / fs::path(nome);
}

fs::path temporaneo_di(const fs::path& destinazione) { return nascosto_di(destinazione, estensione_temporaneo); }
fs::path riserva_di(const fs::path& destinazione) { return nascosto_di(destinazione, estensione_riserva); }

// A name of that pattern read back: the target's name, the process, and
// whether it is a kept-aside earlier file.
struct avanzo {
    fs::path destinazione;
    std::uint64_t processo = 0;
    bool riserva = false;
};

std::optional<avanzo> leggi_avanzo(const fs::path& file) {
    const std::u8string nome = file.filename().u8string();
    avanzo a;
    std::u8string_view resto = nome;
    if (resto.ends_with(estensione_riserva)) a.riserva = true;
    else if (!resto.ends_with(estensione_temporaneo)) return std::nullopt;
    resto.remove_suffix((a.riserva ? estensione_riserva : estensione_temporaneo).size());
    std::size_t cifre = 0;
    while (cifre < resto.size() && resto[resto.size() - 1 - cifre] >= u8'0' && resto[resto.size() - 1 - cifre] <= u8'9')
        ++cifre;
    if (cifre == 0 || cifre > 19) return std::nullopt;
    for (const char8_t c : resto.substr(resto.size() - cifre)) a.processo = a.processo * 10 + (c - u8'0');
    resto.remove_suffix(cifre);
    if (!resto.ends_with(marca) || !resto.starts_with(u8".")) return std::nullopt;
    resto.remove_suffix(marca.size());
    resto.remove_prefix(1);
    if (resto.empty()) return std::nullopt;
    a.destinazione = file.parent_path() / fs::path(std::u8string(resto));
    return a;
}

// Removes from cartella the hidden files of runs that no longer run. An
// earlier file kept aside whose target is missing (a run killed between
// moving it aside and putting its successor in place) goes back to its place
// instead. Best effort: what cannot be removed now is tried again next time.
void togli_avanzi(const fs::path& cartella) {
    std::error_code err;
    std::vector<avanzo> trovati;
    std::vector<fs::path> file;
    for (const auto& voce : elenco_cartella(cartella.empty() ? fs::path(".") : cartella, err)) {
        const fs::path percorso = cartella / voce.nome;
        auto a = leggi_avanzo(percorso);
        if (!a || a->processo == sistema::id_processo() || sistema::processo_vivo(a->processo)) continue;
        trovati.push_back(std::move(*a));
        file.push_back(percorso);
    }
    for (std::size_t i = 0; i < trovati.size(); ++i) {
        const avanzo& a = trovati[i];
        std::error_code c;
        if (a.riserva && !fs::exists(fs::symlink_status(a.destinazione, c)))
            sistema::rinomina_sopra(file[i], a.destinazione);
        else
            togli(file[i]);
        // A kept-aside file may be a second name of the target itself, which
        // shares its attributes: the target shows again.
        if (a.riserva) sistema::nascondi(a.destinazione, false);
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
    if (!sistema::rinomina_sopra(p.destinazione, riserva)) {
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
    for (auto& p : posti) controlla_destinazione(p);
    sostituisci_tutti(posti, false);
}

namespace prova {

void imposta_guasto(std::function<std::error_code(passo, const fs::path&)> guasto) {
    guasto_di_prova() = std::move(guasto);
}

}  // namespace prova

}  // namespace piattaforma
