#include "dump/scarico.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <system_error>

#include "format/geometria.h"
#include "format/percorso.h"
#include "format/tabella.h"
#include "model/conversione.h"
#include "model/nomi_file.h"
#include "model/orario.h"
#include "model/valori_indicatore.h"
#include "model/valori_segnale.h"
#include "platform/elenco_cartella.h"
#include "platform/leggi_binario.h"
#include "reference/celle.h"
#include "reference/riferimento.h"

namespace strumento {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;
using modello::cella;
using modello::voce_tabella;
namespace tc = modello::tipo_cella;

namespace {

modello::Modello con_identificativi(const fs::path& cartella, const identificativi& id) {
    modello::Modello m;
    m.cartella = cartella;
    m.nome_linea = id.linea;
    m.numero_treno = id.treno;
    return m;
}

json campi_record(const voce_tabella& v) {
    return json{{"tipo", v.tipo},         {"inizio", v.inizio},     {"fine", v.fine},
                {"progressiva", v.progressiva}, {"campo_4", v.campo_4}, {"nome", v.nome},
                {"campo_7", v.campo_7},   {"campo_8", v.campo_8},   {"campo_10", v.campo_10},
                {"campo_11", v.campo_11}, {"campo_12", v.campo_12}, {"campo_9", v.campo_9},
                {"campo_13", v.campo_13}, {"campo_6", v.campo_6},   {"campo_5", v.campo_5},
                {"orario", v.orario}};
}

// What the fields of the general records hold.
json significati_record(int r) {
    switch (r) {
        case modello::record_progressiva_tre:
        case modello::record_progressiva_due:
        case modello::record_progressiva_uno:
            return {{"inizio", "start position (m)"},
                    {"fine", "kilometric value at the start (m)"},
                    {"progressiva", "direction code"}};
        case modello::record_treno:
            return {{"inizio", "braked-mass percentage"}, {"fine", "line length (m)"}, {"progressiva", "coaches"}};
        case modello::record_linea:
            return {{"inizio", "background one"}, {"fine", "background three"}, {"progressiva", "background two"},
                    {"nome", "line identifier"},  {"campo_7", "marker"},        {"orario", "check code"}};
        case modello::record_ripetizione:
            return {{"inizio", "cab-signal repetition start (m)"},
                    {"fine", "cab-signal repetition end (m)"},
                    {"progressiva", "repetition codes"},
                    {"nome", "train number"},
                    {"campo_7", "sand"},
                    {"campo_10", "clock hours"},
                    {"campo_11", "clock minutes"},
                    {"campo_12", "clock seconds"}};
        default:
            return nullptr;
    }
}

std::string ruolo_record(int r, const std::vector<bool>& testi_cartelli) {
    switch (r) {
        case 0: return "unused";
        // The reader orders the three by start, whatever their names.
        case modello::record_progressiva_tre: return "kilometric progressive, first by start";
        case modello::record_progressiva_due: return "kilometric progressive, second by start";
        case modello::record_progressiva_uno: return "kilometric progressive, third by start";
        case modello::record_treno: return "train and line length";
        case modello::record_linea: return "line";
        case modello::record_ripetizione: return "train and signal repetition";
        default: break;
    }
    return testi_cartelli[static_cast<std::size_t>(r)] ? "kilometre board text" : "station " + std::to_string(r);
}

constexpr std::string_view nota_progressive =
    "the reader puts the three kilometric progressives in order of start, the largest in record 81, whatever "
    "their names (uno, due, tre), and adds 100 to the value of those with direction code 1";

bool ha_oggetto_o_segno(const cella& c) {
    return c.tipo != 0 || c.valore_1 != 0 || c.valore_2 != 0 || c.valore_3 != 0 || c.valore_4 != 0 ||
           c.tempo_segnale != 0 || c.preavviso != 0;
}

std::string nome_oggetto(const cella& c, std::size_t indice) {
    switch (c.tipo) {
        case tc::nessuno: return indice == 1 ? "stamps" : "none";
        case tc::segnale: return "signal";
        case tc::fine_rallentamento: return "slowdown end";
        case tc::inizio_rallentamento: return "slowdown start";
        case tc::avviso_rallentamento: return "slowdown warning point";
        case tc::preavviso_rallentamento: return "cell ahead of a slowdown warning point";
        case tc::indicatore_v_max: return "speed indicator board";
        case tc::fermata: return "stop cell";
        case tc::segno_montagna: return "mountain marker";
        case tc::punto_codice: return "code point";
        case tc::punto_senza_codice: return "code point without a code";
        case tc::cartello_km: return "kilometre board";
        default: return "unknown object " + std::to_string(c.tipo);
    }
}

// The name a cell's record number points at, when it lies in the table.
json nome_in_tabella(const compilati& d, int record) {
    if (record < 0 || record >= modello::record_tabella) return nullptr;
    return d.tabella[static_cast<std::size_t>(record)].nome;
}

// A side of a speed indicator board.
json lato_indicatore(const cella& c, bool sinistra) {
    namespace vi = modello::valori_indicatore;
    json velocita = json::array();
    for (int v : {c.valore_1, c.valore_2, c.valore_3})
        velocita.push_back(sinistra ? vi::sinistra_kmh(v) : vi::destra_kmh(v));
    return {{"speeds_kmh", velocita},
            {"stripes", sinistra ? vi::strisce_sinistra(c.valore_4) : vi::strisce_destra(c.valore_4)}};
}

json valori_cella(const compilati& d, const cella& c, std::size_t indice) {
    auto seconda = [](std::int16_t v) { return v != 0 ? json(v) : json(nullptr); };
    switch (c.tipo) {
        case tc::nessuno:
            if (indice == 1) return {{"marker", c.valore_1}, {"check_code", c.valore_2}};
            return json::object();
        case tc::segnale: {
            namespace vs = modello::valori_segnale;
            const std::int64_t lati = vs::lati_di(c.valore_4);
            auto cifre = [&](std::int64_t (*quale)(std::int64_t)) {
                return json::array({quale(c.valore_1), quale(c.valore_2), quale(c.valore_3)});
            };
            return {{"left", {{"kind", vs::sx_di_lati(lati)}, {"digits", cifre(vs::cifra_alta)}}},
                    {"right", {{"kind", vs::dx_di_lati(lati)}, {"digits", cifre(vs::cifra_bassa)}}},
                    {"rapp", vs::rapp_di(c.valore_4)},
                    {"time", c.tempo_segnale}};
        }
        case tc::fine_rallentamento:
        case tc::inizio_rallentamento:
            return {{"speed", c.valore_1}, {"second_speed", seconda(c.valore_2)}, {"f_tt", c.valore_3}};
        case tc::avviso_rallentamento:
            return {{"speed", c.valore_1}, {"second_speed", seconda(c.valore_2)}};
        case tc::preavviso_rallentamento:
            return {{"count", c.valore_1}, {"second_count", seconda(c.valore_2)}};
        case tc::indicatore_v_max:
            return {{"left", lato_indicatore(c, true)}, {"right", lato_indicatore(c, false)}};
        case tc::fermata:
            return {{"station", c.valore_1}, {"name", nome_in_tabella(d, c.valore_1)}};
        case tc::punto_codice:
            return {{"code", c.valore_1}};
        case tc::cartello_km:
            return {{"record", c.valore_1}, {"text", nome_in_tabella(d, c.valore_1)}};
        default:
            return json::object();
    }
}

// Runs of equal values over the cells; valore gives null for a cell that
// holds no value of the profile, scelta drops runs nobody wants listed.
json serie(const std::vector<cella>& celle, const std::function<json(const cella&)>& valore,
           const std::function<bool(const json&)>& scelta = [](const json&) { return true; }) {
    json runs = json::array();
    std::size_t inizio = 0;
    for (std::size_t i = 1; i <= celle.size(); ++i) {
        if (i < celle.size() && valore(celle[i]) == valore(celle[inizio])) continue;
        const json v = valore(celle[inizio]);
        if (scelta(v))
            runs.push_back({{"from_cell", inizio},
                            {"to_cell", i - 1},
                            {"from_m", inizio * 50},
                            {"to_m", (i - 1) * 50},
                            {"value", v}});
        inizio = i;
    }
    return runs;
}

double gradi(double radianti) { return radianti * 180.0 / std::numbers::pi; }

json sommario_geometria(const modello::geometria_linea& g) {
    const std::int32_t ultimo = g.ultimo_metro();
    auto pieno = [&](std::int32_t m) { return !g.at(m, 0).vuoto() && !g.at(m, 1).vuoto(); };
    std::int64_t vuoti = 0;
    double x_min = 0, x_max = 0, y_min = 0, y_max = 0, lunghezza = 0, netta = 0, totale = 0;
    bool primo = true;
    for (std::int32_t m = 0; m <= ultimo; ++m) {
        if (!pieno(m)) {
            ++vuoti;
            continue;
        }
        const double x = g.at(m, 0).numero(), y = g.at(m, 1).numero();
        if (primo) {
            x_min = x_max = x;
            y_min = y_max = y;
            primo = false;
        }
        x_min = std::min(x_min, x);
        x_max = std::max(x_max, x);
        y_min = std::min(y_min, y);
        y_max = std::max(y_max, y);
        if (m >= 1 && pieno(m - 1)) lunghezza += std::hypot(x - g.at(m - 1, 0).numero(), y - g.at(m - 1, 1).numero());
        if (m >= 2 && pieno(m - 1) && pieno(m - 2)) {
            // Heading measured from component 1 towards component 0: a turn to the right is positive.
            const double x1 = g.at(m - 1, 0).numero(), y1 = g.at(m - 1, 1).numero();
            const double prima = std::atan2(x1 - g.at(m - 2, 0).numero(), y1 - g.at(m - 2, 1).numero());
            const double dopo = std::atan2(x - x1, y - y1);
            double svolta = dopo - prima;
            if (svolta > std::numbers::pi) svolta -= 2 * std::numbers::pi;
            if (svolta <= -std::numbers::pi) svolta += 2 * std::numbers::pi;
            netta += svolta;
            totale += std::abs(svolta);
        }
    }
    json extent = nullptr;
    if (!primo) extent = {{"x_min", x_min}, {"x_max", x_max}, {"y_min", y_min}, {"y_max", y_max}};
    return {{"metres", static_cast<std::int64_t>(ultimo) + 1},
            {"empty_metres", vuoti},
            {"extent_m", extent},
            {"track_length_m", lunghezza},
            {"net_turn_degrees", gradi(netta)},
            {"total_turn_degrees", gradi(totale)}};
}

// The three lengths a compiled scenario holds, which differ: the line's as
// its length entry declares it (record 84), the route grid's (its cells ×
// 50 m, the line and about 7000 m past its end) and the geometry's, measured
// along the plan view through its filled metres (filled in with the
// geometry's summary).
json lunghezze(const compilati& d) {
    return {{"line_declared", d.tabella[modello::record_treno].fine},
            {"route_grid", static_cast<std::int64_t>(d.percorso.size()) * 50},
            {"geometry_along_track", nullptr}};
}

json elemento(const modello::valore_geometria& v) { return v.vuoto() ? json(nullptr) : json(v.numero()); }

}  // namespace

identificativi trova_compilati(const fs::path& cartella, const std::optional<std::string>& linea,
                               const std::optional<std::string>& treno) {
    if (linea) controlla_identificativo(*linea, "--linea");
    if (treno) controlla_identificativo(*treno, "--treno");
    if (linea && treno) return {*linea, *treno};
    std::vector<identificativi> candidati;
    // The platform's listing: the C runtime's fails on long Windows paths.
    std::error_code err;
    const auto voci = piattaforma::elenco_cartella(cartella, err);
    if (err) throw fs::filesystem_error("cannot list the folder", cartella, err);
    for (const auto& voce : voci) {
        if (!voce.file || voce.nome.extension() != ".sim") continue;
        const std::string base = voce.nome.stem().string();
        if (linea) {
            if (base.size() > linea->size() + 1 && base.starts_with(*linea + "_"))
                candidati.push_back({*linea, base.substr(linea->size() + 1)});
        } else if (treno) {
            if (base.size() > treno->size() + 1 && base.ends_with("_" + *treno))
                candidati.push_back({base.substr(0, base.size() - treno->size() - 1), *treno});
        } else if (const auto p = base.rfind('_'); p != std::string::npos && p > 0 && p + 1 < base.size()) {
            candidati.push_back({base.substr(0, p), base.substr(p + 1)});
        }
    }
    if (candidati.empty())
        throw std::runtime_error(cartella.string() + ": no compiled table file (ID_N.sim) found" +
                                 (linea || treno ? " for the identifiers given" : ""));
    if (candidati.size() > 1) {
        std::sort(candidati.begin(), candidati.end(),
                  [](const auto& a, const auto& b) { return a.linea + "_" + a.treno < b.linea + "_" + b.treno; });
        std::string elenco;
        for (const auto& c : candidati) elenco += " " + c.linea + "_" + c.treno + ".sim";
        throw errore_uso(cartella.string() + " holds several compiled scenarios:" + elenco +
                         "; choose one with --linea and --treno");
    }
    return candidati.front();
}

bool geometria_del_percorso(std::int32_t ultimo_metro, std::int32_t numero_celle) {
    if (ultimo_metro < 0) return numero_celle == 0;
    return modello::arrotonda(ultimo_metro / 50.0) == numero_celle;
}

compilati carica_compilati(const fs::path& cartella, const identificativi& id) {
    const auto m = con_identificativi(cartella, id);
    compilati c;
    c.id = id;
    auto leggi = [&](const std::string& nome) {
        const auto f = modello::file_in_cartella(m, nome);
        if (!fs::exists(f)) throw std::runtime_error(f.string() + ": missing");
        return piattaforma::leggi_binario(f);
    };
    c.percorso = formato::decodifica_percorso(leggi(modello::nome_file_percorso(m)), modello::nome_file_percorso(m));
    c.tabella = formato::decodifica_tabella(leggi(modello::nome_file_tabella(m)), modello::nome_file_tabella(m));
    const auto file_geometria = modello::file_in_cartella(m, modello::nome_file_geometria(m));
    if (fs::exists(file_geometria)) {
        c.geometria =
            formato::decodifica_geometria(leggi(modello::nome_file_geometria(m)), modello::nome_file_geometria(m));
        // One geometry file serves every train of a line, so a compile with
        // --no-geometry keeps an older one, which may be of another line.
        const auto numero_celle = static_cast<std::int32_t>(c.percorso.size()) - 1;
        if (!geometria_del_percorso(c.geometria->ultimo_metro(), numero_celle))
            throw std::runtime_error(
                file_geometria.string() + " does not fit " +
                modello::file_in_cartella(m, modello::nome_file_percorso(m)).string() + ": the geometry runs to metre " +
                std::to_string(c.geometria->ultimo_metro()) + ", the route's " +
                (numero_celle >= 0 ? nome_celle(0, numero_celle) : std::string("no cells")) +
                "; it was left by a compile of another line of the same name (compile this line again without "
                "--no-geometry)");
    }
    return c;
}

json descrivi_compilati(const compilati& d, bool ogni_metro) {
    const auto m = con_identificativi({}, d.id);
    json j;
    j["linea"] = d.id.linea;
    j["treno"] = d.id.treno;
    j["files"] = {{"route", modello::nome_file_percorso(m)},
                  {"table", modello::nome_file_tabella(m)},
                  {"geometry", d.geometria ? json(modello::nome_file_geometria(m)) : json(nullptr)}};
    j["cells"] = d.percorso.size();
    j["lengths_m"] = lunghezze(d);

    // Records that a kilometre board cell points at hold board texts.
    std::vector<bool> testi_cartelli(modello::record_tabella, false);
    for (const auto& c : d.percorso)
        if (c.tipo == tc::cartello_km && c.valore_1 > 0 && c.valore_1 <= modello::primo_record_cartello)
            testi_cartelli[static_cast<std::size_t>(c.valore_1)] = true;
    json tabella = json::array();
    for (int r = 0; r < modello::record_tabella; ++r) {
        const auto& v = d.tabella[static_cast<std::size_t>(r)];
        if (formato::voce_vuota(v)) continue;
        json voce = {{"record", r}, {"role", ruolo_record(r, testi_cartelli)}, {"fields", campi_record(v)}};
        if (auto s = significati_record(r); !s.is_null()) voce["meanings"] = s;
        // The fields' names as the reference gives them, for every field.
        json nomi = json::object();
        const bool testo_cartello = r <= modello::primo_record_cartello && testi_cartelli[static_cast<std::size_t>(r)];
        for (const auto& [campo, valore] : voce["fields"].items()) {
            const auto nome = testo_cartello ? std::string_view(campo == "nome" ? "text" : "")
                                             : riferimento::nome_campo_record(r, campo);
            if (!nome.empty()) nomi[campo] = nome;
        }
        if (!nomi.empty()) voce["names"] = nomi;
        if (r >= modello::record_progressiva_tre && r <= modello::record_progressiva_uno)
            voce["ordering"] = nota_progressive;
        tabella.push_back(voce);
    }
    j["table"] = tabella;

    json celle = json::array();
    for (std::size_t i = 0; i < d.percorso.size(); ++i) {
        const cella& c = d.percorso[i];
        if (!ha_oggetto_o_segno(c)) continue;
        json o = {{"cell", i},
                  {"metre", i * 50},
                  {"tipo", c.tipo},
                  {"object", nome_oggetto(c, i)},
                  {"values", valori_cella(d, c, i)},
                  {"raw", {c.valore_1, c.valore_2, c.valore_3, c.valore_4}}};
        if (c.tempo_segnale != 0 && c.tipo != tc::segnale) o["tempo_segnale"] = c.tempo_segnale;
        if (c.preavviso != 0)
            o["approach_mark"] = {{"value", c.preavviso}, {"pair", modello::valori_segnale::cifra_alta(c.preavviso)},
                                  {"step", modello::valori_segnale::cifra_bassa(c.preavviso)}};
        celle.push_back(o);
    }
    j["route"] = celle;

    j["profiles"] = {
        {"speed_kmh", serie(d.percorso, [](const cella& c) { return json(c.velocita * 5); })},
        {"gradient_per_mille",
         serie(d.percorso,
               [](const cella& c) { return c.pendenza == 0 ? json(nullptr) : json(c.pendenza - 100); })},
        {"adhesion", serie(d.percorso, [](const cella& c) { return json(c.aderenza); })},
        {"mountain_type", serie(
                              d.percorso, [](const cella& c) { return json(c.tipo_montagna); },
                              [](const json& v) { return v != 0; })},
    };

    j["geometry"] = d.geometria ? sommario_geometria(*d.geometria) : json(nullptr);
    if (d.geometria) j["lengths_m"]["geometry_along_track"] = j["geometry"]["track_length_m"];
    if (ogni_metro && d.geometria) {
        json metri = json::array();
        for (std::int32_t k = 0; k <= d.geometria->ultimo_metro(); ++k)
            metri.push_back({k, elemento(d.geometria->at(k, 0)), elemento(d.geometria->at(k, 1))});
        j["geometry_metres"] = metri;
    }
    return j;
}

namespace {

// key=value pairs on one line; arrays as a,b,c; nested objects in brackets.
std::string in_linea(const json& v) {
    std::string s;
    if (v.is_string()) {
        s.append(1, '"').append(v.get<std::string>()).append(1, '"');
        return s;
    }
    if (v.is_array()) {
        for (const auto& e : v) {
            if (!s.empty()) s.append(1, ',');
            s.append(in_linea(e));
        }
        return s;
    }
    if (v.is_object()) {
        for (const auto& [k, e] : v.items()) {
            if (e.is_null()) continue;
            if (!s.empty()) s.append(1, ' ');
            s.append(k);
            if (e.is_object()) s.append(1, '(').append(in_linea(e)).append(1, ')');
            else s.append(1, '=').append(in_linea(e));
        }
        return s;
    }
    if (v.is_number_float()) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.3f", v.get<double>());
        return buf;
    }
    return v.dump();
}

}  // namespace

