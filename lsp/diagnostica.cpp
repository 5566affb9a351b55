#include "lsp/diagnostica.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "check/esame.h"
#include "check/file_interi.h"
#include "check/regole.h"
#include "lsp/compilazione_coppia.h"
#include "reference/voci_controllo.h"
#include "text/righe.h"
#include "text/testo_1252.h"
#include "text/visibile.h"

namespace lsp {

namespace {

using strumento::gravita;
using strumento::problema;

// Nothing check reports depends on the identifiers; the compile wants some.
const strumento::identificativi identificativi_qualsiasi{"linea", "1"};

nlohmann::json json_posizione(posizione p) { return {{"line", p.riga}, {"character", p.colonna}}; }

nlohmann::json json_intervallo(const intervallo& r) {
    return {{"start", json_posizione(r.inizio)}, {"end", json_posizione(r.fine)}};
}

// The length of line n (from 0) of a text, without its line end; 0 past the end.
int lunghezza_riga(const std::vector<testo::riga_testo>& righe, int n) {
    if (n < 0 || static_cast<std::size_t>(n) >= righe.size()) return 0;
    const auto& r = righe[static_cast<std::size_t>(n)];
    return static_cast<int>(r.fine - r.inizio);
}

std::string esadecimale(char32_t c) {
    char b[16];
    std::snprintf(b, sizeof b, "U+%04X", static_cast<unsigned>(c));
    return b;
}

}  // namespace

intervallo intervallo_token(const std::string& testo, int riga, int colonna) {
    return intervallo_token(testo, testo::dividi_righe(testo), riga, colonna);
}

intervallo intervallo_token(std::string_view testo, const std::vector<testo::riga_testo>& righe, int riga,
                            int colonna) {
    if (righe.empty()) return {};
    riga = std::clamp(riga, 0, static_cast<int>(righe.size()) - 1);
    const auto& r = righe[static_cast<std::size_t>(riga)];
    const std::string_view l = testo.substr(r.inizio, r.fine - r.inizio);
    const auto lunga = static_cast<int>(l.size());
    int da = std::clamp(colonna, 0, lunga);
    while (da < lunga && (l[static_cast<std::size_t>(da)] == ' ' || l[static_cast<std::size_t>(da)] == '\t')) ++da;
    int a = da;
    while (a < lunga && l[static_cast<std::size_t>(a)] != ',') ++a;
    while (a > da && (l[static_cast<std::size_t>(a - 1)] == ' ' || l[static_cast<std::size_t>(a - 1)] == '\t')) --a;
    if (a == da) {
        // Nothing at the column (past the end, or at a comma): the line.
        da = 0;
        a = lunga;
    }
    return {{riga, da}, {riga, a}};
}

std::vector<problema> problemi_coppia(const coppia& c) {
    const auto& s = c.scenario;
    // The pair's compile is the one hover and definition answer from.
    if (s.linea.presente && s.treno.presente)
        return strumento::esamina(*compilazione_coppia(s), s.linea.testo, s.treno.testo);
    std::vector<problema> p;
    if (s.linea.presente) {
        // The line reader reads the line description before the train file
        // exists for it: its errors stand with an empty train file.
        p = strumento::esamina(s.linea.testo, "", identificativi_qualsiasi);
    } else if (s.treno.presente) {
        // Where a train file's objects fall needs the line: without it, only
        // the rules on its own rows.
        p = strumento::avvisi("", s.treno.testo);
        strumento::problemi_file_interi("", s.treno.testo, p);
    }
    const quale_file f = s.linea.presente ? quale_file::linea : quale_file::treno;
    std::erase_if(p, [&](const problema& x) { return x.file != f; });
    return p;
}

nlohmann::json diagnostiche(const std::vector<problema>& problemi, const scenario_aperto& s, quale_file f,
                            const std::vector<carattere_fuori>& fuori) {
    nlohmann::json r = nlohmann::json::array();
    const std::string& testo = s.di(f).testo;
    const auto righe = testo::dividi_righe(testo);
    std::vector<testo::riga_testo> righe_altro;
    const auto righe_di = [&](quale_file g) -> const std::vector<testo::riga_testo>& {
        if (g == f) return righe;
        if (righe_altro.empty()) righe_altro = testo::dividi_righe(s.di(g).testo);
        return righe_altro;
    };
    for (const auto& p : problemi) {
        if (p.file != f) continue;
        nlohmann::json d{{"range", json_intervallo(intervallo_token(testo, righe, p.riga - 1, p.colonna - 1))},
                         {"severity", p.livello == gravita::errore ? 1 : 2},
                         {"source", fonte_diagnostica},
                         {"message", testo::visibile(p.messaggio)}};
        if (p.codice) d["code"] = *p.codice;
        else d["code"] = p.regola;
        nlohmann::json correlati = nlohmann::json::array();
        for (const auto& c : p.correlati) {
            const auto& altro = s.di(c.file);
            if (!altro.presente || altro.uri.empty()) continue;
            const int l = lunghezza_riga(righe_di(c.file), c.riga - 1);
            correlati.push_back({{"location",
                                  {{"uri", altro.uri},
                                   {"range", json_intervallo({{c.riga - 1, 0}, {c.riga - 1, l}})}}},
                                 {"message", testo::visibile(c.messaggio)}});
        }
        if (!correlati.empty()) d["relatedInformation"] = std::move(correlati);
        r.push_back(std::move(d));
    }
    for (const auto& c : fuori) {
        // U+FFFD is what an editor shows for a byte it could not read as
        // UTF-8: a Windows-1252 file opened as UTF-8.
        const std::string messaggio =
            c.codice == 0xFFFD
                ? "the editor could not read this character: the file is Windows-1252 and was opened as UTF-8; "
                  "reopen it as Windows-1252, or saving loses the character"
                : esadecimale(c.codice) +
                      " has no byte in Windows-1252, the encoding of these files: the compiler would read '?' in "
                      "its place";
        r.push_back({{"range", json_intervallo({c.dove, {c.dove.riga, c.dove.colonna + c.unita}})},
                     {"severity", 1},
                     {"source", fonte_diagnostica},
                     {"code", codice_carattere},
                     {"message", messaggio}});
    }
    return r;
}

nlohmann::json diagnostica_utf8_su_disco(const std::string& testo) {
    const auto k =
        std::find_if(testo.begin(), testo.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (k == testo.end()) return nullptr;
    const auto dove = static_cast<std::size_t>(k - testo.begin());
    posizione p;
    for (const auto& r : testo::dividi_righe(testo)) {
        if (dove >= r.dopo) continue;
        p = {r.numero - 1, static_cast<int>(dove - r.inizio)};
        break;
    }
    const std::string lettera = testo::da_cp1252(std::string(1, *k));
    return {{"range", json_intervallo({p, {p.riga, p.colonna + 1}})},
            {"severity", 2},
            {"source", fonte_diagnostica},
            {"code", std::string(strumento::nome_utf8)},
            {"message", "the file on disk is UTF-8, as the editor saves it: the compiler reads it as Windows-1252, '" +
                            lettera + "' as '" + testo::da_cp1252(lettera) +
                            "'; set the editor to save these files as Windows-1252"}};
}

nlohmann::json diagnostica_senza_coppia(const std::string& testo) {
    return {{"range", json_intervallo({{0, 0}, {0, 0}})},
            {"severity", 3},
            {"source", fonte_diagnostica},
            {"code", codice_senza_coppia},
            {"message", testo::visibile(testo)}};
}

}  // namespace lsp
