// The built-in train sheet, read back as the file it becomes by a small
// parser of its pages and table rows; then checked against the train file
// and the line description that it restates for the driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "scenario_text/emettitore.h"
#include "scenario_text/righe_builtin.h"
#include "tests/cartella_temporanea.h"
#include "tests/scenario_text/dati_builtin_letti.h"

namespace {

using test_util::senza_spazi_ai_lati;

std::vector<std::string> righe_file() {
    return test_util::righe_crlf(testi_scenario::testo_file(testi_scenario::con_sentinella(testi_scenario::righe_scheda)));
}

// Lines of the sheet every page shares.
const std::string riga_testata_1 = "  ___________________                                               ______________";
const std::string riga_chiusura = " |_____|_____|__________|_____|____________________________|________________|_____|";
const std::string riga_vuota = " |     |     |          |     |                            |                |     |";

struct Pagina {
    int prima;  // line number of its first line, from 1
    std::vector<std::string> testata;  // ten lines
    std::vector<std::string> testa;    // four lines
    std::vector<std::string> righe;    // table rows up to the closing rule
    int linee() const { return static_cast<int>(testata.size() + testa.size() + righe.size()) + 1; }
};

// Reads a page from line index i: header, table head, rows up to the
// closing rule (which repeats the last line of the head).
std::optional<Pagina> leggi_pagina(const std::vector<std::string>& r, std::size_t& i) {
    if (i + 15 > r.size() || r[i] != riga_testata_1) return std::nullopt;
    Pagina p{static_cast<int>(i) + 1, {r.begin() + i, r.begin() + i + 10}, {r.begin() + i + 10, r.begin() + i + 14}, {}};
    i += 14;
    while (i < r.size() && r[i] != p.testa[3]) p.righe.push_back(r[i++]);
    if (i == r.size()) return std::nullopt;
    ++i;
    return p;
}

// Walks the whole document along its outline: empty lines, separators of
// full stops and pages in their order. Fails the test where it departs.
std::vector<Pagina> pagine(const std::vector<std::string>& r) {
    struct Tratto {
        char cosa;  // 'v' empty lines, '.' a separator, 'p' a page
        int quanti;
    };
    const std::vector<Tratto> schema{{'v', 2}, {'p', 0},  {'v', 3}, {'.', 81}, {'v', 2}, {'p', 0},
                                     {'v', 3}, {'.', 72}, {'v', 1}, {'p', 0},  {'v', 2}, {'.', 72},
                                     {'v', 1}, {'p', 0},  {'v', 1}};
    std::vector<Pagina> out;
    std::size_t i = 0;
    for (const auto& t : schema) {
        if (t.cosa == 'v') {
            for (int k = 0; k < t.quanti; ++k, ++i) {
                if (i >= r.size() || !r[i].empty()) {
                    ADD_FAILURE() << "line " << i + 1 << " should be empty";
                    return out;
                }
            }
        } else if (t.cosa == '.') {
            if (i >= r.size() || r[i] != std::string(static_cast<std::size_t>(t.quanti), '.')) {
                ADD_FAILURE() << "line " << i + 1 << " should be " << t.quanti << " full stops";
                return out;
            }
            ++i;
        } else {
            auto p = leggi_pagina(r, i);
            if (!p) {
                ADD_FAILURE() << "no page at line " << i + 1;
                return out;
            }
            out.push_back(std::move(*p));
        }
    }
    EXPECT_EQ(i, r.size()) << "lines after the last page";
    return out;
}

// A table row split into its seven cells; empty when the row is not
// 83 characters of a blank, a bar and seven cells closed by bars.
std::vector<std::string> celle(const std::string& riga) {
    static const std::vector<std::size_t> barre{1, 7, 13, 24, 30, 59, 76, 82};  // columns 2, 8, ... 83
    if (riga.size() != 83 || riga[0] != ' ') return {};
    for (std::size_t c = 1; c < riga.size(); ++c)
        if ((riga[c] == '|') != std::binary_search(barre.begin(), barre.end(), c)) return {};
    std::vector<std::string> out;
    for (std::size_t k = 0; k + 1 < barre.size(); ++k) out.push_back(riga.substr(barre[k] + 1, barre[k + 1] - barre[k] - 1));
    return out;
}

enum class Tipo { stazione, cippo, km, si_cod, torrente, segnale, galleria };
enum class Forma { nessuna, partenza_origine, singola, arrivo_partenza, arrivo_partenza_2, arrivo_termine };

struct Riga {
    std::string testo;  // the whole row
    int pagina;
    std::optional<long> limite;
    long progressiva;  // metres
    std::string luogo;
    Tipo tipo;
    std::string marca;  // the kilometre mark or name after the place word
    Forma forma;
    std::vector<int> orari;  // minutes from midnight: departure, or arrival and departure
    std::string rec;
};

int minuti(const std::string& t) { return (t[0] - '0') * 60 + std::stoi(t.substr(2)); }

// Parses a filled row; fails the test and returns nothing where a cell is
// not in one of its forms.
std::optional<Riga> leggi_riga(const std::string& testo, int pagina) {
    const auto c = celle(testo);
    if (c.empty()) {
        ADD_FAILURE() << "not a table row: [" << testo << "]";
        return std::nullopt;
    }
    Riga r{testo, pagina, std::nullopt, 0, {}, Tipo::stazione, {}, Forma::nessuna, {}, {}};
    std::smatch m;
    const auto errore = [&](const char* cella) {
        ADD_FAILURE() << "cell " << cella << " of [" << testo << "]";
        return std::nullopt;
    };
    static const std::regex limite(R"( {0,3}([1-9][0-9]{0,3}) )");
    if (std::regex_match(c[0], m, limite) && c[0].size() == 5) {
        r.limite = std::stol(m[1]);
    } else if (c[0] != "     ") {
        return errore("Vel. Lim.");
    }
    if (c[1] != "     ") return errore("Vel. Marc.");
    static const std::regex progressiva(R"( ([0-9]{3})\.([0-9]{3})  )");
    if (!std::regex_match(c[2], m, progressiva)) return errore("Progr Km");
    r.progressiva = std::stol(m[1]) * 1000 + std::stol(m[2]);
    if (c[3] != "     ") return errore("No Rs");
    if (c[4][0] != ' ' || c[4][1] == ' ') return errore("Localita'");
    r.luogo = senza_spazi_ai_lati(c[4]);
    if (c[4].substr(1, r.luogo.size()) != r.luogo) return errore("Localita'");

    static const std::vector<std::pair<Forma, std::regex>> forme{
        {Forma::partenza_origine, std::regex(R"( {10}([6-9]\.[0-5][0-9])  )")},
        {Forma::singola, std::regex(R"( {7}([6-9]\.[0-5][0-9]) {5})")},
        {Forma::arrivo_partenza, std::regex(R"(  ([6-9]\.[0-5][0-9]) -  ([6-9]\.[0-5][0-9])  )")},
        {Forma::arrivo_partenza_2, std::regex(R"(  ([6-9]\.[0-5][0-9]) - ([6-9]\.[0-5][0-9])   )")},
        {Forma::arrivo_termine, std::regex(R"(  ([6-9]\.[0-5][0-9]) {10})")},
    };
    for (const auto& [forma, re] : forme)
        if (std::regex_match(c[5], m, re)) {
            r.forma = forma;
            for (std::size_t k = 1; k < m.size(); ++k) r.orari.push_back(minuti(m[k]));
        }
    if (r.forma == Forma::nessuna && c[5] != std::string(16, ' ')) return errore("Orario");

    if (c[6] == " 0.5 " || c[6] == " 1.0 " || c[6] == " 1.5 ") {
        r.rec = c[6].substr(1, 3);
    } else if (c[6] != "     ") {
        return errore("Rec");
    }

    static const std::vector<std::pair<Tipo, std::regex>> luoghi{
        {Tipo::cippo, std::regex(R"(Cippo Km ([0-9]{3}\.000))")},
        {Tipo::km, std::regex(R"(Km ([0-9]{3}\.[0-9]{3}))")},
        {Tipo::si_cod, std::regex(R"(SI COD Km ([0-9]{3}\.[0-9]{3}))")},
        {Tipo::galleria, std::regex(R"(Imb\. Sud Gall\. Km ([0-9]{3}\.[0-9]{3}))")},
        {Tipo::torrente, std::regex(R"(Torrente ([A-Z][a-z]+))")},
        {Tipo::segnale, std::regex(R"(Segn\.Prot\. ([A-Z].*))")},
    };
    if (r.forma == Forma::nessuna) {
        const auto trovato = std::find_if(luoghi.begin(), luoghi.end(),
                                          [&](const auto& l) { return std::regex_match(r.luogo, m, l.second); });
        if (trovato == luoghi.end()) return errore("Localita' of a row without a time");
        r.tipo = trovato->first;
        r.marca = m[1];
    }
    return r;
}

// Metres as the sheet writes a progressive: "348.835".
std::string come_progressiva(long metri) {
    const auto tre = [](long v) { return std::string(v < 100 ? (v < 10 ? 2 : 1) : 0, '0') + std::to_string(v); };
    return tre(metri / 1000) + "." + tre(metri % 1000);
}

// The 58 filled rows of pages 1 and 2, in order.
std::vector<Riga> righe_compilate() {
    const auto p = pagine(righe_file());
    std::vector<Riga> out;
    if (p.size() != 4) return out;
    for (int n = 0; n < 2; ++n)
        for (const auto& t : p[static_cast<std::size_t>(n)].righe)
            if (t != riga_vuota)
                if (auto r = leggi_riga(t, n + 1)) out.push_back(*r);
    return out;
}

TEST(SchedaBuiltin, QuattroPagineConLeLoroRighe) {
    const auto r = righe_file();
    ASSERT_EQ(r.size(), 204u);
    const auto p = pagine(r);
    ASSERT_EQ(p.size(), 4u);

    const std::vector<int> prime{3, 56, 108, 158};
    const std::vector<int> linee{47, 47, 46, 46};
    const std::vector<std::size_t> righe{32, 32, 31, 31};
    const std::vector<std::size_t> vuote{0, 6, 31, 31};
    for (std::size_t n = 0; n < 4; ++n) {
        EXPECT_EQ(p[n].prima, prime[n]) << "page " << n + 1;
        EXPECT_EQ(p[n].linee(), linee[n]) << "page " << n + 1;
        ASSERT_EQ(p[n].righe.size(), righe[n]) << "page " << n + 1;
        for (const auto& riga : p[n].righe) EXPECT_EQ(celle(riga).size(), 7u) << "page " << n + 1 << ": [" << riga << "]";
        // Blank rows only at the end of a page.
        const auto prima_vuota = std::find(p[n].righe.begin(), p[n].righe.end(), riga_vuota);
        EXPECT_EQ(static_cast<std::size_t>(p[n].righe.end() - prima_vuota), vuote[n]) << "page " << n + 1;
        EXPECT_EQ(static_cast<std::size_t>(std::count(prima_vuota, p[n].righe.end(), riga_vuota)), vuote[n]);
    }
    EXPECT_EQ(std::count(r.begin(), r.end(), std::string(testi_scenario::sentinella)), 0);
}

TEST(SchedaBuiltin, TestataETestaDellaTabella) {
    const auto p = pagine(righe_file());
    ASSERT_EQ(p.size(), 4u);
    const std::vector<std::string> testa{
        "  ________________________________________________________________________________",
        " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
        " | Lim.|Marc.|          |  Rs |                            |                |     |",
        riga_chiusura,
    };
    const std::map<std::size_t, std::string> fisse{
        {0, riga_testata_1},
        {4, "                                                                   |______________|"},
        {5, "  ___________________                ___________________"},
        {6, " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       "},
        {8, " |___________________|              |___________________|"},
        {9, ""},
    };
    const std::map<std::size_t, std::string> segnaposto{
        {2, " |   TRENO n.xxxxx   |                   da: xxxxxx                |    Vxxx C    |"},
        {3, " |___________________|                    a: xxxxxx                |     xxx%     |"},
        {7, " |        xxx        |              |      xxxT         |"},
    };
    const std::vector<std::string> schede{"1/2", "2/2", "0/0", "0/0"};
    for (std::size_t n = 0; n < 4; ++n) {
        ASSERT_EQ(p[n].testata.size(), 10u);
        EXPECT_EQ(p[n].testa, testa) << "page " << n + 1;
        for (const auto& [k, t] : fisse) EXPECT_EQ(p[n].testata[k], t) << "page " << n + 1 << ", line " << k + 1;
        EXPECT_EQ(p[n].testata[1],
                  " |                   |                    SCHEDA " + schede[n] + "               |              |");
        if (n >= 2) {
            for (const auto& [k, t] : segnaposto) EXPECT_EQ(p[n].testata[k], t) << "page " << n + 1;
        }
    }

    // The filled pages fill the placeholders' columns (from 1) and leave
    // every other character, bars included, as on the blank pages.
    const auto stazioni = test_util::stazioni_treno();
    ASSERT_EQ(stazioni.size(), 35u);
    const auto nome = [](const std::string& s) { return test_util::come_nome(s) + std::string(22 - s.size(), ' '); };
    struct Campo {
        std::size_t riga, da, a;
        std::string valore;
    };
    const std::vector<Campo> campi{
        {2, 14, 18, " 731 "},
        {2, 46, 67, nome(stazioni.front().nome)},
        {2, 74, 76, "200"},
        {3, 46, 67, nome(stazioni.back().nome)},
        {3, 74, 76, std::to_string(test_util::valore_treno("percentuale massa frenata"))},
        {7, 11, 13, "IC "},
        {7, 44, 46, "600"},
    };
    EXPECT_EQ(test_util::valore_treno("percentuale massa frenata"), 125);
    for (std::size_t n = 0; n < 2; ++n)
        for (const auto& [k, vuota] : segnaposto) {
            std::string atteso = vuota;
            for (const auto& c : campi)
                if (c.riga == k) {
                    ASSERT_EQ(c.valore.size(), c.a - c.da + 1);
                    atteso.replace(c.da - 1, c.valore.size(), c.valore);
                }
            EXPECT_EQ(p[n].testata[k], atteso) << "page " << n + 1 << ", line " << k + 1;
        }
    EXPECT_EQ(p[0].testata[7], " |        IC         |              |      600T         |");
}

TEST(SchedaBuiltin, RigheCompilate) {
    const auto r = righe_compilate();
    ASSERT_EQ(r.size(), 58u);
    EXPECT_EQ(std::count_if(r.begin(), r.end(), [](const Riga& x) { return x.pagina == 1; }), 32);

    std::map<Tipo, int> tipi;
    std::map<Forma, int> forme;
    std::map<std::string, int> rec;
    for (const auto& x : r) {
        ++tipi[x.tipo];
        ++forme[x.forma];
        if (!x.rec.empty()) {
            ++rec[x.rec];
            EXPECT_EQ(x.tipo, Tipo::stazione) << x.testo;
        }
        // A kilometre mark in the place text is the row's own progressive.
        if (x.tipo == Tipo::cippo || x.tipo == Tipo::km || x.tipo == Tipo::si_cod || x.tipo == Tipo::galleria) {
            EXPECT_EQ(x.marca, come_progressiva(x.progressiva)) << x.testo;
        }
        // A limit on every row but the stations without one and "SI COD".
        if (x.tipo != Tipo::stazione) {
            EXPECT_EQ(x.limite.has_value(), x.tipo != Tipo::si_cod) << x.testo;
        }
    }
    EXPECT_EQ(tipi, (std::map<Tipo, int>{{Tipo::stazione, 35}, {Tipo::cippo, 11}, {Tipo::km, 7}, {Tipo::si_cod, 1},
                                         {Tipo::torrente, 2}, {Tipo::segnale, 1}, {Tipo::galleria, 1}}));
    EXPECT_EQ(forme, (std::map<Forma, int>{{Forma::nessuna, 23}, {Forma::partenza_origine, 1}, {Forma::singola, 25},
                                           {Forma::arrivo_partenza, 6}, {Forma::arrivo_partenza_2, 2},
                                           {Forma::arrivo_termine, 1}}));
    EXPECT_EQ(r.front().forma, Forma::partenza_origine);
    EXPECT_EQ(r.back().forma, Forma::arrivo_termine);
    EXPECT_EQ(rec, (std::map<std::string, int>{{"0.5", 9}, {"1.0", 11}, {"1.5", 1}}));
    EXPECT_EQ(std::count_if(r.begin(), r.end(), [](const Riga& x) { return x.limite.has_value(); }), 27);
    EXPECT_EQ(std::count_if(r.begin(), r.end(), [](const Riga& x) { return x.limite && x.tipo == Tipo::stazione; }), 5);
    EXPECT_TRUE(r.front().limite.has_value());

    // Progressives fall strictly; times never go back, and an arrival comes
    // before its departure.
    EXPECT_EQ(r.front().progressiva, 349970);
    EXPECT_EQ(r.back().progressiva, 111040);
    EXPECT_EQ(r[31].progressiva, 229000);
    EXPECT_EQ(r[32].progressiva, 227500);
    int ultimo_orario = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(r[i].progressiva, r[i - 1].progressiva) << r[i].testo;
        }
        for (int t : r[i].orari) {
            EXPECT_GE(t, ultimo_orario) << r[i].testo;
            ultimo_orario = t;
        }
        if (r[i].orari.size() == 2) {
            EXPECT_LT(r[i].orari[0], r[i].orari[1]) << r[i].testo;
        }
    }

    for (const std::string quotata : {
             " | 160 |     | 348.000  |     | Cippo Km 348.000           |                |     |",
             " | 150 |     | 345.557  |     | Km 345.557                 |                |     |",
             " |     |     | 348.835  |     | SI COD Km 348.835          |                |     |",
             " |  75 |     | 204.676  |     | Imb. Sud Gall. Km 204.676  |                |     |",
         })
        EXPECT_EQ(std::count_if(r.begin(), r.end(), [&](const Riga& x) { return x.testo == quotata; }), 1) << quotata;
}

