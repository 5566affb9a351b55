#include "memory_compile/registro.h"

#include <utility>

namespace strumento {

using modello::oggetto_posato;

namespace {

// How the reports name an object a row placed.
std::string descrizione_posato(oggetto_posato cosa, std::int32_t metro, std::string_view nome) {
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

void registro_controllo::inizia_file(const std::string& nome) {
    if (file_letti.back() != nome) file_letti.push_back(nome);
}

std::string registro_controllo::descrizione(std::size_t o) const {
    const oggetto_registrato& x = oggetti[o];
    switch (x.tipo) {
        case oggetto_registrato::genere::posato: return descrizione_posato(x.cosa, x.metro, x.nome);
        case oggetto_registrato::genere::stazione: return "the station " + x.nome;
        case oggetto_registrato::genere::punto_aggiunto: break;
    }
    return "a code point the compiler added" + (x.per ? " for " + descrizione(*x.per) : std::string());
}

std::size_t registro_controllo::nuovo_oggetto(oggetto_registrato o) {
    oggetti.push_back(std::move(o));
    return oggetti.size() - 1;
}

void registro_controllo::occupa(std::int64_t cella, std::size_t oggetto) {
    if (cella < 0) return;
    const auto i = static_cast<std::size_t>(cella);
    if (occupante_.size() <= i) occupante_.resize(i + 1, -1);
    occupante_[i] = static_cast<std::int32_t>(oggetto);
}

std::optional<std::size_t> registro_controllo::chi_occupa(std::int64_t cella) const {
    if (cella < 0 || static_cast<std::size_t>(cella) >= occupante_.size() || occupante_[static_cast<std::size_t>(cella)] < 0)
        return std::nullopt;
    return static_cast<std::size_t>(occupante_[static_cast<std::size_t>(cella)]);
}

void registro_controllo::posato(int riga, std::int64_t cella, oggetto_posato cosa, std::int32_t metro,
                                std::string_view nome) {
    oggetto_registrato o{.cosa = cosa, .riga = riga, .metro = metro, .cella = cella};
    o.file = static_cast<std::uint32_t>(file_letti.size() - 1);
    // Only these two are named by their text.
    if (cosa == oggetto_posato::cartello_km || cosa == oggetto_posato::fermata_stazione) o.nome = nome;
    occupa(cella, nuovo_oggetto(std::move(o)));
}

void registro_controllo::stazione(int riga, std::string_view nome) {
    oggetto_registrato o{.tipo = oggetto_registrato::genere::stazione, .riga = riga, .nome = std::string(nome)};
    o.file = static_cast<std::uint32_t>(file_letti.size() - 1);
    stazioni_.push_back(nuovo_oggetto(std::move(o)));
}

void registro_controllo::fermata(const modello::fermata_lettore& f) {
    fermata_registrata r{f.codice, file_letti.back(), f.riga_voce, f.riga_ultima, f.posizione, f.cella_contesa,
                         std::nullopt, std::string(f.motivo)};
    if (f.contro_stazione_precedente && stazioni_.size() >= 2) r.oggetto_correlato = stazioni_[stazioni_.size() - 2];
    if (!r.oggetto_correlato && f.cella_contesa) r.oggetto_correlato = chi_occupa(*f.cella_contesa);
    fermate.push_back(std::move(r));
}

// The completion's code point is told as being for the object it serves, at
// that object's row.
void registro_controllo::punto_codice_aggiunto(std::int64_t cella, std::int64_t per) {
    const auto chi = chi_occupa(per);
    oggetto_registrato o{.tipo = oggetto_registrato::genere::punto_aggiunto, .cella = cella, .per = chi};
    if (chi) {
        o.file = oggetti[*chi].file;
        o.riga = oggetti[*chi].riga;
    }
    occupa(cella, nuovo_oggetto(std::move(o)));
}

}  // namespace strumento
