#include "check/regole_ferrovia_luoghi.h"

#include <cstdio>

#include "model/conversione.h"

namespace strumento::regole_ferrovia {

namespace {

// Kinds that get no stop cell, and kinds whose stop cell gets no marks: as
// the train reader places them.
constexpr std::uint8_t primo_tipo_senza_fermata = 25;
bool senza_marche(std::uint8_t tipo) { return tipo == 5 || tipo == 6; }

}  // namespace

std::string km(const modello::Modello& m, std::int64_t metro) {
    const modello::voce_tabella* in_vigore = nullptr;
    for (int r : {modello::record_progressiva_tre, modello::record_progressiva_due, modello::record_progressiva_uno}) {
        const auto& v = m.tabella[static_cast<std::size_t>(r)];
        if (v.fine == 0 && v.inizio == 0) continue;
        if (v.inizio <= metro && (!in_vigore || v.inizio > in_vigore->inizio)) in_vigore = &v;
    }
    std::int64_t metri = metro;
    if (in_vigore) {
        const std::int64_t percorsi = metro - in_vigore->inizio;
        // Direction code 1: the figures fall along the line; the record keeps the value plus 100.
        metri = in_vigore->progressiva == 1 ? in_vigore->fine - 100 - percorsi : in_vigore->fine + percorsi;
    }
    const std::int64_t a = metri < 0 ? -metri : metri;
    char b[48];
    std::snprintf(b, sizeof b, "km %s%lld.%03lld", metri < 0 ? "-" : "", static_cast<long long>(a / 1000),
                  static_cast<long long>(a % 1000));
    return b;
}

std::vector<stazione_posata> stazioni_posate(const coppia_compilata& c) {
    const auto& m = c.modello();
    std::vector<stazione_posata> s;
    for (const auto& o : c.registro().oggetti) {
        if (o.tipo != oggetto_registrato::genere::stazione) continue;
        const int k = static_cast<int>(s.size()) + 1;
        if (k >= m.indice_cartello) break;
        stazione_posata x{.record = k, .riga = o.riga};
        const auto& v = m.tabella[static_cast<std::size_t>(k)];
        if (v.tipo < primo_tipo_senza_fermata) {
            const double fine_in_celle = v.fine / 50.0;
            x.fermata = static_cast<std::int64_t>(modello::arrotonda(fine_in_celle - 1));
            for (int j = 1; j <= 4 && !senza_marche(v.tipo); ++j)
                if (fine_in_celle - j - 1 > 1)
                    x.marcate[static_cast<std::size_t>(j - 1)] =
                        static_cast<std::int64_t>(modello::arrotonda(fine_in_celle - 1 - j));
        }
        s.push_back(x);
    }
    return s;
}

std::vector<int> celle_di_stazione(const modello::Modello& m, const std::vector<stazione_posata>& s) {
    std::vector<int> celle(m.percorso.size(), -1);
    const auto segna = [&](std::int64_t cella, int i) {
        if (cella >= 0 && static_cast<std::size_t>(cella) < celle.size()) celle[static_cast<std::size_t>(cella)] = i;
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        segna(s[i].fermata, static_cast<int>(i));
        for (const std::int64_t a : s[i].marcate) segna(a, static_cast<int>(i));
    }
    return celle;
}

int marca_in(const stazione_posata& s, std::int64_t a) {
    for (std::size_t j = 0; j < s.marcate.size(); ++j)
        if (s.marcate[j] == a && a >= 0) return static_cast<int>(j) + 1;
    return 0;
}

const riga_voce* righe_treno::a(int riga) const {
    if (!indicizzate_) {
        for (const auto& r : file().righe) {
            const auto i = static_cast<std::size_t>(r.riga);
            if (per_riga_.size() <= i) per_riga_.resize(i + 1, nullptr);
            per_riga_[i] = &r;
        }
        indicizzate_ = true;
    }
    return riga > 0 && static_cast<std::size_t>(riga) < per_riga_.size() ? per_riga_[static_cast<std::size_t>(riga)]
                                                                          : nullptr;
}

problema avviso_treno(std::string_view regola, const riga_voce* r, int riga, std::size_t campo, std::string testo,
                      std::vector<rimando> correlati) {
    if (r) return regole_interne::avviso_a(regola, *r, campo, std::move(testo), std::move(correlati));
    return problema{.file = quale_file::treno, .riga = riga, .colonna = 1, .livello = gravita::avviso,
                    .codice = std::nullopt, .regola = std::string(regola), .metro = std::nullopt,
                    .messaggio = std::move(testo), .correlati = std::move(correlati)};
}

}  // namespace strumento::regole_ferrovia
