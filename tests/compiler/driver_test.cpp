#include "compiler/driver.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

#include "format/geometria.h"
#include "format/percorso.h"
#include "format/tabella.h"
#include "model/codici.h"
#include "tests/cartella_temporanea.h"
#include "tests/format/decodifica.h"

namespace {

namespace fs = std::filesystem;
namespace tc = modello::tipo_cella;

const char* const geometria_file = "L_linea.dat";
const char* const tabella_file = "L_7.sim";
const char* const percorso_file = "L_7.dat";

// A model as the readers leave it: identifiers "7" and "AB" in records 86 and
// 85, a free grid of cells 0..40 and a small geometry.
modello::Modello modello_letto(const fs::path& cartella) {
    modello::Modello m;
    m.cartella = cartella;
    m.nome_linea = "L";
    m.numero_treno = "7";
    m.tabella[modello::record_ripetizione].nome = "7";
    m.tabella[modello::record_linea].nome = "AB";
    m.nuovo_percorso(40);
    m.lunghezza_totale = 3;
    m.geometria.emplace(3);
    m.geometria->inizia();
    m.geometria->posa(2, 2, 0.0);
    return m;
}

void posa(modello::Modello& m, int i, std::uint8_t tipo, std::int16_t valore_1 = 0) {
    m.percorso.at(static_cast<std::size_t>(i)).tipo = tipo;
    m.percorso.at(static_cast<std::size_t>(i)).valore_1 = valore_1;
}

// Compiled files of an earlier run, longer than any this test writes.
void file_precedenti(const fs::path& dir) {
    for (const char* nome : {geometria_file, tabella_file, percorso_file})
        test_util::scrivi(dir / nome, std::string(20000, '#'));
}

void restano_i_precedenti(const fs::path& dir) {
    EXPECT_EQ(test_util::elenco(dir), (std::vector<std::string>{percorso_file, tabella_file, geometria_file}));
    for (const char* nome : {geometria_file, tabella_file, percorso_file})
        EXPECT_EQ(test_util::leggi(dir / nome), std::string(20000, '#')) << nome;
}

TEST(CompletaEScrivi, TimbriCodiciECompletamentoNeiTreFile) {
    test_util::CartellaTemporanea dir;
    file_precedenti(dir.percorso());
    auto m = modello_letto(dir.percorso());
    m.genera_geometria = true;
    // A reader stopped softly; the completion then finds a start group all taken.
    m.codice_errore = 15;
    posa(m, 30, tc::inizio_rallentamento, 60);
    posa(m, 31, tc::fine_rallentamento);
    posa(m, 25, tc::indicatore_v_max);
    posa(m, 24, tc::segnale);
    posa(m, 23, tc::cartello_km);

    EXPECT_EQ(compilatore::completa_e_scrivi(m), 12);
    EXPECT_EQ(m.codice_errore, 12);
    EXPECT_EQ(test_util::elenco(dir.percorso()),
              (std::vector<std::string>{percorso_file, tabella_file, geometria_file}));

    // Route file: 41 cells, the stamps in cell 1, the completion's code points.
    const std::string percorso = test_util::leggi(dir.percorso() / percorso_file);
    ASSERT_EQ(percorso.size(), 41u * 15u);
    EXPECT_EQ(percorso.substr(16, 2), std::string("\x01\x14"));
    const auto celle = test_util::decodifica_percorso(percorso);
    EXPECT_EQ(celle[1].valore_1, 5121);
    EXPECT_EQ(celle[1].valore_2, 2502);
    EXPECT_EQ(celle[19].tipo, tc::punto_codice);
    EXPECT_EQ(celle[19].valore_1, 180);
    EXPECT_EQ(celle[12].tipo, tc::punto_codice);
    EXPECT_EQ(celle[25].tipo, tc::indicatore_v_max);

    // Table file: 87 records, the earlier longer file gone without a trace.
    const std::string tabella = test_util::leggi(dir.percorso() / tabella_file);
    EXPECT_EQ(tabella.size(), 87u * 34u + 1u + 2u);
    const auto letta = test_util::decodifica_tabella(tabella);
    ASSERT_EQ(letta.voci.size(), 87u);
    EXPECT_EQ(letta.voci[85].campo_7, 610);
    EXPECT_EQ(letta.voci[85].orario, 33709);
    EXPECT_EQ(letta.voci[85].nome, "AB");
    EXPECT_EQ(letta.voci[86].nome, "7");

    // Geometry file: 2 x 4 elements, component 0 first; metre 2 straight on
    // from (0, 0) and (0, 1), metre 3 empty.
    const auto el = test_util::decodifica_geometria(test_util::leggi(dir.percorso() / geometria_file));
    ASSERT_EQ(el.size(), 8u);
    EXPECT_EQ(el[2].tag, 5);
    EXPECT_EQ(el[2].reale, 0.0);
    EXPECT_EQ(el[3].tag, 0);
    EXPECT_EQ(el[5].tag, 2);
    EXPECT_EQ(el[5].intero, 1);
    EXPECT_EQ(el[6].reale, 2.0);
}

TEST(CompletaEScrivi, SenzaGeometriaIlFileGeometriaNonSiTocca) {
    test_util::CartellaTemporanea dir;
    file_precedenti(dir.percorso());
    auto m = modello_letto(dir.percorso());
    m.genera_geometria = false;
    compilatore::completa_e_scrivi(m);
    EXPECT_EQ(test_util::leggi(dir.percorso() / geometria_file), std::string(20000, '#'));
    EXPECT_EQ(test_util::leggi(dir.percorso() / percorso_file).size(), 41u * 15u);

    test_util::CartellaTemporanea vuota;
    auto n = modello_letto(vuota.percorso());
    compilatore::completa_e_scrivi(n);
    EXPECT_EQ(test_util::elenco(vuota.percorso()), (std::vector<std::string>{percorso_file, tabella_file}));
}

TEST(CompletaEScrivi, TimbroOccupatoFermaTuttoPrimaDiScrivere) {
    struct Caso {
        const char* nome;
        std::function<void(modello::Modello&)> prepara;
        std::int32_t codice;
    } casi[] = {
        {"segnale in cella 1", [](modello::Modello& m) { posa(m, 1, tc::segnale, 35); }, 1250},
        {"marcatore della tabella gia presente",
         [](modello::Modello& m) { m.tabella[modello::record_linea].campo_7 = 1; }, 1250},
        {"punto codice del completamento in cella 1",
         [](modello::Modello& m) {
             posa(m, 8, tc::inizio_rallentamento, 60);
             posa(m, 9, tc::fine_rallentamento);
             posa(m, 3, tc::segnale);
             posa(m, 2, tc::indicatore_v_max);
         },
         1250},
        {"secondo valore della cella 1",
         [](modello::Modello& m) { m.percorso[1].valore_2 = 12; }, 1251},
        {"codice della tabella gia presente",
         [](modello::Modello& m) { m.tabella[modello::record_linea].orario = 1; }, 1251},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        test_util::CartellaTemporanea dir;
        file_precedenti(dir.percorso());
        auto m = modello_letto(dir.percorso());
        m.genera_geometria = true;
        c.prepara(m);
        try {
            compilatore::completa_e_scrivi(m);
            ADD_FAILURE() << "expected errore_fatale " << c.codice;
        } catch (const modello::errore_fatale& e) {
            EXPECT_EQ(e.codice(), c.codice);
        }
        restano_i_precedenti(dir.percorso());
    }
}

TEST(CompletaEScrivi, ImmagineImpossibileNonToccaNessunFile) {
    test_util::CartellaTemporanea dir;
    file_precedenti(dir.percorso());
    auto m = modello_letto(dir.percorso());
    m.genera_geometria = true;
    m.tabella[1].nome = std::string(70000, 'x');  // no room in the 16-bit length
    EXPECT_THROW(compilatore::completa_e_scrivi(m), std::overflow_error);
    restano_i_precedenti(dir.percorso());
}

TEST(CompletaEScrivi, GrigliaAssenteOSenzaCella1EUnGuasto) {
    for (std::size_t celle : {0u, 1u}) {
        SCOPED_TRACE(celle);
        test_util::CartellaTemporanea dir;
        file_precedenti(dir.percorso());
        auto m = modello_letto(dir.percorso());
        m.genera_geometria = true;
        m.percorso.assign(celle, modello::cella{});
        m.numero_celle = 0;
        EXPECT_THROW(compilatore::completa_e_scrivi(m), std::runtime_error);
        restano_i_precedenti(dir.percorso());
    }
}

TEST(MemorizzaPercorso, SenzaFileDiIngressoNessunFileCompilato) {
    test_util::CartellaTemporanea dir;
    modello::Modello m;
    m.cartella = dir.percorso();
    m.nome_linea = "L";
    m.numero_treno = "7";
    m.tabella[modello::record_linea].campo_7 = 610;  // left by an earlier run in this process
    EXPECT_THROW(compilatore::memorizza_percorso(m, 1), std::runtime_error);
    EXPECT_TRUE(m.genera_geometria);
    EXPECT_EQ(m.tabella[modello::record_linea].campo_7, 0);
    EXPECT_TRUE(test_util::elenco(dir.percorso()).empty());
}

// A run-time failure while reading keeps its own words beside the place where
// the reading stopped; a file that fails before its first field has line 0.
TEST(MemorizzaDati, UnGuastoInLetturaTieneIlSuoMotivo) {
    const std::string generale = "[generale]\r\nlunghezza percorso,    10000\r\n[pendenze]\r\n";
    struct caso {
        const char* come;
        std::string linea;
        std::optional<std::string> treno;
        std::string file;
        int riga;
        std::string motivo;
    };
    const caso casi[] = {
        // A gradient is written cell by cell when the next row closes it: here
        // the end of the section, on line 6.
        {"gradient too steep for its byte", generale + "pendenza,  0,   0\r\npendenza,  2000,  300\r\n[fine]\r\n",
         "[fine]\r\n", "L_linea.txt", 6, "gradient 300 (line 5) out of range"},
        {"train file missing", generale + "[fine]\r\n", std::nullopt, "L_7-.txt", 0, "cannot find"},
        {"train file missing after a soft stop of the line description",
         generale + "pendenza,  100000,  3\r\n[fine]\r\n", std::nullopt, "L_7-.txt", 0, "cannot find"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.come);
        test_util::CartellaTemporanea dir;
        test_util::scrivi(dir.percorso() / "L_linea.txt", k.linea);
        if (k.treno) test_util::scrivi(dir.percorso() / "L_7-.txt", *k.treno);
        modello::Modello m;
        m.cartella = dir.percorso();
        m.nome_linea = "L";
        m.numero_treno = "7";
        compilatore::memorizza_dati(m);
        EXPECT_EQ(m.codice_errore, modello::codice::errore_in_lettura);
        ASSERT_TRUE(m.arresto.has_value());
        EXPECT_EQ(m.arresto->file, k.file);
        EXPECT_EQ(m.arresto->riga, k.riga);
        EXPECT_NE(m.arresto->motivo.find(k.motivo), std::string::npos) << m.arresto->motivo;
    }
}

}  // namespace

