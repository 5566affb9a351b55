// scenario_tool plot: the built-in route drawn as PNG, SVG and PDF; the PNG
// read back and looked at where the track and the profiles must be.
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dump/scarico.h"
#include "picture/disegno.h"
#include "tests/cartella_temporanea.h"
#include "tests/processo.h"
#include "tests/righe_input.h"

namespace {

namespace fs = std::filesystem;
using test_util::CartellaTemporanea;

test_util::Esito esegui_strumento(std::vector<std::string> argomenti) {
    argomenti.insert(argomenti.begin(), SCENARIO_TOOL_PATH);
    return test_util::esegui(argomenti);
}

using test_util::numero;
using test_util::righe_con;
// The metre of the cell that a position falls into.
std::int32_t metro_cella(double posizione) { return static_cast<std::int32_t>(std::lrint(posizione / 50.0) * 50); }

// An ARGB32 picture read back from a PNG file.
class immagine {
public:
    explicit immagine(const fs::path& file)
        : s_(cairo_image_surface_create_from_png(file.c_str()), cairo_surface_destroy) {
        cairo_surface_flush(s_.get());
    }
    bool valida() const { return cairo_surface_status(s_.get()) == CAIRO_STATUS_SUCCESS; }
    int larghezza() const { return cairo_image_surface_get_width(s_.get()); }
    int altezza() const { return cairo_image_surface_get_height(s_.get()); }

    struct rgb {
        int r, g, b;
    };
    rgb pixel(int x, int y) const {
        const auto* riga = cairo_image_surface_get_data(s_.get()) +
                           static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(s_.get());
        const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(riga)[x];
        return {static_cast<int>(p >> 16 & 0xff), static_cast<int>(p >> 8 & 0xff), static_cast<int>(p & 0xff)};
    }
    // Whether a pixel within raggio of (x, y) satisfies prova.
    bool vicino(double x, double y, int raggio, const std::function<bool(rgb)>& prova) const {
        const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(y));
        for (int dy = -raggio; dy <= raggio; ++dy)
            for (int dx = -raggio; dx <= raggio; ++dx) {
                const int px = cx + dx, py = cy + dy;
                if (px < 0 || py < 0 || px >= larghezza() || py >= altezza()) continue;
                if (prova(pixel(px, py))) return true;
            }
        return false;
    }

private:
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> s_;
};

// The track is near-black and grey; names are blue, the bands coloured.
bool scuro_neutro(immagine::rgb p) {
    return p.r < 100 && p.g < 100 && p.b < 100 && std::abs(p.r - p.b) < 30 && std::abs(p.r - p.g) < 30;
}
bool sfondo(immagine::rgb p) { return p.r == 255 && p.g == 255 && p.b == 255; }

// ---------------------------------------------------------------------------
// The built-in route emitted, compiled and plotted once for the suite.

class PlotBuiltin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new CartellaTemporanea;
        const auto s = scenario();
        emissione_ = esegui_strumento({"emit", s.string()});
        compilazione_ = esegui_strumento({"compile", (s / "Valdora_Sarenta_linea.txt").string(),
                                   (s / "Valdora_Sarenta_731-.txt").string()});
        for (const char* est : {"png", "svg", "pdf"})
            disegni_.push_back(esegui_strumento({"plot", s.string(), "-o", figura(est).string()}));
    }
    static void TearDownTestSuite() { delete dir_; }
    void SetUp() override {
        ASSERT_EQ(emissione_.stato, 0) << emissione_.errori;
        ASSERT_EQ(compilazione_.stato, 0) << compilazione_.errori << compilazione_.uscita;
    }

    static fs::path scenario() { return dir_->percorso() / "scenario"; }
    static fs::path figura(const std::string& est) { return dir_->percorso() / ("percorso." + est); }
    static strumento::compilati carica() {
        return strumento::carica_compilati(scenario(), {"Valdora_Sarenta", "731"});
    }

    static inline CartellaTemporanea* dir_ = nullptr;
    static inline test_util::Esito emissione_, compilazione_;
    static inline std::vector<test_util::Esito> disegni_;
};