TEST(SchedaBuiltin, StazioniEOrariDelTreno) {
    const auto r = righe_compilate();
    const auto stazioni = test_util::stazioni_treno();
    std::vector<Riga> sulla_scheda;
    std::copy_if(r.begin(), r.end(), std::back_inserter(sulla_scheda), [](const Riga& x) { return x.tipo == Tipo::stazione; });
    ASSERT_EQ(sulla_scheda.size(), stazioni.size());
    for (std::size_t i = 0; i < stazioni.size(); ++i) {
        const auto& s = stazioni[i];
        const auto& x = sulla_scheda[i];
        EXPECT_EQ(x.luogo, s.nome);
        // The train file's time is the departure, or the arrival at the
        // terminus; the stations without one have a single passing time.
        const bool con_orario = s.ore != 0 || s.minuti != 0;
        ASSERT_FALSE(x.orari.empty()) << x.testo;
        if (con_orario) {
            EXPECT_EQ(x.orari.back(), s.ore * 60 + s.minuti) << x.testo;
        }
        if (i == 0) {
            EXPECT_EQ(x.forma, Forma::partenza_origine) << x.testo;
        } else if (i + 1 == stazioni.size()) {
            EXPECT_EQ(x.forma, Forma::arrivo_termine) << x.testo;
        } else if (con_orario) {
            EXPECT_TRUE(x.forma == Forma::arrivo_partenza || x.forma == Forma::arrivo_partenza_2) << x.testo;
        } else {
            EXPECT_EQ(x.forma, Forma::singola) << x.testo;
        }
    }
    EXPECT_EQ(std::count_if(stazioni.begin(), stazioni.end(), [](const auto& s) { return s.ore != 0; }), 10);
}

