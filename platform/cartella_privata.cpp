#include "platform/cartella_privata.h"

#include <algorithm>
#include <random>
#include <system_error>
#include <vector>

#include "platform/elenco_cartella.h"
#include "platform/file_sistema.h"

namespace piattaforma {

namespace fs = std::filesystem;

namespace {

constexpr std::u8string_view estensione_presa = u8".lock";

// The lock file of a private folder.
fs::path presa_di(const fs::path& cartella) {
    fs::path presa = cartella;
    presa += fs::path(std::u8string(estensione_presa));
    return presa;
}

// Whether nome, past prefisso, is a process number, '~' and six characters.
bool nome_di_cartella(std::u8string_view nome, std::u8string_view prefisso) {
    if (!nome.starts_with(prefisso) || nome.size() < prefisso.size() + 8) return false;
    const std::size_t tilde = nome.size() - 7;
    return nome[tilde] == u8'~' && avanzi::numero_processo(nome.substr(prefisso.size(), tilde - prefisso.size()));
}

}  // namespace

cartella_privata::cartella_privata(const fs::path& dentro, const char* prefisso) {
    dettaglio::togli_cartelle_abbandonate(dentro, prefisso);
    // The lock first, then the folder: no run ever sees the folder without
    // its holder. The random part keeps runs apart, whatever their numbers.
    std::random_device caso;
    std::uniform_int_distribution<unsigned> cifra(0, 35);
    constexpr const char* cifre = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::error_code err = std::make_error_code(std::errc::file_exists);
    for (int tentativo = 0; tentativo < 100 && err == std::errc::file_exists; ++tentativo) {
        std::string nome = prefisso + std::to_string(sistema::id_processo()) + "~";
        for (int i = 0; i < 6; ++i) nome += cifre[cifra(caso)];
        const fs::path percorso = dentro / fs::path(nome);
        presa_file presa(presa_di(percorso), false);
        // Held by another: a live run's name, or a killed run's being
        // removed. Where the file system has no locks, the folder goes
        // without one.
        if (presa.esito() == presa_file::stato::altrui) continue;
        err = sistema::crea_cartella(percorso);
        if (!err) {
            presa_.emplace(std::move(presa));
            percorso_ = percorso;
            return;
        }
    }
    throw std::system_error(err, "cannot create a private folder in " + dentro.string());
}

cartella_privata::~cartella_privata() { dettaglio::togli_tutto(percorso_); }

void dettaglio::togli_cartelle_abbandonate(const fs::path& dentro, const std::string& prefisso) {
    const std::u8string_view p(reinterpret_cast<const char8_t*>(prefisso.data()), prefisso.size());
    std::error_code err;
    const auto voci = elenco_cartella(dentro, err);
    // Each folder once, whether found by itself, by its lock file, or both.
    std::vector<std::u8string> nomi;
    for (const auto& voce : voci) {
        std::u8string nome = voce.nome.u8string();
        const bool presa = voce.file && nome.ends_with(estensione_presa);
        if (presa) nome.resize(nome.size() - estensione_presa.size());
        if ((presa || voce.cartella) && nome_di_cartella(nome, p)) nomi.push_back(std::move(nome));
    }
    std::sort(nomi.begin(), nomi.end());
    nomi.erase(std::unique(nomi.begin(), nomi.end()), nomi.end());
    for (const auto& nome : nomi) {
        const fs::path cartella = dentro / fs::path(nome);
        avanzi::togli_se_abbandonati(presa_di(cartella), [&] {
            // Only a folder: a file of that name is none of ours.
            const bool e_cartella = std::any_of(voci.begin(), voci.end(), [&](const voce_cartella& v) {
                return v.cartella && v.nome.u8string() == nome;
            });
            if (e_cartella) togli_tutto(cartella);
        });
    }
}

}  // namespace piattaforma