TEST_F(PlotBuiltin, ScrivePngSvgEPdfSecondoLEstensione) {
    ASSERT_EQ(disegni_.size(), 3u);
    for (const auto& d : disegni_) EXPECT_EQ(d.stato, 0) << d.errori << d.uscita;

    const std::string png = test_util::leggi(figura("png"));
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

    const std::string svg = test_util::leggi(figura("svg"));
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u) << svg.substr(0, 80);
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos) << "the SVG is complete";

    const std::string pdf = test_util::leggi(figura("pdf"));
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u) << pdf.substr(0, 16);
    EXPECT_NE(pdf.find("%%EOF", pdf.size() > 64 ? pdf.size() - 64 : 0), std::string::npos)
        << "the PDF is complete";

    // The PNG has the page size of the layout, one pixel per unit.
    const immagine img(figura("png"));
    ASSERT_TRUE(img.valida());
    const auto c = carica();
    const auto imp = strumento::impagina(c, strumento::estrai_elementi(c));
    EXPECT_EQ(img.larghezza(), static_cast<int>(std::ceil(imp.larghezza)));
    EXPECT_EQ(img.altezza(), static_cast<int>(std::ceil(imp.altezza)));
}

TEST_F(PlotBuiltin, GliElementiDisegnatiSonoQuelliDeiFileDiTesto) {
    const auto c = carica();
    const auto e = strumento::estrai_elementi(c);
    const auto treno = scenario() / "Valdora_Sarenta_731-.txt";
    const auto linea = scenario() / "Valdora_Sarenta_linea.txt";

    // Stations: every "stazione" row in order, by name and position; kinds
    // below 25 have a stop cell, at the end of the station's extent.
    const auto stazioni = righe_con(treno, "stazione");
    ASSERT_EQ(e.stazioni.size(), stazioni.size());
    for (std::size_t i = 0; i < stazioni.size(); ++i) {
        const auto& r = stazioni[i];
        const auto& s = e.stazioni[i];
        EXPECT_EQ(s.nome, r.back());
        EXPECT_EQ(s.record, static_cast<int>(i + 1));
        EXPECT_EQ(s.posizione, numero(r[1]));
        const long tipo = numero(r[2]);
        EXPECT_EQ(s.fermata.has_value(), tipo < 25) << s.nome;
        if (s.fermata) {
            EXPECT_GE(*s.fermata, s.posizione) << s.nome << ": the stop lies in the station's second half";
            EXPECT_LE(*s.fermata, s.posizione + numero(r[3]) + 150) << s.nome;
        }
    }

    const auto segnali = righe_con(treno, "segnale");
    ASSERT_EQ(e.segnali.size(), segnali.size());
    for (std::size_t i = 0; i < segnali.size(); ++i) EXPECT_EQ(e.segnali[i], metro_cella(numero(segnali[i][1])));

    // Mountain stretches from their cells, slowdowns from their start, end and
    // warning cells, with their speeds.
    const auto montagne = righe_con(linea, "montagna");
    ASSERT_EQ(e.montagne.size(), montagne.size());
    for (std::size_t i = 0; i < montagne.size(); ++i) {
        EXPECT_EQ(e.montagne[i].inizio, metro_cella(numero(montagne[i][1])));
        EXPECT_EQ(e.montagne[i].fine, metro_cella(numero(montagne[i][2])));
        EXPECT_EQ(e.montagne[i].valore, numero(montagne[i][3]) % 10);
    }
    const auto rallentamenti = righe_con(treno, "rallentamento");
    ASSERT_EQ(e.rallentamenti.size(), rallentamenti.size());
    for (std::size_t i = 0; i < rallentamenti.size(); ++i) {
        const auto& r = rallentamenti[i];
        const auto& t = e.rallentamenti[i];
        const long p = numero(r[1]);
        EXPECT_EQ(t.inizio, metro_cella(p));
        EXPECT_EQ(t.fine, metro_cella(p + numero(r[3])));
        EXPECT_EQ(t.valore, numero(r[2]));
        EXPECT_EQ(t.secondo_valore, numero(r[6]));
        ASSERT_TRUE(t.avviso.has_value());
        EXPECT_EQ(*t.avviso, metro_cella(p - 1200));
    }

    // The profiles stop where the readers stop filling the grid.
    EXPECT_EQ(e.celle_profilo, c.percorso.size() - 3);
    EXPECT_NE(c.percorso[e.celle_profilo - 1].pendenza, 0);
    EXPECT_EQ(c.percorso[e.celle_profilo].pendenza, 0);
}

