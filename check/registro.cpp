#include "check/registro.h"

#include <utility>

namespace strumento {

using modello::oggetto_posato;

namespace {

// How the reports name an object a row placed.
std::string descrizione(oggetto_posato cosa, std::int32_t metro, std::string_view nome) {
    const std::string a_metro = " at metre " + std::to_string(metro);
    const std::string rallentamento = "the slowdown" + a_metro;
    switch (cosa) {
        case oggetto_posato::cartello_km: return "the kilometre board \"" + std::string(nome) + "\"" + a_metro;
        case oggetto_posato::indicatore_v_max: return "the speed indicator board" + a_metro;
        case oggetto_posato::punto_codice: return "the code point" + a_metro;
        case oggetto_posato::segnale: return "the signal" + a_metro;
        case oggetto_posato::fermata_stazione: return "the stop cell of station " + std::string(nome);
        case oggetto_posato::fine_rallentamento: return "the end of " + rallentamento;
        case oggetto_posato::inizio_rallentamento: return "the start of " + rallentamento;
        case oggetto_posato::avviso_rallentamento: return "the warning point of " + rallentamento;
        case oggetto_posato::preavviso_rallentamento: return "an approach cell of " + rallentamento;
    }
    return "an object" + a_metro;
}

}  // namespace

std::size_t registro_controllo::nuovo_oggetto(std::string file, int riga, std::string descrizione) {
    oggetti.push_back({std::move(file), riga, std::move(descrizione)});
    return oggetti.size() - 1;
}

void registro_controllo::occupa(std::int64_t cella, std::size_t oggetto) {
    if (cella < 0) return;
    const auto i = static_cast<std::size_t>(cella);
    if (occupante_.size() <= i) occupante_.resize(i + 1, -1);
    occupante_[i] = static_cast<std::int64_t>(oggetto);
}

std::optional<std::size_t> registro_controllo::chi_occupa(std::int64_t cella) const {
    if (cella < 0 || static_cast<std::size_t>(cella) >= occupante_.size() || occupante_[static_cast<std::size_t>(cella)] < 0)
        return std::nullopt;
    return static_cast<std::size_t>(occupante_[static_cast<std::size_t>(cella)]);
}

void registro_controllo::posato(int riga, std::int64_t cella, oggetto_posato cosa, std::int32_t metro,
                                std::string_view nome) {
    occupa(cella, nuovo_oggetto(file_, riga, descrizione(cosa, metro, nome)));
}

void registro_controllo::stazione(int riga, std::string_view nome) {
    stazioni_.push_back(nuovo_oggetto(file_, riga, "the station " + std::string(nome)));
}

void registro_controllo::fermata(const modello::fermata_lettore& f) {
    fermata_registrata r{f.codice, file_, f.riga_voce, f.riga_ultima, f.posizione, f.cella_contesa, std::nullopt,
                         std::string(f.motivo)};
    if (f.contro_stazione_precedente && stazioni_.size() >= 2) r.oggetto_correlato = stazioni_[stazioni_.size() - 2];
    if (!r.oggetto_correlato && f.cella_contesa) r.oggetto_correlato = chi_occupa(*f.cella_contesa);
    fermate.push_back(std::move(r));
}

// The completion's code point is told as being for the object it serves, at
// that object's row.
void registro_controllo::punto_codice_aggiunto(std::int64_t cella, std::int64_t per) {
    const auto chi = chi_occupa(per);
    const std::string di = chi ? " for " + oggetti[*chi].descrizione : "";
    const std::size_t o = nuovo_oggetto(chi ? oggetti[*chi].file : std::string(), chi ? oggetti[*chi].riga : 0,
                                        "a code point the compiler added" + di);
    occupa(cella, o);
}

}  // namespace strumento
