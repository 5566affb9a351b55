// The authors' reference against what it describes: the readers' keyword
// tables, the headers of the built-in files, the status codes, and the
// compiler itself, which must do with each example row what its entry says.
#include "reference/riferimento.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <regex>
#include <set>
#include <span>
#include <stdexcept>
#include <tuple>
#include <string>
#include <string_view>
#include <vector>

#include "text/flusso_campi.h"
#include "check/regole.h"
#include "compiler/driver.h"
#include "line_reader/lettore_linea.h"
#include "model/codici.h"
#include "model/modello.h"
#include "scenario_text/righe_builtin.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"
#include "train_reader/lettore_treno.h"

namespace {

namespace fs = std::filesystem;
using riferimento::file_testo;

// A small valid scenario: a board of each kind, a station and a signal, so
// that the rows that meet an object have one to meet.
const std::vector<std::string> linea_base{
    "[generale]",
    "lunghezza percorso,    10000",
    "[pendenze]",
    "pendenza,  0,   0",
    "indicatori_vmax,  700,  100,  110,  115,  0,  100,  110,  115,  0",
    "cartello_indicatore,  4400,   (Km 4+400)",
    "[fine]",
};
const std::vector<std::string> treno_base{
    "[generale]",
    "numero vetture,    10",
    "velocita,       0,   100",
    "aderenza,       0,    70",
    "stazione,    3000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,  6,56, 0, BORGO",
    "segnale,    4500,   2, 4, 1,  0, 0,    2,  3,1,0, 0",
    "[fine]",
};

struct compilato {
    std::int32_t codice = 0;  // the status, or the fatal code
    modello::Modello m;
    std::string geometria;  // the geometry file's bytes
};

std::string unisci(const std::vector<std::string>& righe) {
    std::string s;
    for (const auto& r : righe) s += r + "\r\n";
    return s;
}

std::string parola_di(const std::string& riga) { return riga.substr(0, riga.find(',')); }

bool nel_blocco_generale(const std::string& riga) {
    for (const auto& p : lettura::parole_linea())
        if (lettura::riconosce(p, parola_di(riga))) return p.blocco == lettura::blocco_linea::generale;
    return false;
}

// The base scenario with one row more: a general entry at the end of the
// general block, any other row just before the closing [fine].
compilato compila_con(file_testo file, const std::string& riga) {
    auto linea = linea_base, treno = treno_base;
    if (file == file_testo::linea)
        linea.insert(nel_blocco_generale(riga) ? linea.begin() + 2 : linea.end() - 1, riga);
    else if (!riga.empty())
        treno.insert(treno.end() - 1, riga);
    test_util::CartellaTemporanea dir;
    test_util::scrivi(dir.percorso() / "Prova_linea.txt", unisci(linea));
    test_util::scrivi(dir.percorso() / "Prova_1-.txt", unisci(treno));
    compilato c;
    c.m.cartella = dir.percorso();
    c.m.nome_linea = "Prova";
    c.m.numero_treno = "1";
    try {
        c.codice = compilatore::memorizza_percorso(c.m, 1);
        c.geometria = test_util::leggi(dir.percorso() / "Prova_linea.dat");
    } catch (const modello::errore_fatale& e) {
        c.codice = e.codice();
    }
    return c;
}

const compilato& base() {
    static const compilato c = compila_con(file_testo::treno, "");
    return c;
}

bool stesso_record(const modello::voce_tabella& a, const modello::voce_tabella& b) {
    return a.tipo == b.tipo && a.inizio == b.inizio && a.fine == b.fine && a.progressiva == b.progressiva &&
           a.nome == b.nome && a.campo_4 == b.campo_4 && a.campo_5 == b.campo_5 && a.campo_6 == b.campo_6 &&
           a.campo_7 == b.campo_7 && a.campo_8 == b.campo_8 && a.campo_9 == b.campo_9 && a.campo_10 == b.campo_10 &&
           a.campo_11 == b.campo_11 && a.campo_12 == b.campo_12 && a.campo_13 == b.campo_13 && a.orario == b.orario;
}

long celle_di_tipo(const modello::Modello& m, int tipo) {
    return std::count_if(m.percorso.begin(), m.percorso.end(), [&](const auto& c) { return c.tipo == tipo; });
}

// Records 1 to 80 that hold a station (a position) or a board text (a name only).
long record_di(const modello::Modello& m, riferimento::zona_tabella z) {
    long n = 0;
    for (int r = 1; r <= modello::primo_record_cartello; ++r) {
        const auto& v = m.tabella[static_cast<std::size_t>(r)];
        const bool stazione = v.progressiva != 0 || v.tipo != 0;
        if (z == riferimento::zona_tabella::stazioni ? stazione : (!stazione && !v.nome.empty())) ++n;
    }
    return n;
}

std::vector<int> profilo_di(const modello::Modello& m, riferimento::profilo p) {
    std::vector<int> v;
    for (const auto& c : m.percorso) switch (p) {
            case riferimento::profilo::pendenza: v.push_back(c.pendenza); break;
            case riferimento::profilo::velocita: v.push_back(c.velocita); break;
            case riferimento::profilo::aderenza: v.push_back(c.aderenza); break;
            case riferimento::profilo::montagna: v.push_back(c.tipo_montagna); break;
            default: break;
        }
    return v;
}

// ---------------------------------------------------------------------------

TEST(Riferimento, LoScenarioDiBaseCompilaSenzaProblemi) {
    ASSERT_EQ(base().codice, 0);
    ASSERT_FALSE(base().geometria.empty());
}

// Each keyword entry of a reader has one entry here, with the same keywords,
// case rule and block, and nothing here names a keyword no reader knows.
TEST(Riferimento, OgniParolaDeiLettoriHaLaSuaVoce) {
    std::set<const riferimento::parola*> usate;
    auto voce = [&](file_testo f, std::string_view prima, std::string_view seconda, bool ignora) {
        const riferimento::parola* trovata = nullptr;
        for (const auto& p : riferimento::parole())
            if (p.file == f && p.prima == prima && p.seconda == seconda) {
                EXPECT_EQ(trovata, nullptr) << prima << " has two entries";
                trovata = &p;
            }
        if (trovata == nullptr) {
            ADD_FAILURE() << "no entry for \"" << prima << "\" \"" << seconda << "\"";
            return trovata;
        }
        EXPECT_EQ(trovata->ignora_maiuscole, ignora) << prima;
        usate.insert(trovata);
        return trovata;
    };
    for (const auto& p : lettura::parole_linea())
        if (const auto* v = voce(file_testo::linea, p.prima, p.seconda, p.ignora_maiuscole)) {
            EXPECT_EQ(v->sezione.starts_with("line description, general block"),
                      p.blocco == lettura::blocco_linea::generale)
                << p.prima;
        }
    for (const auto& p : lettura::parole_treno()) voce(file_testo::treno, p.prima, p.seconda, p.ignora_maiuscole);
    EXPECT_EQ(usate.size(), riferimento::parole().size()) << "an entry names a keyword that no reader recognises";
}

TEST(Riferimento, OgniIntestazioneDeiFileBuiltinHaLaSuaVoce) {
    auto controlla = [](file_testo f, const auto& righe) {
        int intestazioni = 0;
        for (std::string_view r : righe) {
            if (r.find('[') == std::string_view::npos || r.find(']') == std::string_view::npos) continue;
            ++intestazioni;
            const auto trovati = riferimento::cerca(r);
            EXPECT_TRUE(std::any_of(trovati.sezioni.begin(), trovati.sezioni.end(),
                                    [&](const auto* s) { return s->file == f && s->intestazione == r; }))
                << r;
        }
        EXPECT_GT(intestazioni, 5);
    };
    controlla(file_testo::linea, testi_scenario::righe_linea);
    controlla(file_testo::treno, testi_scenario::righe_treno);
}

TEST(Riferimento, OgniCodiceHaLaSuaVoceEUnaSola) {
    std::set<std::int32_t> noti;
    for (std::int32_t c = 0; c <= 2000; ++c)
        if (modello::codice_noto(c)) noti.insert(c);
    std::set<std::int32_t> descritti;
    for (const auto& c : riferimento::codici()) {
        EXPECT_TRUE(descritti.insert(c.numero).second) << c.numero << " twice";
        EXPECT_FALSE(c.causa.empty()) << c.numero;
        // The metre is told of the codes the table of codes says have one.
        EXPECT_EQ(!c.posizione.empty(), modello::codice_con_posizione(c.numero)) << c.numero;
        if (c.numero != 0) {
            EXPECT_FALSE(c.rimedio.empty()) << c.numero;
        }
    }
    EXPECT_EQ(descritti, noti);
}

// Each keyword's example compiles cleanly, is recognised as that keyword,
// and lands where the entry says.
TEST(Riferimento, OgniEsempioDiParolaCompilaEFinisceDoveDice) {
    using z = riferimento::zona_tabella;
    for (const auto& p : riferimento::parole()) {
        SCOPED_TRACE(std::string(p.esempio));
        const std::string esempio(p.esempio);
        const auto trovati = riferimento::cerca(parola_di(esempio));
        EXPECT_NE(std::find(trovati.parole.begin(), trovati.parole.end(), &p), trovati.parole.end());

        const auto c = compila_con(p.file, esempio);
        ASSERT_EQ(c.codice, 0) << modello::significato_codice(c.codice);
        bool controllato = false;
        if (p.zona == z::record_fisso) {
            const auto r = static_cast<std::size_t>(p.record);
            EXPECT_FALSE(stesso_record(c.m.tabella[r], base().m.tabella[r])) << "record " << p.record;
            controllato = true;
        } else if (p.zona != z::nessuna) {
            EXPECT_EQ(record_di(c.m, p.zona), record_di(base().m, p.zona) + 1);
            controllato = true;
        }
        if (p.tipo_cella >= 0) {
            EXPECT_GT(celle_di_tipo(c.m, p.tipo_cella), celle_di_tipo(base().m, p.tipo_cella));
            controllato = true;
        }
        if (p.traccia == riferimento::profilo::geometria) {
            EXPECT_NE(c.geometria, base().geometria);
            controllato = true;
        } else if (p.traccia != riferimento::profilo::nessuno) {
            EXPECT_NE(profilo_di(c.m, p.traccia), profilo_di(base().m, p.traccia));
            controllato = true;
        }
        EXPECT_TRUE(controllato) << "the entry says nowhere where its row goes";
    }
}

// The same compile: every cell, every table record and the geometry.
bool stesso_compilato(const compilato& a, const compilato& b) {
    auto stessa_cella = [](const modello::cella& x, const modello::cella& y) {
        return std::tie(x.tipo, x.valore_1, x.valore_2, x.valore_3, x.valore_4, x.tempo_segnale, x.preavviso,
                        x.tipo_montagna, x.velocita, x.pendenza, x.aderenza) ==
               std::tie(y.tipo, y.valore_1, y.valore_2, y.valore_3, y.valore_4, y.tempo_segnale, y.preavviso,
                        y.tipo_montagna, y.velocita, y.pendenza, y.aderenza);
    };
    return a.codice == b.codice && a.geometria == b.geometria &&
           std::equal(a.m.percorso.begin(), a.m.percorso.end(), b.m.percorso.begin(), b.m.percorso.end(),
                      stessa_cella) &&
           std::equal(a.m.tabella.begin(), a.m.tabella.end(), b.m.tabella.begin(), b.m.tabella.end(), stesso_record);
}

// The readers read after each keyword exactly the values its entry lists, so
// that check's counts and the reference's fields are the reader's own. A row
// that follows the keyword's example shows it: read as a row, its value
// changes the compile; swallowed as the example's last value (the example cut
// by one), it does not, since its values are then read as keyword fields.
TEST(Riferimento, OgniLettoreLeggeIValoriDellaSuaVoce) {
    for (const auto& p : riferimento::parole()) {
        SCOPED_TRACE(std::string(p.esempio));
        // The example's keyword and values as the field stream reads them,
        // written again one per comma.
        testo::flusso_campi f{std::string(p.esempio)};
        std::vector<std::string> valori{f.leggi_testo()};
        for (const auto& c : p.campi)
            valori.push_back(c.lettura == "Windows-1252" ? f.leggi_testo() : std::to_string(f.leggi_long()));
        EXPECT_TRUE(f.fine()) << "the example holds more values than its fields";

        // A row of the same block as the example, of another keyword, in two
        // versions that compile differently.
        std::array<std::string, 2> seguente;
        if (p.file == file_testo::treno)
            seguente = p.argomento == "sabbia" ? std::array<std::string, 2>{"aderenza, 9000, 50", "aderenza, 9000, 51"}
                                               : std::array<std::string, 2>{"sabbia, 4321", "sabbia, 4322"};
        else if (nel_blocco_generale(std::string(p.esempio)))
            seguente = p.argomento == "sfondo uno" ? std::array<std::string, 2>{"sfondo tre, 5", "sfondo tre, 6"}
                                                   : std::array<std::string, 2>{"sfondo uno, 5", "sfondo uno, 6"};
        else
            seguente = p.argomento == "cartello_indicatore"
                           ? std::array<std::string, 2>{"pendenza, 9000, 5", "pendenza, 9000, 6"}
                           : std::array<std::string, 2>{"cartello_indicatore, 8800, (Km 8+800)",
                                                        "cartello_indicatore, 8800, (Km 8+801)"};
        auto seguito_da = [&](std::size_t quanti, const std::string& riga) {
            std::string r = valori[0];
            for (std::size_t i = 1; i <= quanti; ++i) r += "," + valori[i];
            return compila_con(p.file, r + "\r\n" + riga);
        };
        const std::size_t n = p.campi.size();
        EXPECT_FALSE(stesso_compilato(seguito_da(n, seguente[0]), seguito_da(n, seguente[1])))
            << "the row after the example is not read as a row";
        EXPECT_TRUE(stesso_compilato(seguito_da(n - 1, seguente[0]), seguito_da(n - 1, seguente[1])))
            << "the example cut by one value is complete without the next row";
    }
}

// Each code a single row can cause: the entry's example, in the small
// scenario, gives that code. The others say how they arise instead.
TEST(Riferimento, OgniEsempioDiCodiceDaQuelCodice) {
    const std::set<std::int32_t> senza_riga{0, 10, 11, 12, 13, 101, 102};
    for (const auto& k : riferimento::codici()) {
        SCOPED_TRACE("code " + std::to_string(k.numero));
        if (k.esempio.empty()) {
            EXPECT_TRUE(senza_riga.contains(k.numero)) << "no example row";
            if (k.numero != 0) {
                EXPECT_NE(k.causa.find("arises"), std::string_view::npos) << "does not say how it arises";
            }
            continue;
        }
        EXPECT_FALSE(riferimento::cerca(parola_di(std::string(k.esempio))).parole.empty());
        EXPECT_EQ(compila_con(k.file, std::string(k.esempio)).codice, k.numero);
    }
}

TEST(Riferimento, IlDocumentoDelRepositoryEIlRiferimento) {
    const auto documento = test_util::leggi(fs::path(SOURCE_DIR) / "docs" / "reference.md");
    EXPECT_TRUE(documento == riferimento::markdown_completo())
        << "docs/reference.md differs from the table: regenerate it with scenario_tool explain --all --markdown > "
           "docs/reference.md";
}

test_util::Esito strumento(std::vector<std::string> argomenti) {
    argomenti.insert(argomenti.begin(), SCENARIO_TOOL_PATH);
    return test_util::esegui(argomenti);
}

TEST(Explain, UnArgomentoUnaVoce) {
    struct caso {
        std::vector<std::string> argomenti;
        std::vector<std::string> contiene;
        std::vector<std::string> non_contiene;
    };
    const caso casi[] = {
        {{"stazione"}, {"17. name", "Example: stazione,"}, {"segnale,"}},
        {{"segnale"}, {"11. time", "Example: segnale,"}, {"ripetizione"}},
        {{"21"}, {"status 21: speed indicator board on a cell that is not free", "Fix: ", "Effect: hard"}, {}},
        {{"15"}, {"Effect: soft"}, {}},
        {{"11"}, {"Effect: recorded"}, {"Example:"}},
        {{"1250"}, {"Effect: fatal"}, {}},
        {{"curvas3"}, {"curva\n", "radius"}, {}},
        {{"[generale]"}, {"(line description)", "(train file)"}, {}},
        {{"progressiva"},
         {"progressiva chilometrica uno\n", "progressiva chilometrica due\n", "progressiva chilometrica tre\n"},
         {}},
        {{"field-count"},
         {"warning rule field-count\n", "Finds: a row with fewer or more values", "Why it matters: The reader reads "
          "fields, not lines", "Example: stazione,", "Silence it: scenario_tool check --no-warn field-count."},
         {"17. name"}},
        {{"run-starts-late"}, {"in the train file, as the first row of its keyword there"}, {}},
        {{"segnali"}, {"segnale\n", "11. time"}, {"[segnali]"}},
        {{"comments"}, {"Comments (comments)\n", "10 in the line description's general block, 2 in its body",
                        "      // curva a destra\n"}, {"`"}},
        {{"timetable"}, {"seconds of the day", "times-backwards", "field 13 the dwell"}, {}},
        {{"clock"}, {"record 86", "midnight", "clock-after-departure"}, {}},
        {{"progressives"}, {"direction code is 1", "records 81 to 83"}, {}},
        {{"boards"}, {"indicatori_vmax", "cartello_indicatore", "status 21"}, {}},
        {{"categories"}, {"a, b and c", "valore_1"}, {}},
    };
    for (const auto& c : casi) {
        std::vector<std::string> a{"explain"};
        a.insert(a.end(), c.argomenti.begin(), c.argomenti.end());
        const auto e = strumento(a);
        SCOPED_TRACE(c.argomenti.front());
        EXPECT_EQ(e.stato, 0) << e.errori;
        for (const auto& s : c.contiene) EXPECT_NE(e.uscita.find(s), std::string::npos) << s;
        for (const auto& s : c.non_contiene) EXPECT_EQ(e.uscita.find(s), std::string::npos) << s;
    }
}

const riferimento::parola& parola_di_nome(std::string_view argomento) {
    for (const auto& p : riferimento::parole())
        if (p.argomento == argomento) return p;
    throw std::logic_error("no keyword " + std::string(argomento));
}

std::set<std::int64_t> valori_usati(std::string_view argomento, std::string_view campo) {
    const auto& p = parola_di_nome(argomento);
    for (std::size_t i = 0; i < p.campi.size(); ++i)
        if (p.campi[i].nome == campo) {
            std::set<std::int64_t> v;
            for (const auto& u : riferimento::usi_builtin(p, i)) v.insert(u.valore);
            return v;
        }
    throw std::logic_error("no value " + std::string(campo));
}

// The values the built-in scenario gives the fields without a meaning: what
// the built-in data is known to hold, and lines that are rows of the keyword.
TEST(Riferimento, IValoriDelloScenarioIncorporato) {
    using v = std::set<std::int64_t>;
    EXPECT_EQ(valori_usati("segnale", "left kind"), (v{1, 2}));
    EXPECT_EQ(valori_usati("segnale", "right kind"), (v{0, 1, 2}));
    EXPECT_EQ(valori_usati("segnale", "rapp"), (v{0}));
    EXPECT_EQ(valori_usati("segnale", "time"), (v{0, 220, 230}));
    for (const auto* c : {"left digit 1", "left digit 2", "left digit 3", "right digit 1", "right digit 2", "right digit 3"})
        for (const auto x : valori_usati("segnale", c)) EXPECT_TRUE(x >= 0 && x <= 5) << c << " " << x;
    EXPECT_EQ(valori_usati("montagna", "type"), (v{11}));
    EXPECT_EQ(valori_usati("rallentamento", "f_tt"), (v{0}));

    // Every row of the keyword once per field: 124 signals, 35 stations, 3 mountain stretches.
    const std::pair<std::string_view, std::size_t> quante[] = {{"segnale", 124}, {"stazione", 35}, {"montagna", 3}};
    for (const auto& [argomento, n] : quante) {
        const auto& p = parola_di_nome(argomento);
        const auto& righe = p.file == file_testo::linea ? std::span<const std::string_view>(testi_scenario::righe_linea)
                                                         : std::span<const std::string_view>(testi_scenario::righe_treno);
        for (std::size_t i = 0; i < p.campi.size(); ++i) {
            if (!p.campi[i].senza_significato) continue;
            std::size_t tutte = 0;
            for (const auto& u : riferimento::usi_builtin(p, i)) {
                tutte += u.righe.size();
                for (const int r : u.righe) EXPECT_TRUE(righe[static_cast<std::size_t>(r - 1)].starts_with(argomento)) << r;
            }
            EXPECT_EQ(tutte, n) << argomento << " " << p.campi[i].nome;
        }
    }
    const std::string documento = riferimento::markdown_completo();
    EXPECT_NE(documento.find("The format gives these values no meaning of their own"), std::string::npos);
    EXPECT_NE(documento.find("- rapp: 0 (124 rows: lines "), std::string::npos);
}

// A range the warning rules check is the one the entry prints.
TEST(Riferimento, GliAmbitiSonoQuelliScritti) {
    for (const auto& p : riferimento::parole())
        for (const auto& c : p.campi) {
            if (!c.limiti.presente()) continue;
            SCOPED_TRACE(std::string(p.argomento) + ": " + std::string(c.nome));
            EXPECT_TRUE(c.valori.starts_with(std::to_string(c.limiti.minimo))) << c.valori;
            if (c.limiti.massimo < std::numeric_limits<std::int32_t>::max()) {
                EXPECT_NE(c.valori.find(std::to_string(c.limiti.massimo)), std::string_view::npos) << c.valori;
            }
            EXPECT_TRUE(c.limiti.orario || !c.limiti.fuori.empty());
        }
}

// Every warning rule of check is a topic of its own, in the document too.
TEST(Riferimento, OgniRegolaDiAvvisoHaLaSuaVoce) {
    const std::string documento = riferimento::markdown_completo();
    for (const auto& r : strumento::regole_avviso()) {
        SCOPED_TRACE(r.nome);
        const auto t = riferimento::cerca(r.nome);
        ASSERT_EQ(t.regole.size(), 1u);
        EXPECT_EQ(t.regole[0]->nome, r.nome);
        EXPECT_TRUE(t.parole.empty() && t.codici.empty() && t.sezioni.empty());
        EXPECT_FALSE(r.perche.empty());
        EXPECT_NE(documento.find("### " + std::string(r.nome) + "\n"), std::string::npos);
        EXPECT_NE(documento.find("`scenario_tool check --no-warn " + std::string(r.nome) + "`"), std::string::npos);
    }
}

// check's own errors are topics too, and no warning rule: --no-warn does not
// take their names.
TEST(Riferimento, OgniErroreDelControlloHaLaSuaVoce) {
    const std::string documento = riferimento::markdown_completo();
    ASSERT_EQ(strumento::errori_controllo().size(), 4u);
    for (const auto& e : strumento::errori_controllo()) {
        SCOPED_TRACE(e.nome);
        const auto t = riferimento::cerca(e.nome);
        ASSERT_EQ(t.errori.size(), 1u);
        EXPECT_TRUE(t.parole.empty() && t.codici.empty() && t.sezioni.empty() && t.regole.empty());
        EXPECT_FALSE(e.perche.empty() || e.rimedio.empty());
        EXPECT_NE(documento.find("### " + std::string(e.nome) + "\n"), std::string::npos);
        EXPECT_FALSE(strumento::regola_esiste(e.nome));
    }
}

// A topic's examples do to the compile what they say: the comments compile
// as if absent, the rows that only look like comments change the compile.
TEST(Riferimento, GliEsempiDeiTemiCompilanoComeDicono) {
    std::size_t esempi = 0;
    for (const auto& t : riferimento::temi())
        for (const auto& e : t.esempi) {
            SCOPED_TRACE(std::string(t.nome) + ": " + std::string(e.righe));
            std::string righe;
            for (const char c : e.righe) righe += c == '\n' ? std::string("\r\n") : std::string(1, c);
            EXPECT_EQ(stesso_compilato(compila_con(e.file, righe), base()), e.come_assenti);
            ++esempi;
        }
    EXPECT_GE(esempi, 6u);
}

// What explain finds for a topic as authors write it: exact names first, then
// plurals, English words, other letters' case and accents; a header only with
// its brackets or when no keyword has the name.
TEST(Riferimento, GliAltriNomiTrovanoLaVoce) {
    struct caso {
        std::string_view scritto;
        std::vector<std::string_view> trovati;  // topics, keywords, headers, rules, in this order
    };
    const caso casi[] = {
        {"segnale", {"segnale"}},
        {"segnali", {"segnale"}},
        {"SEGNALI", {"segnale"}},
        {"Signals", {"segnale"}},
        {"signal", {"segnale"}},
        {"[segnali]", {"[segnali]"}},
        {"stazioni", {"stazione"}},
        {"stations", {"stazione"}},
        {"curve", {"curva"}},
        {"[curve]", {"[curve]"}},
        {"rallentamenti", {"rallentamento"}},
        {"pendenze", {"pendenza"}},
        {"aderenze", {"aderenza"}},
        {"velocità", {"velocita"}},
        {"VELOCITÀ", {"velocita"}},
        {"indicatori", {"indicatori_vmax"}},
        {"indicatori-vmax", {"indicatori_vmax"}},
        {"numero_vetture", {"numero vetture"}},
        {"coaches", {"numero vetture"}},
        {"orologio", {"orologio"}},
        {"clock", {"clock"}},
        {"commenti", {"comments"}},
        {"Comment", {"comments"}},
        {"orario", {"timetable"}},
        {"progressives", {"progressives"}},
        {"progressive", {"progressives"}},
        {"progressiva",
         {"progressiva chilometrica tre", "progressiva chilometrica due", "progressiva chilometrica uno"}},
        {"cartelli", {"boards"}},
        {"boards", {"boards"}},
        {"categorie", {"categories"}},
        {"generale", {"[generale]", "[generale]"}},
        {"fine", {"[fine]", "[fine]"}},
        {"curvad4", {"curva"}},
        {"time-range", {"time-range"}},
        {"stazone", {}},
        {"treno", {}},
    };
    for (const auto& c : casi) {
        const auto t = riferimento::cerca(c.scritto);
        std::vector<std::string_view> nomi;
        for (const auto* x : t.temi) nomi.push_back(x->nome);
        for (const auto* x : t.parole) nomi.push_back(x->argomento);
        for (const auto* x : t.sezioni) nomi.push_back(x->intestazione);
        for (const auto* x : t.regole) nomi.push_back(x->nome);
        EXPECT_EQ(nomi, c.trovati) << c.scritto;
    }
    // A field in a file means what the readers make of it, never another name.
    EXPECT_TRUE(riferimento::cerca_campo("stazioni").parole.empty());
    EXPECT_TRUE(riferimento::cerca_campo("signal").vuoto());
    EXPECT_TRUE(riferimento::cerca_campo("commenti").vuoto());
    ASSERT_EQ(riferimento::cerca_campo("Curvad4").parole.size(), 1u);
    EXPECT_EQ(riferimento::cerca_campo("Curvad4").parole[0]->argomento, "curva");
}

// Every topic is found by its name alone and stands in the document.
TEST(Riferimento, OgniTemaHaLaSuaVoce) {
    const std::string documento = riferimento::markdown_completo();
    for (const auto& t : riferimento::temi()) {
        SCOPED_TRACE(t.nome);
        const auto trovati = riferimento::cerca(t.nome);
        ASSERT_EQ(trovati.temi.size(), 1u);
        EXPECT_EQ(trovati.temi[0], &t);
        EXPECT_TRUE(trovati.parole.empty() && trovati.sezioni.empty());
        EXPECT_NE(documento.find("### " + std::string(t.titolo) + " (`" + std::string(t.nome) + "`)\n"),
                  std::string::npos);
        // The rules it names are check's, the entries it sends to are explain's.
        const std::string testo(t.testo);
        const std::regex regola("`([a-z]+(-[a-z]+)+)`"), rimando("`explain ([^`]+)`");
        for (auto m = std::sregex_iterator(testo.begin(), testo.end(), regola); m != std::sregex_iterator(); ++m)
            EXPECT_TRUE(strumento::regola_esiste((*m)[1].str())) << (*m)[1];
        for (auto m = std::sregex_iterator(testo.begin(), testo.end(), rimando); m != std::sregex_iterator(); ++m)
            EXPECT_FALSE(riferimento::cerca((*m)[1].str()).vuoto()) << (*m)[1];
    }
}

// An unknown topic is offered only what it is a slip of.
TEST(Riferimento, IViciniSonoSoloQuelliVicini) {
    struct caso {
        std::string_view argomento;
        std::vector<std::string> vicini;
    };
    const caso casi[] = {
        {"stazone", {"stazione"}},
        {"valu-range", {"value-range"}},
        {"fild-count", {"field-count"}},
        {"[fin]", {"[fine]"}},
        {"zzzzzq", {}},
        // Other names are offered too, and find their entry.
        {"signl", {"signal"}},
        {"commnets", {"comments"}},
        {"treno", {}},
        {"99", {}},
    };
    for (const auto& c : casi) EXPECT_EQ(riferimento::vicini(c.argomento), c.vicini) << c.argomento;
}

TEST(Explain, ArgomentoIgnotoUnaRigaConIPiuVicini) {
    const auto e = strumento({"explain", "stazone"});
    EXPECT_EQ(e.stato, 64);
    EXPECT_EQ(e.uscita, "");
    EXPECT_EQ(std::count(e.errori.begin(), e.errori.end(), '\n'), 1) << e.errori;
    EXPECT_NE(e.errori.find("closest: stazione"), std::string::npos) << e.errori;
    const auto lontano = strumento({"explain", "99"});
    EXPECT_EQ(lontano.stato, 64);
    EXPECT_EQ(lontano.errori, "scenario_tool explain: no topic \"99\"; explain --all lists them all\n");
    EXPECT_EQ(strumento({"explain"}).stato, 64);
    EXPECT_EQ(strumento({"explain", "21", "--all"}).stato, 64);
}

// explain's help names every topic, so that an author finds them there.
TEST(Explain, LAiutoNominaOgniTema) {
    const auto e = strumento({"explain", "--help"});
    ASSERT_EQ(e.stato, 0);
    for (const auto& t : riferimento::temi()) EXPECT_NE(e.uscita.find(std::string(t.nome)), std::string::npos) << t.nome;
}

TEST(Explain, TuttoInMarkdownEIlDocumento) {
    const auto e = strumento({"explain", "--all", "--markdown"});
    EXPECT_EQ(e.stato, 0);
    EXPECT_TRUE(e.uscita == riferimento::markdown_completo());
    const auto t = strumento({"explain", "--all"});
    EXPECT_EQ(t.stato, 0);
    for (const auto& p : riferimento::parole()) EXPECT_NE(t.uscita.find(std::string(p.esempio)), std::string::npos);
}

}  // namespace