TEST_F(PlotBuiltin, IlBinarioEDisegnatoDoveLoMettonoLaGeometriaELaScala) {
    const immagine img(figura("png"));
    ASSERT_TRUE(img.valida());
    const auto c = carica();
    ASSERT_TRUE(c.geometria.has_value());
    const auto& g = *c.geometria;
    const auto e = strumento::estrai_elementi(c);
    const auto imp = strumento::impagina(c, e);
    ASSERT_TRUE(imp.piano.has_value());
    const auto& p = *imp.piano;

    // Equal scale: a kilometre east and a kilometre north are as long on the page.
    const auto o = p.al_foglio(0, 0), est = p.al_foglio(1000, 0), nord = p.al_foglio(0, 1000);
    EXPECT_NEAR(est[0] - o[0], o[1] - nord[1], 1e-9);
    EXPECT_GT(est[0], o[0]) << "east is to the right";
    EXPECT_LT(nord[1], o[1]) << "north is up";

    // Station markers hide the track under them; they are checked apart.
    std::vector<std::array<double, 2>> marcatori;
    for (const auto& s : e.stazioni) {
        const std::int32_t m = s.fermata.value_or(s.posizione);
        marcatori.push_back(p.al_foglio(g.at(m, 0).numero(), g.at(m, 1).numero()));
    }
    auto sotto_marcatore = [&](std::array<double, 2> q) {
        for (const auto& k : marcatori)
            if (std::hypot(q[0] - k[0], q[1] - k[1]) < 6.5) return true;
        return false;
    };

    int provati = 0, trovati = 0, a_lato = 0, provati_a_lato = 0;
    for (std::int32_t m = 20; m + 20 <= g.ultimo_metro() - 2; m += 1000) {
        const auto q = p.al_foglio(g.at(m, 0).numero(), g.at(m, 1).numero());
        ASSERT_GT(q[0], p.cornice.x);
        ASSERT_LT(q[0], p.cornice.x + p.cornice.larghezza);
        ASSERT_GT(q[1], p.cornice.y);
        ASSERT_LT(q[1], p.cornice.y + p.cornice.altezza);
        if (sotto_marcatore(q)) continue;
        ++provati;
        if (img.vicino(q[0], q[1], 2, scuro_neutro)) ++trovati;
        else ADD_FAILURE() << "no track drawn near metre " << m << " at page point " << q[0] << ", " << q[1];

        // 25 units aside, across the track's direction, the track is not there.
        const auto a = p.al_foglio(g.at(m - 20, 0).numero(), g.at(m - 20, 1).numero());
        const auto b = p.al_foglio(g.at(m + 20, 0).numero(), g.at(m + 20, 1).numero());
        const double dx = b[0] - a[0], dy = b[1] - a[1], l = std::hypot(dx, dy);
        for (double lato : {-25.0, 25.0}) {
            ++provati_a_lato;
            if (img.vicino(q[0] - dy / l * lato, q[1] + dx / l * lato, 1, scuro_neutro)) ++a_lato;
        }
    }
    EXPECT_GE(provati, 120);
    EXPECT_EQ(trovati, provati);
    EXPECT_LE(a_lato * 10, provati_a_lato) << a_lato << " of " << provati_a_lato << " points aside the track are dark";

    // The plan view's frame is drawn, and beyond the track it is background.
    EXPECT_TRUE(img.vicino(p.cornice.x, p.cornice.y + p.cornice.altezza / 2, 1,
                           [](immagine::rgb q) { return q.r < 160 && q.g < 160 && q.b < 160; }));
    EXPECT_TRUE(sfondo(img.pixel(static_cast<int>(p.cornice.x + 3), static_cast<int>(p.cornice.y + 3))));
}

// The plan view's frame is the track's own extent with a narrow border: the
// built-in track, three times as tall as wide, is not framed page-wide.
TEST_F(PlotBuiltin, LaCorniceDellaPiantaStaSulBinario) {
    const auto c = carica();
    ASSERT_TRUE(c.geometria.has_value());
    const auto& g = *c.geometria;
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    for (std::int32_t m = 0; m <= g.ultimo_metro(); ++m) {
        if (g.at(m, 0).vuoto() || g.at(m, 1).vuoto()) continue;
        x0 = std::min(x0, g.at(m, 0).numero()), x1 = std::max(x1, g.at(m, 0).numero());
        y0 = std::min(y0, g.at(m, 1).numero()), y1 = std::max(y1, g.at(m, 1).numero());
    }
    const auto imp = strumento::impagina(c, strumento::estrai_elementi(c));
    ASSERT_TRUE(imp.piano.has_value());
    const auto& p = *imp.piano;
    const double lato = std::max(x1 - x0, y1 - y0), bordo = 0.1 * lato + 2 / p.scala;
    const double est = p.cornice.larghezza / p.scala, nord = p.cornice.altezza / p.scala;
    EXPECT_LE(est, x1 - x0 + 2 * bordo) << "frame " << est << " m wide for a track " << x1 - x0 << " m wide";
    EXPECT_LE(nord, y1 - y0 + 2 * bordo);
    // The track lies inside, away from the edges by some of the border.
    const auto a = p.al_foglio(x0, y1), b = p.al_foglio(x1, y0);
    EXPECT_GT(a[0], p.cornice.x);
    EXPECT_GT(a[1], p.cornice.y);
    EXPECT_LT(b[0], p.cornice.x + p.cornice.larghezza);
    EXPECT_LT(b[1], p.cornice.y + p.cornice.altezza);
}