namespace {

// What a compile leaves: status, stop point, the three files' bytes (or the
// failure that kept them from being written) and the input files still there.
struct esito_compilazione {
    std::string stato;
    std::map<std::string, std::string> file;
    std::set<std::string> ingressi_rimasti;
    bool operator==(const esito_compilazione&) const = default;
};

void stato_di(const modello::Modello& m, esito_compilazione& e) {
    e.stato = std::to_string(m.codice_errore) + " at " + std::to_string(m.posizione_errore);
    if (m.arresto) e.stato += " stop " + m.arresto->file + ":" + std::to_string(m.arresto->riga) + " " + m.arresto->motivo;
}

}  // namespace

// The driver reads and deletes the input files the same way whatever holds
// them, and the compile in memory leaves the model the folder's files are
// written from.
TEST(Compila, InMemoriaComeDallaCartella) {
    const std::string generale = "[generale]\r\nlunghezza percorso,    20000\r\n";
    struct caso {
        const char* come;
        std::optional<std::string> linea, treno;
    } const casi[] = {
        {"both read to their end", generale + "[fine]\r\n", "[generale]\r\nsegnale, 4500, 2,4,1,0,0, 2,3,1,0, 0\r\n"},
        {"no line description", std::nullopt, "[generale]\r\n"},
        {"hard stop of the line", "[generale]\r\nlunghezza percorso,    1000001\r\n", "[generale]\r\n"},
        {"line cut short", generale + "pendenza,  100", "[generale]\r\n"},
        {"no train file", generale, std::nullopt},
        {"hard stop of the train",
         generale, "[generale]\r\nsegnale, 4500, 2,4,1,0,0, 2,3,1,0, 0\r\nsegnale, 4500, 2,4,1,0,0, 2,3,1,0, 0\r\n"},
        {"soft stop of the train", generale, "[generale]\r\nsegnale, 900000, 2,4,1,0,0, 2,3,1,0, 0\r\n"},
        {"train cut short", generale, "[generale]\r\nvelocita,  0"},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.come);
        test_util::CartellaTemporanea dir;
        esito_compilazione da_cartella, da_memoria;
        compilatore::ingressi_in_memoria memoria;
        if (k.linea) {
            test_util::scrivi(dir.percorso() / "L_linea.txt", *k.linea);
            memoria.metti("L_linea.txt", *k.linea);
        }
        if (k.treno) {
            test_util::scrivi(dir.percorso() / "L_7-.txt", *k.treno);
            memoria.metti("L_7-.txt", *k.treno);
        }
        modello::Modello m;
        m.cartella = dir.percorso();
        m.nome_linea = "L";
        m.numero_treno = "7";
        modello::Modello n = m;
        try {
            compilatore::memorizza_percorso(m, 1);
        } catch (const std::exception& e) {
            da_cartella.file["failure"] = e.what();
        }
        stato_di(m, da_cartella);
        for (const auto& nome : test_util::elenco(dir.percorso())) {
            if (nome.ends_with(".txt")) da_cartella.ingressi_rimasti.insert(nome);
            else da_cartella.file[nome] = test_util::leggi(dir.percorso() / nome);
        }

        try {
            compilatore::compila(n, 1, memoria);
            da_memoria.file[tabella_file] = formato::immagine_tabella(n.tabella);
            da_memoria.file[percorso_file] = formato::immagine_percorso(n.percorso);
            if (n.geometria) da_memoria.file[geometria_file] = formato::immagine_geometria(*n.geometria);
        } catch (const std::exception& e) {
            da_memoria.file["failure"] = e.what();
        }
        stato_di(n, da_memoria);
        for (const char* nome : {"L_linea.txt", "L_7-.txt"})
            if (memoria.presente(nome)) da_memoria.ingressi_rimasti.insert(nome);

        EXPECT_EQ(da_cartella, da_memoria) << da_cartella.stato << " / " << da_memoria.stato;
    }
}