// Every row stands at the line's progressive less the position, in the
// train file, of what it names: a station row at its station, a row with a
// limit where that limit starts. The rule is exact but for the rows whose
// mark is written elsewhere: a kilometre board's own text and a milestone's
// whole kilometre (within one cell of 50 m), and the two ends, whose
// progressives the sheet fixes (within a kilometre). "SI COD" names nothing
// in the files; its place is only kept by the falling progressives.
TEST(SchedaBuiltin, ProgressiveDallePosizioniDelTreno) {
    const auto r = righe_compilate();
    ASSERT_EQ(r.size(), 58u);
    const auto stazioni = test_util::stazioni_treno();
    const auto limiti = test_util::limiti_treno();
    const long origine = test_util::progressiva_origine();
    ASSERT_EQ(origine, 350000);
    std::set<long> cartelli;
    for (const auto& c : test_util::cartelli_linea()) cartelli.insert(c.posizione);
    ASSERT_EQ(cartelli.size(), 6u);

    std::size_t prossima_stazione = 0;
    std::size_t prossimo_limite = 0;
    int senza_posizione = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        const Riga& x = r[i];
        std::optional<long> posizione;
        if (x.tipo == Tipo::stazione) {
            ASSERT_LT(prossima_stazione, stazioni.size()) << x.testo;
            posizione = stazioni[prossima_stazione++].posizione;
        }
        if (x.limite) {
            ASSERT_LT(prossimo_limite, limiti.size()) << x.testo;
            const long inizio = limiti[prossimo_limite++].first;
            if (posizione) {
                EXPECT_EQ(inizio, *posizione) << "a station's limit starts at the station: " << x.testo;
            }
            posizione = inizio;
        }
        if (!posizione) {
            ++senza_posizione;
            EXPECT_EQ(x.tipo, Tipo::si_cod) << x.testo;
            continue;
        }
        long scarto = 0;
        if (i == 0 || i + 1 == r.size()) {
            scarto = 1000;
        } else if (x.tipo == Tipo::cippo || cartelli.count(*posizione)) {
            scarto = 50;
        }
        EXPECT_LE(std::abs(x.progressiva - (origine - *posizione)), scarto)
            << x.testo << " stands at " << *posizione << " m";
    }
    EXPECT_EQ(prossima_stazione, stazioni.size());
    EXPECT_EQ(prossimo_limite, limiti.size());
    EXPECT_EQ(senza_posizione, 1);
}