// Every board the line description places is drawn: a filled square per
// speed indicator board and a filled diamond per kilometre board in the plan
// view (and one of each in the legend), each speed indicator board's speeds
// on the speed profile, and each kilometre board's text. The boards' colours
// serve nothing else, so the SVG's shapes of those colours are the boards.
TEST_F(PlotBuiltin, ICartelliSonoDisegnatiConILoroTesti) {
    const auto linea = scenario() / "Valdora_Sarenta_linea.txt";
    const auto indicatori = righe_con(linea, "indicatori_v");
    const auto cartelli = righe_con(linea, "cartello_indicatore");
    ASSERT_GT(indicatori.size(), 10u);
    ASSERT_GT(cartelli.size(), 3u);
    const std::string svg = test_util::leggi(figura("svg"));
    auto conta = [&](const std::string& s) {
        std::size_t n = 0;
        for (auto i = svg.find(s); i != std::string::npos; i = svg.find(s, i + 1)) ++n;
        return n;
    };
    const std::string arancio = "rgb(100%,50%,0%)", verde = "rgb(0%,50%,25%)";
    EXPECT_EQ(conta("stroke:none;fill-rule:nonzero;fill:" + arancio), indicatori.size() + 1);
    EXPECT_EQ(conta("stroke:none;fill-rule:nonzero;fill:" + verde), cartelli.size() + 1);
    EXPECT_EQ(conta("stroke:" + arancio), indicatori.size()) << "one mark per board on the speed profile";

    // Texts: cairo writes each glyph as a <use> inside a group of the text's colour.
    std::size_t glifi = 0;
    const std::string gruppo = "<g style=\"fill:" + verde;
    for (auto i = svg.find(gruppo); i != std::string::npos; i = svg.find(gruppo, i + 1)) {
        const auto fine = svg.find("</g>", i);
        for (auto u = svg.find("<use", i); u < fine; u = svg.find("<use", u + 1)) ++glifi;
    }
    std::size_t tutti = 0, pieni = 0;
    for (const auto& r : cartelli) {
        tutti += r[2].size();
        pieni += static_cast<std::size_t>(std::count_if(r[2].begin(), r[2].end(), [](char ch) { return ch != ' '; }));
    }
    EXPECT_GE(glifi, pieni);
    EXPECT_LE(glifi, tutti);
}

// The position axis ends at the line's length, as the title says; the grid's
// cells beyond it are a grey band, not more line.
TEST_F(PlotBuiltin, LAsseFinisceAllaLunghezzaDellaLinea) {
    const auto c = carica();
    const auto imp = strumento::impagina(c, strumento::estrai_elementi(c));
    const double lunghezza = numero(righe_con(scenario() / "Valdora_Sarenta_linea.txt", "lunghezza").at(0)[1]);
    EXPECT_EQ(imp.metro_linea, lunghezza);
    EXPECT_GT(imp.metro_max, lunghezza) << "the grid runs beyond the line";
    const auto tacche = strumento::tacche_posizione(imp);
    ASSERT_GE(tacche.size(), 5u);
    EXPECT_EQ(tacche.front(), 0);
    EXPECT_EQ(tacche.back(), lunghezza);
    EXPECT_TRUE(std::is_sorted(tacche.begin(), tacche.end()));

    const immagine img(figura("png"));
    ASSERT_TRUE(img.valida());
    const auto& r = imp.aderenza.cornice;
    const double fine = imp.x_profilo(lunghezza), destra = r.x + r.larghezza;
    ASSERT_GT(destra - fine, 10);
    const int y = static_cast<int>(r.y + 4);
    for (double x = fine + 2; x < destra - 2; x += 3) {
        const auto q = img.pixel(static_cast<int>(x), y);
        EXPECT_TRUE(q.r == q.g && q.g == q.b && q.r < 240 && q.r > 150) << "x " << x << ": " << q.r;
    }
    EXPECT_TRUE(sfondo(img.pixel(static_cast<int>(fine - 4), y))) << "the line itself is not shaded";

    // In the plan view the geometry's metres beyond the end are grey, the line's own black.
    ASSERT_TRUE(c.geometria && imp.piano);
    auto nero_a = [&](double metro) {
        const auto m = static_cast<std::int32_t>(metro);
        const auto q = imp.piano->al_foglio(c.geometria->at(m, 0).numero(), c.geometria->at(m, 1).numero());
        return img.vicino(q[0], q[1], 2, [](immagine::rgb p) { return p.r < 60 && p.g < 60 && p.b < 60; });
    };
    EXPECT_TRUE(nero_a(lunghezza - 2000));
    EXPECT_FALSE(nero_a(lunghezza + 3000));
}

