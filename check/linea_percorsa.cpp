#include "check/linea_percorsa.h"

#include <algorithm>
#include <cctype>

#include "model/posizioni.h"
#include "model/valori_indicatore.h"

namespace strumento::regole_ferrovia {

using righe_lette::file_letto;
using righe_lette::riga_voce;

namespace {

bool cifra(char c) { return c >= '0' && c <= '9'; }

// A figure from position i of s: digits, then optionally '+' and the metres,
// or '.' or ',' and the decimals of the kilometre. The whole of s from i must
// be the figure when intera.
std::optional<std::int64_t> figura(std::string_view s, std::size_t i, bool intera) {
    std::int64_t km = 0;
    const std::size_t da = i;
    while (i < s.size() && cifra(s[i]) && i - da < 6) km = km * 10 + (s[i++] - '0');
    if (i == da) return std::nullopt;
    std::int64_t metri = 0;
    bool separata = false;
    if (i + 1 < s.size() && (s[i] == '+' || s[i] == '.' || s[i] == ',') && cifra(s[i + 1])) {
        separata = true;
        const char sep = s[i++];
        const std::size_t inizio = i;
        if (sep == '+') {
            while (i < s.size() && cifra(s[i]) && i - inizio < 4) metri = metri * 10 + (s[i++] - '0');
        } else {
            // Decimals of the kilometre: the first three are the metres.
            std::int64_t peso = 100;
            while (i < s.size() && cifra(s[i])) {
                metri += peso * (s[i++] - '0');
                peso /= 10;
            }
        }
    }
    if (intera && (!separata || i != s.size())) return std::nullopt;
    return km * 1000 + metri;
}

}  // namespace

const riga_voce* riga_di(const file_letto& linea, const progressiva& p) {
    const riga_voce* trovata = nullptr;
    for (const auto& r : linea.righe)
        if (r.argomento().starts_with("progressiva") && r.n(0) == p.inizio && r.n(1) == p.valore && r.n(2) == p.codice)
            trovata = &r;
    return trovata;
}

std::vector<progressiva> progressive_tenute(const modello::Modello& m) {
    std::vector<progressiva> p;
    for (const int record : {modello::record_progressiva_tre, modello::record_progressiva_due,
                             modello::record_progressiva_uno}) {
        const auto& v = m.tabella[static_cast<std::size_t>(record)];
        if (v.inizio == 0 && v.fine == 0 && v.progressiva == 0) continue;
        progressiva x{.record = record, .inizio = v.inizio, .valore = v.fine, .codice = v.progressiva};
        // The compiler adds 100 to the value of a record with code 1.
        if (x.decrescente()) x.valore -= 100;
        p.push_back(x);
    }
    return p;
}

const progressiva* in_vigore(std::span<const progressiva> p, std::int64_t metro) {
    const progressiva* scelta = nullptr;
    for (const auto& x : p)
        if (x.inizio <= metro && (!scelta || x.inizio > scelta->inizio)) scelta = &x;
    return scelta;
}

std::int64_t chilometrica(const progressiva& p, std::int64_t metro) {
    return p.decrescente() ? p.valore - (metro - p.inizio) : p.valore + (metro - p.inizio);
}

std::string km_scritto(std::int64_t metri) {
    const std::int64_t a = metri < 0 ? -metri : metri;
    std::string m = std::to_string(a % 1000);
    m.insert(0, 3 - m.size(), '0');
    return std::string("km ") + (metri < 0 ? "-" : "") + std::to_string(a / 1000) + "+" + m;
}

std::string dove(std::span<const progressiva> p, std::int64_t metro) {
    const auto* x = in_vigore(p, metro);
    if (!x) return "metre " + std::to_string(metro);
    return km_scritto(chilometrica(*x, metro)) + " (metre " + std::to_string(metro) + ")";
}

std::optional<std::int64_t> km_del_testo(std::string_view testo) {
    std::string s(testo);
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const auto km = s.find("km");
    if (km != std::string::npos) {
        std::size_t i = km + 2;
        while (i < s.size() && (s[i] == ' ' || s[i] == '.' || s[i] == ':' || s[i] == '\t')) ++i;
        return figura(s, i, false);
    }
    // Without "km", a figure alone, with its separator: "37+650", "37,65".
    std::string nudo;
    for (const char c : s)
        if (c != ' ' && c != '(' && c != ')' && c != '"' && c != '\t') nudo += c;
    return figura(nudo, 0, true);
}

righe_velocita::righe_velocita(const file_letto& treno) {
    for (const auto& r : treno.righe)
        if (r.argomento() == "velocita")
            righe_.push_back({modello::cella_di(static_cast<double>(r.n(0)), 0.0), &r});
    std::stable_sort(righe_.begin(), righe_.end(), [](const inizio& a, const inizio& b) { return a.cella < b.cella; });
}

const riga_voce* righe_velocita::in_vigore(std::int64_t cella) const {
    const auto dopo = std::upper_bound(righe_.begin(), righe_.end(), cella,
                                       [](std::int64_t c, const inizio& x) { return c < x.cella; });
    return dopo == righe_.begin() ? nullptr : std::prev(dopo)->riga;
}

velocita_cartello lato_sinistro(const modello::cella& x) {
    namespace vi = modello::valori_indicatore;
    return {vi::sinistra_kmh(x.valore_1), vi::sinistra_kmh(x.valore_2), vi::sinistra_kmh(x.valore_3)};
}

velocita_cartello lato_destro(const modello::cella& x) {
    namespace vi = modello::valori_indicatore;
    return {vi::destra_kmh(x.valore_1), vi::destra_kmh(x.valore_2), vi::destra_kmh(x.valore_3)};
}

rimando rimando_a(const riga_voce& r, std::string messaggio) {
    return rimando{r.voce->file, r.riga, std::move(messaggio)};
}

const riga_voce* riga_alla(const file_letto& f, int riga) {
    const auto i = std::lower_bound(f.righe.begin(), f.righe.end(), riga,
                                    [](const riga_voce& r, int n) { return r.riga < n; });
    return i != f.righe.end() && i->riga == riga ? &*i : nullptr;
}

std::vector<std::size_t> posati(const registro_controllo& r, modello::oggetto_posato cosa) {
    std::vector<std::size_t> o;
    for (std::size_t i = 0; i < r.oggetti.size(); ++i)
        if (r.oggetti[i].tipo == oggetto_registrato::genere::posato && r.oggetti[i].cosa == cosa) o.push_back(i);
    std::stable_sort(o.begin(), o.end(), [&](std::size_t a, std::size_t b) { return r.oggetti[a].cella < r.oggetti[b].cella; });
    return o;
}

}  // namespace strumento::regole_ferrovia
