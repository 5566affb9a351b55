// The compile in memory: every rejected row out in a round of its own, as
// many rounds as it takes; the model, the rows that placed its objects and
// the compiler's errors it gives back; its first round as the compiler's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "compiler/driver.h"
#include "compiler/ingressi.h"
#include "memory_compile/compilazione.h"
#include "model/codici.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "tests/cartella_temporanea.h"
#include "tests/check/testi_builtin.h"

namespace {

namespace fs = std::filesystem;
using strumento::quale_file;

const strumento::identificativi id{"Valdora_Sarenta", "731"};

auto campi(const modello::cella& c) {
    return std::tuple{c.tipo,    c.valore_1,     c.valore_2,  c.valore_3,  c.valore_4, c.tempo_segnale,
                      c.preavviso, c.tipo_montagna, c.velocita, c.pendenza, c.aderenza};
}

bool stesse_celle(const std::vector<modello::cella>& a, const std::vector<modello::cella>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (campi(a[i]) != campi(b[i])) return false;
    return true;
}

// n stations off the 50 m grid, each of which stops the train reader, then
// a signal at metre `segnale`.
std::string treno_con_stazioni_fuori_griglia(int n, int segnale) {
    std::string t = "[generale]\r\nvelocita,       0,   100\r\naderenza,       0,    70\r\n";
    for (int k = 0; k < n; ++k)
        t += "stazione, " + std::to_string(1010 + 500 * k) + ", 8, 100, 0, 0, 0, 0,0,0, 0,0,0, 0, 0,0,0, S" +
             std::to_string(k) + "\r\n";
    return t + "segnale,    " + std::to_string(segnale) + ",   2, 4, 0,  0, 0,    2,  1,0,0, 0\r\n[fine]\r\n";
}

// Each rejected row takes a round; the rows after them are compiled however
// many there are (the rounds were once capped at 50, and what lay beyond the
// cap was lost).
TEST(CompilazioneInMemoria, OgniRigaRespintaEsceInUnGiroSuo) {
    const auto b = test_util::testi_builtin();
    for (const int n : {1, 49, 50, 51, 60}) {
        SCOPED_TRACE(n);
        const int metro_segnale = 500 * n + 2000;
        const std::int64_t cella_segnale = metro_segnale / 50 + 1;
        const int riga_segnale = n + 4;
        const auto c = strumento::compila_in_memoria(b.linea, treno_con_stazioni_fuori_griglia(n, metro_segnale), id);
        EXPECT_EQ(c.giri, n + 1);
        // The problems: each station at its own line and metre, as check tells them.
        ASSERT_EQ(c.problemi.size(), static_cast<std::size_t>(n));
        ASSERT_EQ(c.tolte.size(), static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) {
            const auto& p = c.problemi[static_cast<std::size_t>(k)];
            EXPECT_EQ(p.file, quale_file::treno);
            EXPECT_EQ(p.riga, k + 4);
            EXPECT_EQ(p.codice, modello::codice::stazione_non_multipla);
            EXPECT_EQ(p.metro, 1010 + 500 * k);
            EXPECT_EQ(p.messaggio, "station at metre " + std::to_string(1010 + 500 * k) +
                                       ": its position is not a multiple of 50");
            EXPECT_EQ(c.tolte[static_cast<std::size_t>(k)].file, quale_file::treno);
            EXPECT_EQ(c.tolte[static_cast<std::size_t>(k)].riga, k + 4);
        }
        // The model: the signal after them, completed and stamped, with no
        // station of the train file in the table.
        const auto& f = c.finale;
        EXPECT_TRUE(f.completato);
        EXPECT_EQ(f.modello.osservatore, &modello::osservatore_compilazione::nessuno());
        ASSERT_GT(f.modello.percorso.size(), static_cast<std::size_t>(cella_segnale));
        EXPECT_EQ(f.modello.percorso[static_cast<std::size_t>(cella_segnale)].tipo, modello::tipo_cella::segnale);
        EXPECT_EQ(f.modello.tabella[1].nome, "");
        // The objects: the signal's row placed it, in the train file.
        const auto chi = f.registro.chi_occupa(cella_segnale);
        ASSERT_TRUE(chi);
        EXPECT_EQ(f.file_di(*chi), quale_file::treno);
        EXPECT_EQ(f.registro.oggetti[*chi].riga, riga_segnale);
        EXPECT_EQ(f.registro.oggetti[*chi].cella, cella_segnale);
        EXPECT_EQ(f.registro.descrizione(*chi), "the signal at metre " + std::to_string(metro_segnale));
        EXPECT_FALSE(c.primo);
    }
}

// The first round, when asked for, is the compiler's own compile of the
// texts as given: the same cells, status and stop point as compile makes;
// the last round goes on without the rows it stopped at.
TEST(CompilazioneInMemoria, IlPrimoGiroEQuelloDelCompilatore) {
    const auto leggi = [](const fs::path& p) { return test_util::leggi(fs::path(TESTS_DIR) / p); };
    const auto b = test_util::testi_builtin();
    struct caso {
        const char* nome;
        std::string linea, treno;
        int fatale;                // the compile's stamp conflict, or 0
        std::size_t tolte_almeno;  // rows out before the last round
    };
    const caso casi[] = {
        {"the built-in pair, clean", b.linea, b.treno, 0, 0},
        {"a signal on a taken cell", leggi("view/fixtures/Breve_linea.txt"), leggi("view/fixtures/Breve_3-.txt"), 0, 1},
        {"a signal in the marker's cell", leggi("tools/fixtures/Prova_linea.txt"),
         leggi("tools/fixtures/Prova_1250-.txt"), modello::codice::timbro_occupato, 1},
    };
    for (const auto& k : casi) {
        SCOPED_TRACE(k.nome);
        const auto c = strumento::compila_in_memoria(k.linea, k.treno, id, {.primo_giro = true});
        ASSERT_TRUE(c.primo);
        modello::Modello m;
        m.nome_linea = id.linea;
        m.numero_treno = id.treno;
        compilatore::ingressi_in_memoria in;
        in.metti(modello::nome_file_linea(m), k.linea);
        in.metti(modello::nome_file_treno(m), k.treno);
        int fatale = 0;
        try {
            compilatore::compila(m, 1, in);
        } catch (const modello::errore_fatale& e) {
            fatale = e.codice();
        }
        EXPECT_EQ(fatale, k.fatale);
        EXPECT_EQ(c.primo->completato, fatale == 0);
        EXPECT_TRUE(stesse_celle(c.primo->modello.percorso, m.percorso));
        EXPECT_EQ(c.primo->modello.codice_errore, m.codice_errore);
        EXPECT_EQ(c.primo->modello.arresto.has_value(), m.arresto.has_value());
        if (m.arresto) {
            EXPECT_EQ(c.primo->modello.arresto->riga, m.arresto->riga);
            EXPECT_EQ(c.primo->file_chiamato(m.arresto->file), quale_file::treno);
        }
        EXPECT_EQ(c.primo->modello.osservatore, &modello::osservatore_compilazione::nessuno());
        EXPECT_GE(c.tolte.size(), k.tolte_almeno);
        EXPECT_EQ(c.problemi.empty(), k.tolte_almeno == 0);
        // The last round compiled through, without the rows taken out.
        EXPECT_TRUE(c.finale.completato);
        if (c.tolte.empty()) {
            EXPECT_EQ(c.giri, 1);
        } else {
            EXPECT_GE(c.giri, 2);
            EXPECT_LE(c.giri, static_cast<int>(c.tolte.size()) + 1);
        }
        const auto& oggetti = c.finale.registro.oggetti;
        for (const auto& t : c.tolte)
            for (std::size_t o = 0; o < oggetti.size(); ++o)
                EXPECT_FALSE(oggetti[o].riga == t.riga && c.finale.file_di(o) == t.file)
                    << "line " << t.riga << " was taken out, yet it placed " << c.finale.registro.descrizione(o);
    }
}

}  // namespace