void stampa_compilati(std::ostream& out, const json& d) {
    out << "line " << d["linea"].get<std::string>() << ", train " << d["treno"].get<std::string>() << "\n";
    out << "files: " << d["files"]["route"].get<std::string>() << " (" << d["cells"].get<std::size_t>()
        << " cells), " << d["files"]["table"].get<std::string>() << ", "
        << (d["files"]["geometry"].is_null() ? std::string("no geometry file")
                                             : d["files"]["geometry"].get<std::string>())
        << "\n";
    const auto& l = d["lengths_m"];
    out << "lengths: the line " << in_linea(l["line_declared"]) << " m as its length entry declares it (record 84); "
        << "the route grid " << in_linea(l["route_grid"]) << " m (its cells × 50 m, past the line's end included)";
    if (!l["geometry_along_track"].is_null())
        out << "; the geometry " << in_linea(l["geometry_along_track"])
            << " m along the track (the plan view through its filled metres, past the line's end included)";
    out << "\n";

    out << "\ntable records that are not empty:\n";
    bool progressive = false;
    for (const auto& r : d["table"]) {
        out << "  record " << r["record"].get<int>() << ", " << r["role"].get<std::string>() << ":";
        const json* significati = r.contains("meanings") ? &r["meanings"] : nullptr;
        const json* nomi = r.contains("names") ? &r["names"] : nullptr;
        bool primo = true;
        for (const auto& [campo, valore] : r["fields"].items()) {
            const bool vuoto = valore.is_string() ? valore.get<std::string>().empty() : valore == 0;
            if (vuoto) continue;
            // The reference's name where it gives one, else the model's.
            out << (primo ? " " : "; ")
                << (nomi && nomi->contains(campo) ? (*nomi)[campo].get<std::string>() : campo) << "="
                << in_linea(valore);
            primo = false;
            if (campo == "orario" && !significati) out << " (" << modello::orario::scritta(valore.get<std::int64_t>()) << ")";
        }
        out << "\n";
        progressive = progressive || r.contains("ordering");
    }
    if (progressive) out << "  (records 81 to 83: " << nota_progressive << ")\n";

    out << "\nroute cells with an object or a mark:\n";
    for (const auto& c : d["route"]) {
        char testa[64];
        std::snprintf(testa, sizeof testa, "  %-23s ",
                      nome_cella(static_cast<std::int64_t>(c["cell"].get<std::size_t>())).c_str());
        out << testa;
        if (c["object"] != "none") out << c["object"].get<std::string>() << "  ";
        out << in_linea(c["values"]);
        if (c["values"].empty() && c["tipo"] != 11 && c["raw"] != json::array({0, 0, 0, 0}))
            out << "  raw=" << in_linea(c["raw"]);
        if (c.contains("tempo_segnale")) out << "  tempo_segnale=" << c["tempo_segnale"].dump();
        if (c.contains("approach_mark")) out << "  approach mark " << c["approach_mark"]["value"].dump();
        out << "\n";
    }

    out << "\nprofiles, as runs of cells:\n";
    for (const auto& [nome, runs] : d["profiles"].items()) {
        out << "  " << nome << ":\n";
        for (const auto& r : runs) {
            char riga[128];
            std::snprintf(riga, sizeof riga, "    %-38s ",
                          nome_celle(static_cast<std::int64_t>(r["from_cell"].get<std::size_t>()),
                                     static_cast<std::int64_t>(r["to_cell"].get<std::size_t>()))
                              .c_str());
            out << riga << (r["value"].is_null() ? std::string("unset") : r["value"].dump()) << "\n";
        }
    }

    out << "\ngeometry: ";
    if (d["geometry"].is_null()) {
        out << "no geometry file\n";
    } else {
        const auto& g = d["geometry"];
        out << g["metres"].dump() << " metres, " << g["empty_metres"].dump() << " empty";
        if (!g["extent_m"].is_null()) out << "; extent " << in_linea(g["extent_m"]);
        out << "; length along the track (the geometry's, not the line's) " << in_linea(g["track_length_m"])
            << " m; net turn "
            << in_linea(g["net_turn_degrees"]) << " degrees (right positive), total turn "
            << in_linea(g["total_turn_degrees"]) << " degrees\n";
    }
    if (d.contains("geometry_metres")) {
        out << "\nmetre component_0 component_1\n";
        for (const auto& m : d["geometry_metres"]) {
            out << m[0].dump();
            for (std::size_t k = 1; k <= 2; ++k) {
                char numero[64] = "-";
                if (!m[k].is_null()) std::snprintf(numero, sizeof numero, "%.9f", m[k].get<double>());
                out << " " << numero;
            }
            out << "\n";
        }
    }
}

std::string nome_oggetto_cella(const cella& c) { return nome_oggetto(c, 0); }

}  // namespace strumento
