// The train sheet: the built-in sheet's pages, their header filled from the
// pair and the author's values, one row per station, change of speed limit
// and kilometre board in the order the train meets them, 32 rows a page,
// then the built-in sheet's two blank pages.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "documents/celle.h"
#include "documents/documenti.h"
#include "scenario_text/righe_builtin.h"

namespace strumento::documenti {

namespace {

const auto& modulo = testi_scenario::righe_scheda;

// Lines of the built-in sheet: the first page's header and rows, its closing
// line, what parts two filled pages, what follows the last filled page and
// the blank pages after it, and a blank page's header.
constexpr std::size_t inizio_intestazione = 2, prima_riga = 16, riga_chiusura = 48;
constexpr std::size_t inizio_separatore = 49, fine_separatore = 55;
constexpr std::size_t inizio_coda = 102, intestazione_vuota = 107;
constexpr std::size_t righe_intestazione = prima_riga - inizio_intestazione;
constexpr std::size_t righe_per_pagina = riga_chiusura - prima_riga;
constexpr std::size_t riga_vuota = intestazione_vuota + righe_intestazione;

// One row of the sheet.
struct riga_scheda {
    std::int64_t metro = 0;
    std::optional<std::int64_t> velocita;
    std::int64_t km = 0;  // metres
    std::string nome;
    std::string orario;  // the time cell, 16 characters, or empty
    bool stazione = false;
};

// Texts one after another (operator+ on temporaries sets off a false
// -Wrestrict in GCC 12).
std::string unisci(std::initializer_list<std::string_view> parti) {
    std::string s;
    for (auto p : parti) s.append(p);
    return s;
}

std::string ora(std::int32_t secondi) {
    char b[16];
    std::snprintf(b, sizeof b, "%2d.%02d", secondi / 3600 % 24, secondi / 60 % 60);
    return b;
}

// The time cell in the sheet's forms: departure at the origin, arrival at
// the terminus, arrival and departure for a stop whose two differ in the
// minute, a single time otherwise.
std::string cella_orario(const orario_stazione& o, std::size_t i, std::size_t n) {
    if (!o.arrivo && !o.partenza) return {};
    const std::int32_t a = o.arrivo.value_or(*o.partenza), p = o.partenza.value_or(*o.arrivo);
    if (i == 0) return unisci({"         ", ora(p), "  "});
    if (i + 1 == n) return unisci({" ", ora(a), "          "});
    if (a / 60 != p / 60) return unisci({" ", ora(a), " - ", ora(p), "  "});
    return unisci({"      ", ora(p), "     "});
}

// A kilometre board's text: its parts in parentheses, the one that reads
// "Km N+NNN" giving the figure and the others the name.
struct testo_cartello {
    std::string nome;
    std::optional<std::int64_t> km;
};

std::optional<std::int64_t> km_scritto(std::string_view p) {
    if (p.size() < 3 || std::tolower(static_cast<unsigned char>(p[0])) != 'k' ||
        std::tolower(static_cast<unsigned char>(p[1])) != 'm')
        return std::nullopt;
    p.remove_prefix(2);
    while (!p.empty() && p.front() == ' ') p.remove_prefix(1);
    const auto piu = p.find('+');
    if (piu == std::string_view::npos || piu == 0 || p.size() - piu != 4) return std::nullopt;
    const auto cifre = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!cifre(p.substr(0, piu)) || !cifre(p.substr(piu + 1)) || piu > 6) return std::nullopt;
    return std::stoll(std::string(p.substr(0, piu))) * 1000 + std::stoll(std::string(p.substr(piu + 1)));
}

testo_cartello leggi_cartello(const std::string& testo) {
    testo_cartello t;
    std::size_t i = 0;
    while (i < testo.size()) {
        const std::size_t fine = testo.find_first_of("()", i);
        std::string_view parte(testo.data() + i, (fine == std::string::npos ? testo.size() : fine) - i);
        while (!parte.empty() && parte.front() == ' ') parte.remove_prefix(1);
        while (!parte.empty() && parte.back() == ' ') parte.remove_suffix(1);
        if (const auto km = km_scritto(parte); km && !t.km) t.km = km;
        else if (!parte.empty()) t.nome = t.nome.empty() ? std::string(parte) : unisci({t.nome, " ", parte});
        if (fine == std::string::npos) break;
        i = fine + 1;
    }
    if (t.nome.empty() && t.km) {
        t.nome = "Km ";
        t.nome += km_testo(*t.km);
    }
    return t;
}

// The stations and boards as rows, in the order of the route.
std::vector<riga_scheda> righe_luoghi(const fatti_coppia& f, const orari_treno& orari) {
    std::vector<riga_scheda> r;
    for (std::size_t i = 0; i < f.stazioni.size(); ++i) {
        const auto& s = f.stazioni[i];
        const std::string orario = i < orari.size() ? cella_orario(orari[i], i, f.stazioni.size()) : std::string();
        r.push_back({s.metro, std::nullopt, chilometrica(f, s.metro), in_maiuscolo(s.nome), orario, true});
    }
    for (const auto& c : f.cartelli) {
        const auto t = leggi_cartello(c.testo);
        r.push_back({c.metro, std::nullopt, t.km.value_or(chilometrica(f, c.metro)), t.nome, {}, false});
    }
    std::stable_sort(r.begin(), r.end(), [](const riga_scheda& a, const riga_scheda& b) {
        return a.metro != b.metro ? a.metro < b.metro : a.stazione > b.stazione;
    });
    return r;
}

// Every row of the sheet: a change of speed limit goes into the row of the
// station or board at its position, or into a row of its own.
std::vector<riga_scheda> righe_scheda(const fatti_coppia& f, const orari_treno& orari) {
    auto r = righe_luoghi(f, orari);
    for (const auto& l : f.limiti) {
        const auto dove = std::find_if(r.begin(), r.end(), [&](const riga_scheda& x) { return x.metro == l.metro; });
        if (dove != r.end()) {
            dove->velocita = l.velocita;
            continue;
        }
        const std::int64_t km = chilometrica(f, l.metro);
        std::string nome = km % 1000 == 0 ? "Cippo Km " : "Km ";
        nome += km_testo(km);
        const auto dopo = std::upper_bound(r.begin(), r.end(), l.metro,
                                           [](std::int64_t m, const riga_scheda& x) { return m < x.metro; });
        r.insert(dopo, {l.metro, l.velocita, km, nome, {}, false});
    }
    return r;
}

std::string riga_pagina(const riga_scheda& x, std::vector<std::string>& avvisi) {
    std::string riga(modulo[riga_vuota]);
    const std::string dove = "train sheet, " + x.nome;
    if (!x.orario.empty()) in_cella(riga, 60, 16, x.orario, allinea::sinistra, dove + ": time");
    nome_in_cella(riga, 32, 26, x.nome, avvisi, "train sheet");
    in_cella(riga, 15, 7, km_testo(x.km), allinea::destra, dove + ": kilometre");
    if (x.velocita) in_cella(riga, 3, 3, std::to_string(*x.velocita), allinea::destra, dove + ": speed limit");
    return riga;
}

// A page's header, the blank page's with the pair's and the author's values.
// Names cut go into avvisi.
std::vector<std::string> intestazione(const fatti_coppia& f, const dati_autore& a, std::size_t pagina,
                                      std::size_t pagine, std::vector<std::string>& avvisi) {
    std::vector<std::string> h(modulo.begin() + intestazione_vuota,
                               modulo.begin() + intestazione_vuota + righe_intestazione);
    const auto x = [](const std::optional<std::string>& v) { return v.value_or("xxx"); };
    const std::string da = f.stazioni.empty() ? "" : come_nome(f.stazioni.front().nome);
    const std::string per = f.stazioni.empty() ? "" : come_nome(f.stazioni.back().nome);
    in_cella(h[1], 42, 24, "SCHEDA " + std::to_string(pagina) + "/" + std::to_string(pagine), allinea::sinistra,
             "train sheet: page number");
    in_cella(h[2], 77, 1, a.categoria.value_or("C"), allinea::sinistra, "train sheet: category");
    in_cella(h[2], 73, 3, x(a.velocita_massima), allinea::sinistra, "train sheet: top speed");
    nome_in_cella(h[2], 45, 21, da, avvisi, "train sheet, header: origin");
    in_cella(h[2], 13, 5, a.numero_treno, allinea::centro, "train sheet: train number");
    const std::string massa = f.massa_frenata ? std::to_string(*f.massa_frenata) : "xxx";
    in_cella(h[3], 73, 3, massa, allinea::destra, "train sheet: braked mass percentage");
    nome_in_cella(h[3], 45, 21, per, avvisi, "train sheet, header: terminus");
    in_cella(h[7], 43, 3, x(a.massa_bloccata), allinea::destra, "train sheet: blocked mass");
    in_cella(h[7], 10, 3, x(a.classificazione), allinea::sinistra, "train sheet: classification");
    return h;
}

}  // namespace