namespace {

// The edit distance, whole and under a limit: at the limit the distance
// itself, one past it limite + 1, whatever the real distance beyond.
TEST(Riferimento, LaDistanzaEntroUnLimite) {
    const struct {
        std::string_view a, b;
        std::size_t intera;
    } casi[] = {
        {"", "", 0},           {"velocita", "velocita", 0}, {"velocitx", "velocita", 1},
        {"", "segnale", 7},    {"segnali", "segnale", 1},   {"curva", "pendenza", 7},
        {"stazion", "stazione", 1}, {"abc", "cba", 2},      {"rallentamento", "ralentamneto", 3},
    };
    for (const auto& c : casi) {
        EXPECT_EQ(riferimento::distanza(c.a, c.b), c.intera) << c.a << " " << c.b;
        EXPECT_EQ(riferimento::distanza(c.b, c.a), c.intera) << c.b << " " << c.a;
        EXPECT_EQ(riferimento::distanza(c.a, c.b, c.intera), c.intera) << c.a << " " << c.b;
        if (c.intera > 0) {
            EXPECT_EQ(riferimento::distanza(c.a, c.b, c.intera - 1), c.intera) << c.a << " " << c.b;
        }
        for (std::size_t limite = 0; limite + 1 < c.intera; ++limite)
            EXPECT_EQ(riferimento::distanza(c.a, c.b, limite), limite + 1) << c.a << " " << c.b << " " << limite;
    }
}

}  // namespace
