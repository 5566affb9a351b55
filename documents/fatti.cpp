#include "documents/fatti.h"

#include <algorithm>
#include <cstdio>

#include "check/righe_lette.h"
#include "text/testo_1252.h"

namespace strumento::documenti {

namespace {

using righe_lette::riga_voce;

std::string testo_di(const riga_voce& r, std::size_t i) {
    if (i >= r.valori.size()) return {};
    std::string t = r.valori[i].testo;
    const auto primo = t.find_first_not_of(" \t");
    if (primo == std::string::npos) return {};
    return t.substr(primo, t.find_last_not_of(" \t") - primo + 1);
}

void leggi_treno(const righe_lette::file_letto& t, fatti_coppia& f) {
    for (const auto& r : t.righe) {
        const auto a = r.argomento();
        if (a == "stazione") {
            const auto orario = static_cast<std::int32_t>((r.n(13) * 60 + r.n(14)) * 60 + r.n(15));
            f.stazioni.push_back({r.n(0), testo_di(r, 16), orario, static_cast<std::int32_t>(r.n(12))});
        } else if (a == "velocita") {
            f.limiti.push_back({r.n(0), r.n(1)});
        } else if (a == "rallentamento") {
            f.rallentamenti.push_back({r.n(0), r.n(1), r.n(2)});
        } else if (a == "percentuale massa frenata") {
            f.massa_frenata = r.n(0);
        }
    }
}

void leggi_linea(const righe_lette::file_letto& l, fatti_coppia& f) {
    for (const auto& r : l.righe) {
        const auto a = r.argomento();
        if (a == "cartello_indicatore") f.cartelli.push_back({r.n(0), testo_di(r, 1)});
        // A progressive that starts at 0 with no figure is one the line leaves unused.
        else if (a.starts_with("progressiva chilometrica") && (r.n(0) > 0 || r.n(1) > 0))
            f.progressive.push_back({r.n(0), r.n(1), r.n(2) == 1});
    }
    std::stable_sort(f.progressive.begin(), f.progressive.end(),
                     [](const progressiva_coppia& x, const progressiva_coppia& y) { return x.inizio < y.inizio; });
}

}  // namespace

fatti_coppia leggi_fatti(const std::string& linea, const std::string& treno) {
    fatti_coppia f;
    leggi_linea(righe_lette::leggi_righe(quale_file::linea, linea), f);
    leggi_treno(righe_lette::leggi_righe(quale_file::treno, treno), f);
    return f;
}

std::int64_t chilometrica(const fatti_coppia& f, std::int64_t metro) {
    if (f.progressive.empty()) return metro;
    const progressiva_coppia* p = &f.progressive.front();
    for (const auto& q : f.progressive)
        if (q.inizio <= metro) p = &q;
    const std::int64_t lungo = metro - p->inizio;
    return p->decrescente ? p->valore - lungo : p->valore + lungo;
}

std::int64_t ultimo_cippo(const fatti_coppia& f, std::int64_t metro) {
    const std::int64_t km = chilometrica(f, metro);
    const bool cala = !f.progressive.empty() && [&] {
        const progressiva_coppia* p = &f.progressive.front();
        for (const auto& q : f.progressive)
            if (q.inizio <= metro) p = &q;
        return p->decrescente;
    }();
    // Division that rounds toward minus infinity, and its ceiling.
    const std::int64_t giu = km >= 0 ? km / 1000 : -((-km + 999) / 1000);
    return cala && giu * 1000 != km ? giu + 1 : giu;
}

std::string km_testo(std::int64_t metri) {
    char b[32];
    const char* segno = metri < 0 ? "-" : "";
    const std::int64_t a = metri < 0 ? -metri : metri;
    std::snprintf(b, sizeof b, "%s%lld.%03lld", segno, static_cast<long long>(a / 1000),
                  static_cast<long long>(a % 1000));
    return b;
}

namespace {

// Letters of Windows-1252 that have a capital and a small form 0x20 apart.
bool minuscola(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7); }
bool maiuscola(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7); }
bool lettera(unsigned char c) { return minuscola(c) || maiuscola(c); }

}  // namespace

std::string in_maiuscolo(const std::string& nome) {
    std::string b = testo::a_cp1252(nome);
    for (char& c : b)
        if (minuscola(static_cast<unsigned char>(c))) c = static_cast<char>(static_cast<unsigned char>(c) - 0x20);
    return testo::da_cp1252(b);
}

std::string come_nome(const std::string& maiuscolo) {
    std::string b = testo::a_cp1252(maiuscolo);
    bool inizio_parola = true;
    for (char& c : b) {
        const auto u = static_cast<unsigned char>(c);
        if (!inizio_parola && maiuscola(u)) c = static_cast<char>(u + 0x20);
        else if (inizio_parola && minuscola(u)) c = static_cast<char>(u - 0x20);
        inizio_parola = !lettera(u);
    }
    return testo::da_cp1252(b);
}

}  // namespace strumento::documenti
