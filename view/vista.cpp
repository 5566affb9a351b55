#include "view/vista.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "check/esame.h"
#include "check/problemi.h"
#include "memory_compile/compilazione.h"
#include "model/codici.h"
#include "model/modello.h"
#include "reference/riferimento.h"
#include "reference/celle.h"
#include "text/righe.h"
#include "text/visibile.h"
#include "view/marcia_vista.h"
#include "view/pagina_vista.h"

namespace strumento {

using json = nlohmann::ordered_json;

namespace {

// Every text value made safe to show, as dump prints them.
void rendi_visibile(json& j) {
    if (j.is_string()) j = testo::visibile(j.get_ref<const std::string&>());
    else if (j.is_structured())
        for (auto& v : j) rendi_visibile(v);
}

// One input file's lines, for the text of the row at a line.
class righe_di {
public:
    explicit righe_di(const std::string& t) : testo_(t), righe_(testo::dividi_righe(t)) {}
    std::string riga(int n) const {
        if (n < 1 || n > static_cast<int>(righe_.size())) return {};
        const auto& r = righe_[static_cast<std::size_t>(n - 1)];
        return testo::visibile_1252(std::string_view(testo_).substr(r.inizio, r.fine - r.inizio));
    }

private:
    const std::string& testo_;
    std::vector<testo::riga_testo> righe_;
};

// The plan-view track, one point every passo_geometria metres and the last
// metre, in decimetres, each point as its difference from the one before
// (null where the geometry is empty; the next one counts from the last that
// was not). Rounding a double to an integer gives the same on every system.
json geometria_decimata(const modello::geometria_linea& g) {
    json x = json::array(), y = json::array();
    const std::int32_t ultimo = g.ultimo_metro();
    std::int64_t px = 0, py = 0;
    for (std::int32_t m = 0; ultimo >= 0; m += passo_geometria) {
        if (m > ultimo) {
            if (m - passo_geometria == ultimo) break;
            m = ultimo;
        }
        if (g.at(m, 0).vuoto() || g.at(m, 1).vuoto()) {
            x.push_back(nullptr);
            y.push_back(nullptr);
        } else {
            const std::int64_t vx = std::llround(g.at(m, 0).numero() * 10);
            const std::int64_t vy = std::llround(g.at(m, 1).numero() * 10);
            x.push_back(vx - px);
            y.push_back(vy - py);
            px = vx;
            py = vy;
        }
        if (m == ultimo) break;
    }
    return {{"step_m", passo_geometria}, {"last_metre", ultimo}, {"x_dm", x}, {"y_dm", y}};
}

// The row that placed object chi of the compile r.
json riga_json(const compilato& r, std::size_t chi, const testi_autore& t, const righe_di& linea,
               const righe_di& treno) {
    const oggetto_registrato& o = r.registro.oggetti[chi];
    const bool di_linea = r.file_di(chi) == quale_file::linea;
    return {{"file", di_linea ? t.nome_linea : t.nome_treno},
            {"line", o.riga},
            {"text", (di_linea ? linea : treno).riga(o.riga)},
            {"placed", r.registro.descrizione(chi)}};
}

// The stations from the table, as dump names its records, with their stop cell.
json stazioni(const json& descrizione) {
    std::map<std::int64_t, std::int64_t> fermate;  // record -> first stop cell
    for (const auto& o : descrizione["route"])
        if (o["object"] == "stop cell") fermate.emplace(o["values"]["station"].get<std::int64_t>(), o["cell"].get<std::int64_t>());
    json s = json::array();
    for (const auto& r : descrizione["table"]) {
        if (!r["role"].get<std::string>().starts_with("station ")) continue;
        const auto record = r["record"].get<std::int64_t>();
        const auto f = fermate.find(record);
        s.push_back({{"record", record},
                     {"name", r["fields"]["nome"]},
                     {"position", r["fields"]["progressiva"]},
                     {"stop_cell", f != fermate.end() ? json(f->second) : json(nullptr)}});
    }
    return s;
}

// The metre a row gives as its first value, when its keyword's first value
// is a position along the line (as the reference names it): where a problem
// of a row that placed nothing stands.
std::optional<std::int64_t> posizione_della_riga(std::string_view riga, quale_file f) {
    const auto virgola = riga.find(',');
    if (virgola == std::string_view::npos) return std::nullopt;
    const auto spoglia = [](std::string_view t) {
        while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
        while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
        return t;
    };
    const std::string_view parola = spoglia(riga.substr(0, virgola));
    const auto file = f == quale_file::linea ? riferimento::file_testo::linea : riferimento::file_testo::treno;
    for (const auto& p : riferimento::parole()) {
        if (p.file != file || p.argomento != parola || p.campi.empty()) continue;
        const auto& primo = p.campi[0];
        if ((primo.nome != "position" && primo.nome != "start") || primo.unita != "m") return std::nullopt;
        std::string_view v = spoglia(riga.substr(virgola + 1));
        std::int64_t n = 0;
        std::size_t k = 0;
        for (; k < v.size() && k < 9 && std::isdigit(static_cast<unsigned char>(v[k])); ++k) n = n * 10 + (v[k] - '0');
        if (k == 0) return std::nullopt;
        return n;
    }
    return std::nullopt;
}

}  // namespace

json dati_vista(const compilati& c, const std::optional<testi_autore>& testi) {
    json d = descrivi_compilati(c, false);
    json v;
    v["linea"] = d["linea"];
    v["treno"] = d["treno"];
    v["files"] = d["files"];
    v["cells"] = d["cells"];
    const auto ultima = c.percorso.empty() ? 0 : static_cast<std::int64_t>(c.percorso.size() - 1);
    const std::int64_t lunghezza = c.tabella[modello::record_treno].fine;
    // The axis ends at the line's length; the grid runs about 7 km beyond.
    v["line_length_m"] = lunghezza > 0 && lunghezza <= ultima * 50 ? lunghezza : ultima * 50;
    v["grid_end_m"] = ultima * 50;
    v["stations"] = stazioni(d);

    // The texts compiled in memory: their first round is what a compile of
    // them writes, with the row that placed the object of each cell.
    std::optional<compilazione_in_memoria> compilazione;
    if (testi) compilazione = compila_in_memoria(testi->linea, testi->treno, c.id, {.primo_giro = true});
    const compilato* r = compilazione ? &*compilazione->primo : nullptr;
    bool combacia = r && r->modello.percorso.size() == c.percorso.size();
    std::optional<righe_di> righe_linea, righe_treno;
    if (testi) {
        righe_linea.emplace(testi->linea);
        righe_treno.emplace(testi->treno);
    }
    json oggetti = json::array();
    for (auto& o : d["route"]) {
        const auto i = o["cell"].get<std::size_t>();
        o["name"] = nome_cella(static_cast<std::int64_t>(i));
        if (r) {
            const bool stesso = i < r->modello.percorso.size() && r->modello.percorso[i].tipo == c.percorso[i].tipo;
            combacia = combacia && stesso;
            if (const auto chi = r->registro.chi_occupa(static_cast<std::int64_t>(i)); chi && stesso)
                o["row"] = riga_json(*r, *chi, *testi, *righe_linea, *righe_treno);
        }
        oggetti.push_back(std::move(o));
    }
    v["objects"] = std::move(oggetti);
    v["profiles"] = d["profiles"];
    v["geometry"] = c.geometria ? geometria_decimata(*c.geometria) : json(nullptr);

    if (testi) {
        v["texts"] = {{"line", testi->nome_linea}, {"train", testi->nome_treno}, {"match", combacia}};
        // A reader that stopped leaves the rows after it out of the compiled files.
        v["stopped"] = nullptr;
        if (const auto& arresto = r->modello.arresto) {
            const bool di_linea = r->file_chiamato(arresto->file) == quale_file::linea;
            const std::int32_t codice = r->modello.codice_errore;
            v["stopped"] = {{"file", di_linea ? testi->nome_linea : testi->nome_treno},
                            {"line", arresto->riga},
                            {"text", righe_di(di_linea ? testi->linea : testi->treno).riga(arresto->riga)},
                            {"code", codice},
                            {"meaning", std::string(modello::significato_codice(codice))}};
        }
        auto problemi = esamina(*compilazione, testi->linea, testi->treno);
        json elenco = json_problemi(problemi, {testi->nome_linea, testi->nome_treno})["problems"];
        // A problem without a metre of its own stands where its row placed an object.
        std::map<std::pair<quale_file, int>, std::int64_t> cella_di_riga;
        for (std::size_t i = 0; i < r->modello.percorso.size(); ++i)
            if (const auto chi = r->registro.chi_occupa(static_cast<std::int64_t>(i)))
                cella_di_riga.emplace(std::pair{r->file_di(*chi), r->registro.oggetti[*chi].riga},
                                      static_cast<std::int64_t>(i));
        const righe_di& linea = *righe_linea;
        const righe_di& treno = *righe_treno;
        for (std::size_t k = 0; k < problemi.size(); ++k) {
            const auto& p = problemi[k];
            auto& j = elenco[k];
            j["text"] = (p.file == quale_file::linea ? linea : treno).riga(p.riga);
            if (!p.metro) {
                const auto f = cella_di_riga.find({p.file, p.riga});
                if (f != cella_di_riga.end()) {
                    j["metre"] = f->second * 50;
                    j["cell"] = nome_cella(f->second);
                } else if (const auto m =
                               posizione_della_riga((p.file == quale_file::linea ? linea : treno).riga(p.riga), p.file)) {
                    j["metre"] = *m;
                    j["from_row"] = true;
                }
            }
        }
        v["problems"] = std::move(elenco);
        v["run"] = marcia_vista(compilazione->finale.modello);
    } else {
        v["run"] = nullptr;
        v["texts"] = nullptr;
        v["problems"] = json::array();
    }
    rendi_visibile(v);
    return v;
}

std::string json_in_pagina(const json& dati) {
    const std::string s = dati.dump(-1, ' ', false, json::error_handler_t::replace);
    std::string t;
    t.reserve(s.size() + s.size() / 16);
    // '<' stands only inside strings in JSON, where \u003c reads the same.
    for (const char ch : s) {
        if (ch == '<') t += "\\u003c";
        else t += ch;
    }
    return t;
}

namespace {

std::string html_testo(std::string_view s) {
    std::string t;
    for (const char ch : s) {
        switch (ch) {
            case '&': t += "&amp;"; break;
            case '<': t += "&lt;"; break;
            case '>': t += "&gt;"; break;
            case '"': t += "&quot;"; break;
            default: t += ch;
        }
    }
    return t;
}

// The template with each @MARK@ replaced by its piece, in one pass: a
// piece is never searched for marks, so no text in the data can become one.
std::string riempi(std::string_view modello, const std::map<std::string_view, std::string_view>& pezzi) {
    std::string pagina;
    std::size_t da = 0;
    while (da < modello.size()) {
        const auto at = modello.find('@', da);
        if (at == std::string_view::npos) break;
        const auto fine = modello.find('@', at + 1);
        if (fine == std::string_view::npos) break;
        const auto pezzo = pezzi.find(modello.substr(at + 1, fine - at - 1));
        if (pezzo == pezzi.end()) {
            pagina.append(modello.substr(da, at + 1 - da));
            da = at + 1;
            continue;
        }
        pagina.append(modello.substr(da, at - da)).append(pezzo->second);
        da = fine + 1;
    }
    return pagina.append(modello.substr(da));
}

}  // namespace

std::string pagina_vista(const json& dati) {
    const std::string titolo =
        "line " + dati["linea"].get<std::string>() + ", train " + dati["treno"].get<std::string>();
    const std::string titolo_html = html_testo(titolo);
    const std::string dati_json = json_in_pagina(dati);
    return riempi(pagina_incorporata::modello(), {{"TITOLO", titolo_html},
                                                  {"STILE", pagina_incorporata::stile()},
                                                  {"DATI", dati_json},
                                                  {"CODICE", pagina_incorporata::codice()},
                                                  {"HASH_STILE", pagina_incorporata::stile_sha256},
                                                  {"HASH_CODICE", pagina_incorporata::codice_sha256}});
}

}  // namespace strumento