TEST(SchedaBuiltin, LimitiDiVelocitaECartelliDellaLinea) {
    const auto r = righe_compilate();
    const auto limiti = test_util::limiti_treno();
    const auto stazioni = test_util::stazioni_treno();
    const long origine = test_util::progressiva_origine();
    ASSERT_EQ(origine, 350000);

    // The rows with a limit, paired in order with the train file's limits.
    std::vector<const Riga*> con_limite;
    for (const auto& x : r)
        if (x.limite) con_limite.push_back(&x);
    ASSERT_EQ(con_limite.size(), limiti.size());
    std::map<long, const Riga*> riga_del_limite;  // by the limit's position
    for (std::size_t i = 0; i < limiti.size(); ++i) {
        const auto [posizione, valore] = limiti[i];
        const Riga& x = *con_limite[i];
        EXPECT_EQ(*x.limite, valore) << x.testo;
        riga_del_limite[posizione] = &x;
        const auto stazione = std::find_if(stazioni.begin(), stazioni.end(),
                                           [&](const auto& s) { return s.posizione == posizione; });
        if (x.tipo == Tipo::stazione) {
            // A limit that starts at a station stands on that station's row.
            ASSERT_NE(stazione, stazioni.end()) << x.testo;
            EXPECT_EQ(x.luogo, stazione->nome);
        } else {
            // Elsewhere the row's progressive is where the limit starts.
            EXPECT_EQ(stazione, stazioni.end()) << x.testo;
            EXPECT_NEAR(x.progressiva, origine - posizione, 50) << x.testo;
        }
    }

    // Every kilometre board of the line is the row with its mark, and that
    // row carries the limit that starts at the board.
    const auto cartelli = test_util::cartelli_linea();
    ASSERT_EQ(cartelli.size(), 6u);
    static const std::regex marca(R"(([0-9]{3})\+([0-9]{3})\)$)");
    static const std::regex torrente(R"(^\(\s*Torrente\s*\)\s*\(\s*([A-Za-z]+)\s*\))");
    for (const auto& c : cartelli) {
        std::smatch m;
        ASSERT_TRUE(std::regex_search(c.testo, m, marca)) << c.testo;
        const std::string km = std::string(m[1]) + "." + std::string(m[2]);
        std::vector<const Riga*> stesse;
        for (const auto& x : r)
            if (come_progressiva(x.progressiva) == km) stesse.push_back(&x);
        ASSERT_EQ(stesse.size(), 1u) << c.testo;
        const Riga& x = *stesse[0];
        EXPECT_EQ(riga_del_limite[c.posizione], &x) << c.testo;
        if (std::regex_search(c.testo, m, torrente)) {
            EXPECT_EQ(x.tipo, Tipo::torrente) << x.testo;
            EXPECT_EQ(x.marca, m[1]) << x.testo;
        } else {
            EXPECT_TRUE(x.tipo == Tipo::km || x.tipo == Tipo::galleria) << x.testo;
        }
    }
}

}  // namespace