TEST_F(PlotBuiltin, IProfiliSonoAlleQuoteDelleCelle) {
    const immagine img(figura("png"));
    ASSERT_TRUE(img.valida());
    const auto c = carica();
    const auto e = strumento::estrai_elementi(c);
    const auto imp = strumento::impagina(c, e);

    // Lines one unit wide may fall between two pixel rows and come out at
    // half strength: the colour tests take a line's hue, not its exact shade.
    // Each profile is checked at the middle of cells in a flat stretch (30
    // cells each side, several page units), away from the slowdowns and from
    // the panel's edges.
    struct profilo {
        const char* nome;
        const strumento::pannello_profilo* pannello;
        std::function<double(const modello::cella&)> valore;
        std::function<bool(immagine::rgb)> colore;
    };
    const std::vector<profilo> profili{
        {"gradient", &imp.pendenza, [](const modello::cella& x) { return x.pendenza - 100.0; },
         [](immagine::rgb q) { return q.b > q.g + 30 && q.b > q.r + 20 && q.r > q.g; }},
        {"speed", &imp.velocita, [](const modello::cella& x) { return x.velocita * 5.0; },
         [](immagine::rgb q) { return q.b > q.r + 60 && q.b > q.g + 40; }},
        {"adhesion", &imp.aderenza, [](const modello::cella& x) { return static_cast<double>(x.aderenza); },
         [](immagine::rgb q) { return q.g > q.r + 35 && q.g > q.b + 25; }},
    };
    auto vicino_rallentamento = [&](double metro) {
        for (const auto& t : e.rallentamenti)
            if (metro > t.avviso.value_or(t.inizio) - 2000 && metro < t.fine + 2000) return true;
        return false;
    };
    for (const auto& pr : profili) {
        int provati = 0;
        for (std::size_t i = 30; i + 30 < e.celle_profilo; i += 37) {
            const double v = pr.valore(c.percorso[i]);
            bool piatto = true;
            for (std::size_t j = i - 30; j <= i + 30; ++j) piatto = piatto && pr.valore(c.percorso[j]) == v;
            const double metro = (static_cast<double>(i) + 0.5) * 50;
            if (!piatto || vicino_rallentamento(metro)) continue;
            const double x = imp.x_profilo(metro), y = pr.pannello->y_valore(v);
            const auto& r = pr.pannello->cornice;
            ASSERT_TRUE(y >= r.y && y <= r.y + r.altezza) << pr.nome << " value " << v << " is outside its panel";
            if (y < r.y + 3 || y > r.y + r.altezza - 3) continue;
            ++provati;
            EXPECT_TRUE(img.vicino(x, y, 2, pr.colore))
                << pr.nome << " line missing at cell " << i << " (value " << v << ", page " << x << ", " << y << ")";
            // Over a flat stretch the line is there only: not a notch higher or lower.
            EXPECT_FALSE(img.vicino(x, y - 12, 1, pr.colore)) << pr.nome << " at cell " << i;
            EXPECT_FALSE(img.vicino(x, y + 12, 1, pr.colore)) << pr.nome << " at cell " << i;
        }
        EXPECT_GE(provati, 40) << pr.nome;
    }
}

// ---------------------------------------------------------------------------