documento scheda_treno(const fatti_coppia& f, const dati_autore& a, const orari_treno& orari) {
    const auto righe = righe_scheda(f, orari);
    const std::size_t pagine = std::max<std::size_t>(1, (righe.size() + righe_per_pagina - 1) / righe_per_pagina);
    documento d;
    d.righe = {"", ""};
    for (std::size_t p = 0; p < pagine; ++p) {
        if (p > 0) d.righe.insert(d.righe.end(), modulo.begin() + inizio_separatore, modulo.begin() + fine_separatore);
        // Every page has the same header: its warnings once.
        std::vector<std::string> avvisi_pagina;
        const auto h = intestazione(f, a, p + 1, pagine, p == 0 ? d.avvisi : avvisi_pagina);
        d.righe.insert(d.righe.end(), h.begin(), h.end());
        for (std::size_t i = p * righe_per_pagina; i < (p + 1) * righe_per_pagina; ++i)
            d.righe.push_back(i < righe.size() ? riga_pagina(righe[i], d.avvisi) : std::string(modulo[riga_vuota]));
        d.righe.emplace_back(modulo[riga_chiusura]);
    }
    d.righe.insert(d.righe.end(), modulo.begin() + inizio_coda, modulo.end());
    return d;
}

}  // namespace strumento::documenti
