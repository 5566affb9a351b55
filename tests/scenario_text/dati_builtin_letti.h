// The built-in train file and line description read back as data, for the
// tests of the documents that restate them.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "scenario_text/righe_builtin.h"

namespace test_util {

// Splits a row at its commas; the fields keep their blanks.
inline std::vector<std::string> campi_riga(std::string_view riga) {
    std::vector<std::string> out;
    std::size_t inizio = 0;
    for (;;) {
        const std::size_t virgola = riga.find(',', inizio);
        out.emplace_back(riga.substr(inizio, virgola == std::string_view::npos ? virgola : virgola - inizio));
        if (virgola == std::string_view::npos) return out;
        inizio = virgola + 1;
    }
}

inline long numero_campo(const std::string& campo) { return std::strtol(campo.c_str(), nullptr, 10); }

inline std::string senza_spazi_ai_lati(std::string_view s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string_view::npos) return {};
    return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

// The rows of one keyword in a document, split into fields.
template <typename Righe>
std::vector<std::vector<std::string>> righe_di(const Righe& righe, std::string_view parola) {
    std::vector<std::vector<std::string>> out;
    for (std::string_view r : righe) {
        auto c = campi_riga(r);
        if (c[0] == parola) out.push_back(std::move(c));
    }
    return out;
}

struct stazione_treno {
    long posizione;
    long ore;
    long minuti;
    std::string nome;
};

inline std::vector<stazione_treno> stazioni_treno() {
    std::vector<stazione_treno> out;
    for (const auto& c : righe_di(testi_scenario::righe_treno, "stazione"))
        out.push_back({numero_campo(c[1]), numero_campo(c[14]), numero_campo(c[15]), senza_spazi_ai_lati(c[17])});
    return out;
}

// "velocita" rows: position and limit.
inline std::vector<std::pair<long, long>> limiti_treno() {
    std::vector<std::pair<long, long>> out;
    for (const auto& c : righe_di(testi_scenario::righe_treno, "velocita"))
        out.emplace_back(numero_campo(c[1]), numero_campo(c[2]));
    return out;
}

struct rallentamento_treno {
    long posizione;
    long velocita;
    long lunghezza;
};

inline std::vector<rallentamento_treno> rallentamenti_treno() {
    std::vector<rallentamento_treno> out;
    for (const auto& c : righe_di(testi_scenario::righe_treno, "rallentamento"))
        out.push_back({numero_campo(c[1]), numero_campo(c[2]), numero_campo(c[3])});
    return out;
}

// The value of a one-number row of the train file's general block.
inline long valore_treno(std::string_view parola) {
    const auto r = righe_di(testi_scenario::righe_treno, parola);
    return r.size() == 1 ? numero_campo(r[0][1]) : -1;
}

// The line's kilometric progressive at position 0, in metres; it falls
// along the line.
inline long progressiva_origine() {
    const auto r = righe_di(testi_scenario::righe_linea, "progressiva chilometrica uno");
    return r.size() == 1 ? numero_campo(r[0][2]) : -1;
}

struct cartello_linea {
    long posizione;
    std::string testo;
};

inline std::vector<cartello_linea> cartelli_linea() {
    std::vector<cartello_linea> out;
    for (const auto& c : righe_di(testi_scenario::righe_linea, "cartello_indicatore"))
        out.push_back({numero_campo(c[1]), senza_spazi_ai_lati(c[2])});
    return out;
}

// A station name in capitals written as a name: "VALDORA" -> "Valdora".
inline std::string come_nome(std::string_view s) {
    std::string out(s);
    bool inizio = true;
    for (char& ch : out) {
        const bool lettera = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
        if (lettera && !inizio && ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        inizio = !lettera;
    }
    return out;
}

}  // namespace test_util