TEST(Plot, RifiutaCartelleSenzaCompilatiEFileCheNonPuoScrivere) {
    CartellaTemporanea dir;
    const auto s = dir.percorso() / "s";
    ASSERT_EQ(esegui_strumento({"emit", s.string()}).stato, 0);

    // Only the text files: nothing to draw, and nothing drawn.
    const auto png = dir.percorso() / "r.png";
    auto r = esegui_strumento({"plot", s.string(), "-o", png.string()});
    EXPECT_EQ(r.stato, 3) << r.errori;
    EXPECT_NE(r.errori.find("no compiled"), std::string::npos) << r.errori;
    EXPECT_FALSE(fs::exists(png));

    r = esegui_strumento({"plot", (dir.percorso() / "missing").string(), "-o", png.string()});
    EXPECT_EQ(r.stato, 64) << r.errori;
    r = esegui_strumento({"plot", s.string()});
    EXPECT_EQ(r.stato, 64) << "-o is required";

    ASSERT_EQ(esegui_strumento({"compile", (s / "Valdora_Sarenta_linea.txt").string(),
                         (s / "Valdora_Sarenta_731-.txt").string()})
                  .stato,
              0);
    // A format the tool does not write is a usage error; nothing is written.
    const auto jpg = dir.percorso() / "r.jpg";
    r = esegui_strumento({"plot", s.string(), "-o", jpg.string()});
    EXPECT_EQ(r.stato, 64);
    EXPECT_NE(r.errori.find(".png, .svg or .pdf"), std::string::npos) << r.errori;
    EXPECT_FALSE(fs::exists(jpg));

    // A folder that does not exist for the picture: named as a folder.
    for (const char* est : {"png", "svg", "pdf"}) {
        const auto dove = dir.percorso() / "nowhere" / (std::string("r.") + est);
        r = esegui_strumento({"plot", s.string(), "-o", dove.string()});
        EXPECT_EQ(r.stato, 3) << est;
        EXPECT_NE(r.errori.find(dove.string()), std::string::npos) << r.errori;
        EXPECT_NE(r.errori.find("the folder " + dove.parent_path().string() + " does not exist"), std::string::npos)
            << r.errori;
        EXPECT_FALSE(fs::exists(dove.parent_path()));
    }

    // A damaged route file is named, as dump names it.
    const auto route = s / "Valdora_Sarenta_731.dat";
    const std::string intero = test_util::leggi(route);
    test_util::scrivi(route, intero.substr(0, intero.size() - 7));
    r = esegui_strumento({"plot", s.string(), "-o", png.string()});
    EXPECT_EQ(r.stato, 3);
    EXPECT_NE(r.errori.find("Valdora_Sarenta_731.dat"), std::string::npos) << r.errori;
    EXPECT_FALSE(fs::exists(png));
}

TEST(Plot, SenzaGeometriaDisegnaIProfiliEDiceCheManca) {
    CartellaTemporanea dir;
    const auto s = dir.percorso() / "s";
    ASSERT_EQ(esegui_strumento({"emit", s.string()}).stato, 0);
    ASSERT_EQ(esegui_strumento({"compile", (s / "Valdora_Sarenta_linea.txt").string(),
                         (s / "Valdora_Sarenta_731-.txt").string(), "--no-geometry"})
                  .stato,
              0);
    const auto png = dir.percorso() / "r.PNG";
    const auto r = esegui_strumento({"plot", s.string(), "-o", png.string(), "--linea", "Valdora_Sarenta", "--treno", "731"});
    EXPECT_EQ(r.stato, 0) << r.errori;
    EXPECT_NE(r.errori.find("no geometry"), std::string::npos) << r.errori;
    const immagine img(png);
    ASSERT_TRUE(img.valida());

    const auto c = strumento::carica_compilati(s, {"Valdora_Sarenta", "731"});
    ASSERT_FALSE(c.geometria.has_value());
    const auto e = strumento::estrai_elementi(c);
    const auto imp = strumento::impagina(c, e);
    EXPECT_FALSE(imp.piano.has_value());
    EXPECT_EQ(img.altezza(), static_cast<int>(std::ceil(imp.altezza)));
    // The speed line at the first cell's speed, where the route starts.
    const double v = c.percorso[0].velocita * 5.0;
    EXPECT_TRUE(img.vicino(imp.x_profilo(10 * 50.0), imp.velocita.y_valore(v), 2,
                           [](immagine::rgb q) { return q.b > q.r + 60 && q.b > q.g + 40; }));
}

}  // namespace
