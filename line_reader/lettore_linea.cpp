#include "line_reader/lettore_linea.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <string_view>

#include "model/codici.h"
#include "model/conversione.h"
#include "model/nomi_file.h"
#include "model/posizioni.h"
#include "text/flusso_campi.h"
#include "text/parole.h"

namespace lettura {

using modello::cella;
using modello::cella_di;
using modello::Modello;
using modello::oltre_la_griglia;
using testo::contiene;
using testo::contiene_i;
using testo::errore_lettura;
using testo::flusso_campi;
using testo::intestazione;
using testo::leggi_file;
namespace codice = modello::codice;

namespace {

constexpr int ripetizioni_trattino_generale = 10;
constexpr int ripetizioni_trattino_corpo = 2;

// Turn per metre of the six curve classes (the inverse of the radius).
constexpr double curvatura_classe[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// How a reading ended, for the caller.
enum class esito { prosegui, fine_corpo, fine_dura };

class lettore_linea {
public:
    lettore_linea(Modello& m, std::filesystem::path file, std::string contenuto)
        : m_(m), file_(std::move(file)), flusso_(std::move(contenuto)) {}

    bool leggi();
    void segna_arresto() { m_.arresto = modello::punto_arresto{file_.filename().string(), flusso_.riga_campo()}; }

private:
    // Close, delete, code N, end: the train file is not read.
    bool fine_dura(std::int32_t c) {
        segna_arresto();
        std::filesystem::remove(file_);
        m_.codice_errore = c;
        return false;
    }
    bool fine_dura(std::int32_t c, std::int32_t posizione) {
        m_.posizione_errore = posizione;
        return fine_dura(c);
    }
    // Code 15: the body ends as if the file had ended there.
    esito oltre_il_percorso(std::int32_t posizione) {
        segna_arresto();
        m_.codice_errore = codice::oltre_il_percorso;
        m_.posizione_errore = posizione;
        return esito::fine_corpo;
    }
    bool oltre_la_griglia(std::int64_t posizione) const { return modello::oltre_la_griglia(m_, posizione); }
    // Cell of a board at position p: p / 50 + 1, rounded.
    std::int64_t cella_cartello(std::int32_t p) const {
        const auto c = cella_di(p, 1.0);
        if (c < 0 || c > m_.numero_celle) throw errore_lettura("cell outside the route grid for position " + std::to_string(p));
        return c;
    }

    bool leggi_generale();
    void alloca(std::int32_t lunghezza);
    void prepara_corpo();
    esito leggi_corpo();
    esito pendenza(std::int32_t p, std::int32_t g);
    esito curva(const std::string& parola, std::int32_t s, std::int32_t l);
    esito montagna(std::int32_t inizio, std::int32_t fine, std::int32_t tipo);
    esito indicatore(std::int32_t posizione, const std::int32_t (&v)[8]);
    esito cartello(std::int32_t p, const std::string& testo);
    void code();
    void scrivi_pendenza(std::int64_t c);
    esito tratto(std::int64_t ultimo, double k, std::int32_t s);

    Modello& m_;
    std::filesystem::path file_;
    flusso_campi flusso_;
    std::int32_t cella_pendenza_ = 0;
    std::int32_t pendenza_corrente_ = 0;
    std::int32_t metro_geometria_ = 2;
};

bool lettore_linea::leggi() {
    // Preamble: everything before the first field holding "[generale]".
    for (;;) {
        const std::string campo = flusso_.leggi_testo();
        if (flusso_.fine()) return fine_dura(codice::generale_mancante);
        if (contiene_i(campo, "[generale]")) break;
    }
    if (!leggi_generale()) return false;
    progressive_ordina(m_);
    m_.numero_montagne = 0;
    prepara_corpo();
    if (leggi_corpo() == esito::fine_dura) return false;
    std::filesystem::remove(file_);
    code();
    return true;
}

// The general block: returns false after a hard stop.
bool lettore_linea::leggi_generale() {
    auto& t = m_.tabella;
    for (;;) {
        if (flusso_.fine()) return true;
        m_.riga = flusso_.leggi_testo();
        if (flusso_.fine()) return true;
        for (int i = 0; i < ripetizioni_trattino_generale && contiene(m_.riga, "-"); ++i) m_.riga = flusso_.leggi_testo();
        const std::string parola = m_.riga;

        if (contiene_i(parola, "lunghezza") && contiene_i(parola, "percorso")) {
            t[modello::record_treno].fine = flusso_.leggi_long();
            const std::int32_t lunghezza = t[modello::record_treno].fine;
            if (lunghezza > modello::lunghezza_massima) return fine_dura(codice::lunghezza_eccessiva);
            alloca(lunghezza);
        }
        const std::pair<const char*, int> progressive[] = {
            {"tre", modello::record_progressiva_tre},
            {"due", modello::record_progressiva_due},
            {"uno", modello::record_progressiva_uno}};
        for (const auto& [nome, record] : progressive) {
            if (contiene(parola, "progressiva") && contiene(parola, nome)) {
                t[record].inizio = flusso_.leggi_long();
                t[record].fine = flusso_.leggi_long();
                t[record].progressiva = flusso_.leggi_long();
            }
        }
        auto& linea = t[modello::record_linea];
        if (contiene(parola, "sfondo") && contiene(parola, "uno")) linea.inizio = flusso_.leggi_long();
        if (contiene(parola, "sfondo") && contiene(parola, "due")) linea.progressiva = flusso_.leggi_long();
        if (contiene(parola, "sfondo") && contiene(parola, "tre")) linea.fine = flusso_.leggi_long();
        if (contiene(parola, "segnali") && contiene(parola, "ripetizione")) {
            auto& r = t[modello::record_ripetizione];
            r.inizio = flusso_.leggi_long();
            r.fine = flusso_.leggi_long();
            if (r.inizio % 50 != 0) return fine_dura(codice::inizio_ripetizione_non_multiplo);
            if (r.fine % 50 != 0) return fine_dura(codice::fine_ripetizione_non_multipla);
            if (contiene(parola, "4")) r.progressiva = 4;
            else if (contiene(parola, "9")) r.progressiva = 9;
            else return fine_dura(codice::codici_ripetizione_ignoti);
            if (r.fine == 0) r.progressiva = 0;
        }
        if (intestazione(parola)) return true;
    }
}

// A new grid (and geometry) for the length. Sizes and arrays change
// together: a length that cannot have a grid fails before either changes, so
// a failing second length entry leaves the first one's grid as it was.
void lettore_linea::alloca(std::int32_t lunghezza) {
    const std::int64_t totale = static_cast<std::int64_t>(lunghezza) + modello::prolungamento_linea;
    if (totale < INT32_MIN || totale > INT32_MAX) throw errore_lettura("line length out of range");
    const auto lunghezza_totale = static_cast<std::int32_t>(totale);
    const std::int32_t numero_celle = modello::a_long(lunghezza_totale / 50.0);
    if (numero_celle < 0) throw errore_lettura("line too short for a route grid");
    m_.percorso.assign(static_cast<std::size_t>(numero_celle) + 1, cella{});
    m_.lunghezza_totale = lunghezza_totale;
    m_.numero_celle = numero_celle;
    m_.geometria.reset();
    if (m_.genera_geometria != 0)
        m_.geometria.emplace(std::max<std::int32_t>(m_.lunghezza_totale, -1));
}

void lettore_linea::prepara_corpo() {
    if (m_.percorso.empty()) throw errore_lettura("the line description has no length entry");
    if (m_.genera_geometria != 0) {
        if (m_.lunghezza_totale < 1) throw errore_lettura("line too short for a geometry");
        m_.geometria->inizia();
    }
    metro_geometria_ = 2;
    cella_pendenza_ = 0;
    pendenza_corrente_ = 0;
    m_.indice_cartello = modello::primo_record_cartello;
}

esito lettore_linea::leggi_corpo() {
    for (;;) {
        if (flusso_.fine()) return esito::fine_corpo;
        m_.riga = flusso_.leggi_testo();
        if (flusso_.fine()) return esito::fine_corpo;
        for (int i = 0; i < ripetizioni_trattino_corpo && contiene(m_.riga, "-"); ++i) {
            m_.riga = flusso_.leggi_testo();
            if (flusso_.fine()) return esito::fine_corpo;
        }
        const std::string parola = m_.riga;
        esito e = esito::prosegui;
        if (contiene_i(parola, "pendenza")) {
            const std::int32_t p = flusso_.leggi_long();
            const std::int32_t g = flusso_.leggi_long();
            e = pendenza(p, g);
            if (e != esito::prosegui) return e;
        }
        if (m_.genera_geometria != 0 && contiene_i(parola, "curva")) {
            const std::int32_t s = flusso_.leggi_long();
            const std::int32_t l = flusso_.leggi_long();
            e = curva(parola, s, l);
            if (e != esito::prosegui) return e;
        }
        if (contiene_i(parola, "montagna")) {
            const std::int32_t inizio = flusso_.leggi_long();
            const std::int32_t fine = flusso_.leggi_long();
            const std::int32_t tipo = flusso_.leggi_long();
            e = montagna(inizio, fine, tipo);
            if (e != esito::prosegui) return e;
        }
        if (contiene_i(parola, "indicatori_v")) {
            const std::int32_t posizione = flusso_.leggi_long();
            std::int32_t v[8];
            for (auto& x : v) x = flusso_.leggi_long();
            e = indicatore(posizione, v);
            if (e != esito::prosegui) return e;
        }
        if (contiene_i(parola, "cartello") && contiene_i(parola, "indicat")) {
            const std::int32_t p = flusso_.leggi_long();
            m_.riga = flusso_.leggi_testo();
            e = cartello(p, m_.riga);
            if (e != esito::prosegui) return e;
        }
    }
}

void lettore_linea::scrivi_pendenza(std::int64_t c) {
    const std::int64_t valore = static_cast<std::int64_t>(pendenza_corrente_) + 100;
    if (valore < 0 || valore > 255) throw errore_lettura("gradient " + std::to_string(pendenza_corrente_) + " out of range");
    m_.percorso[static_cast<std::size_t>(c)].pendenza = static_cast<std::uint8_t>(valore);
}

esito lettore_linea::pendenza(std::int32_t p, std::int32_t g) {
    if (oltre_la_griglia(p)) return oltre_il_percorso(p);
    const auto n = cella_di(p, 0.0);
    if (n > 0) {
        do {
            if (cella_pendenza_ > m_.numero_celle) return oltre_il_percorso(p);
            scrivi_pendenza(cella_pendenza_);
            ++cella_pendenza_;
        } while (cella_pendenza_ < n);
    }
    pendenza_corrente_ = g;
    return esito::prosegui;
}

// Lays the track up to metre ultimo with turn k. Stops with 15 (at the
// curve's start s) at the end of the geometry, and with 103 once metre
// 1000000 has been laid.
esito lettore_linea::tratto(std::int64_t ultimo, double k, std::int32_t s) {
    if (metro_geometria_ > ultimo) return esito::prosegui;
    std::int64_t fine = std::min<std::int64_t>(ultimo, m_.lunghezza_totale);
    const bool oltre = ultimo > m_.lunghezza_totale;
    const bool troppo = fine >= modello::lunghezza_massima;
    if (troppo) fine = modello::lunghezza_massima;
    if (fine >= metro_geometria_) {
        m_.geometria->posa(metro_geometria_, static_cast<std::int32_t>(fine), k);
        metro_geometria_ = static_cast<std::int32_t>(fine) + 1;
    }
    if (troppo && metro_geometria_ > modello::lunghezza_massima) {
        fine_dura(codice::curva_o_geometria_errata);
        return esito::fine_dura;
    }
    if (oltre) return oltre_il_percorso(s);
    return esito::prosegui;
}

esito lettore_linea::curva(const std::string& parola, std::int32_t s, std::int32_t l) {
    if (oltre_la_griglia(s)) return oltre_il_percorso(s);
    double k = 0.0;
    for (int classe = 1; classe <= 6 && k == 0.0; ++classe)
        if (contiene(parola, std::to_string(classe))) k = curvatura_classe[classe - 1];
    if (k == 0.0) {
        fine_dura(codice::curva_o_geometria_errata);
        return esito::fine_dura;
    }
    if (contiene(parola, "s") || contiene(parola, "S")) k = -k;

    // Straight track up to the start, then the curve's metres s + 1 to s + l.
    const esito e = tratto(s, 0.0, s);
    if (e != esito::prosegui) return e;
    return tratto(static_cast<std::int64_t>(s) + l, k, s);
}

esito lettore_linea::montagna(std::int32_t inizio, std::int32_t fine, std::int32_t tipo) {
    if (oltre_la_griglia(inizio)) return oltre_il_percorso(inizio);
    const auto prima = cella_di(inizio, 0.0);
    const auto ultima = cella_di(fine, 0.0) - 1;
    if (ultima >= prima) {
        if (ultima > m_.numero_celle) return oltre_il_percorso(inizio);
        if (prima < 0) throw errore_lettura("mountain stretch before the start of the line");
    }
    memo_montagna(m_, inizio, fine, tipo);
    return esito::prosegui;
}

esito lettore_linea::indicatore(std::int32_t posizione, const std::int32_t (&v)[8]) {
    if (oltre_la_griglia(posizione)) return oltre_il_percorso(posizione);
    memo_indicatori_v_max(m_, posizione, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
    if (m_.codice_errore > 0) {
        fine_dura(m_.codice_errore, posizione);
        return esito::fine_dura;
    }
    return esito::prosegui;
}

esito lettore_linea::cartello(std::int32_t p, const std::string& testo) {
    if (oltre_la_griglia(p)) return oltre_il_percorso(p);
    cella& c = m_.percorso[static_cast<std::size_t>(cella_cartello(p))];
    if (!modello::cella_libera(c)) {
        fine_dura(codice::cartello_km_occupato, p);
        return esito::fine_dura;
    }
    if (m_.indice_cartello < 1) throw errore_lettura("no table record left for a kilometre board");
    c.tipo = modello::tipo_cella::cartello_km;
    c.valore_1 = static_cast<std::int16_t>(m_.indice_cartello);
    m_.tabella[static_cast<std::size_t>(m_.indice_cartello)].nome = testo;
    --m_.indice_cartello;
    return esito::prosegui;
}

// After the body: the gradient in force up to the third-last cell, and
// straight track up to the second-last metre.
void lettore_linea::code() {
    do {
        if (cella_pendenza_ > m_.numero_celle) break;
        scrivi_pendenza(cella_pendenza_);
        ++cella_pendenza_;
    } while (cella_pendenza_ < m_.numero_celle - 2);
    if (m_.genera_geometria != 0) {
        if (metro_geometria_ <= m_.lunghezza_totale - 2) {
            m_.geometria->posa(metro_geometria_, m_.lunghezza_totale - 2, 0.0);
            metro_geometria_ = m_.lunghezza_totale - 1;
        }
    }
}

}  // namespace

bool leggi_linea(Modello& m) {
    m.tabella[modello::record_linea].nome = m.nome_linea;
    m.tabella[modello::record_ripetizione].nome = m.numero_treno;
    const auto file = modello::file_in_cartella(m, modello::nome_file_linea(m));
    if (!std::filesystem::is_regular_file(file)) {
        m.codice_errore = codice::linea_mancante;
        return false;
    }
    lettore_linea lettore(m, file, leggi_file(file));
    try {
        return lettore.leggi();
    } catch (...) {
        lettore.segna_arresto();
        throw;
    }
}

void progressive_ordina(Modello& m) {
    auto& t = m.tabella;
    const auto T = t[modello::record_progressiva_tre];
    const auto D = t[modello::record_progressiva_due];
    const auto U = t[modello::record_progressiva_uno];
    const modello::voce_tabella zero{};
    auto metti = [&](const modello::voce_tabella& a, const modello::voce_tabella& b, const modello::voce_tabella& c) {
        for (auto [record, da] : {std::pair{modello::record_progressiva_tre, &a},
                                  std::pair{modello::record_progressiva_due, &b},
                                  std::pair{modello::record_progressiva_uno, &c}}) {
            t[record].inizio = da->inizio;
            t[record].fine = da->fine;
            t[record].progressiva = da->progressiva;
        }
    };
    const std::int64_t sT = T.inizio, sD = D.inizio, sU = U.inizio;
    if (sT + sD + sU == 0) {
        if (U.fine > 0) metti(U, D, T);
        else if (D.fine > 0) metti(D, T, U);
        else if (T.fine > 0) metti(T, D, U);
        else metti(zero, zero, zero);
    } else if (sT > sD && sT > sU) {
        if (sD > sU) metti(T, D, U); else metti(T, U, D);
    } else if (sD > sT && sD > sU) {
        if (sT > sU) metti(D, T, U); else metti(D, U, T);
    } else if (sU > sT && sU > sD) {
        if (sT > sD) metti(U, T, D); else metti(U, D, T);
    } else {
        metti(zero, zero, zero);
    }
    for (int r : {modello::record_progressiva_tre, modello::record_progressiva_due, modello::record_progressiva_uno}) {
        if (t[r].progressiva == 1) {
            const std::int64_t v = static_cast<std::int64_t>(t[r].fine) + 100;
            if (v > INT32_MAX) throw errore_lettura("kilometric value out of range");
            t[r].fine = static_cast<std::int32_t>(v);
        }
    }
}

void memo_montagna(Modello& m, std::int32_t inizio, std::int32_t fine, std::int32_t& tipo) {
    bool segni = false;
    if (tipo > 10) {
        tipo -= 10;
        segni = true;
    }
    if (m.numero_montagne >= modello::massimo_montagne) throw errore_lettura("more than 80 mountain stretches");
    ++m.numero_montagne;
    const auto n = static_cast<std::size_t>(m.numero_montagne);
    m.montagna_inizio[n] = inizio;
    m.montagna_fine[n] = fine;
    if (n > 1 && static_cast<std::int64_t>(inizio) - m.montagna_fine[n - 1] <= 150) tipo = 3;

    const auto prima = cella_di(inizio, 0.0);
    const auto ultima = cella_di(fine, 0.0) - 1;
    if (ultima >= prima && (prima < 0 || ultima > m.numero_celle))
        throw errore_lettura("mountain stretch outside the route grid");
    std::int64_t conta = 0;
    for (std::int64_t c = prima; c <= ultima; ++c) {
        cella& x = m.percorso[static_cast<std::size_t>(c)];
        x.tipo_montagna = static_cast<std::uint8_t>(tipo & 0xFF);
        ++conta;
        if (segni && conta % 4 == 0 && x.tipo == modello::tipo_cella::nessuno) x.tipo = modello::tipo_cella::segno_montagna;
    }
}

void memo_indicatori_v_max(Modello& m, std::int32_t posizione, std::int32_t vas, std::int32_t vbs, std::int32_t vcs,
                           std::int32_t strisces, std::int32_t vad, std::int32_t vbd, std::int32_t vcd,
                           std::int32_t strisced) {
    const auto c = cella_di(posizione, 1.0);
    if (c < 0 || c > m.numero_celle) throw errore_lettura("indicator board outside the route grid");
    cella& x = m.percorso[static_cast<std::size_t>(c)];
    if (!modello::cella_libera(x)) {
        m.codice_errore = codice::indicatore_occupato;
        return;
    }
    // Both sides in one number: left speed / 5 in the hundreds, right speed / 5 below.
    const std::int16_t v1 = modello::a_integer(vad / 5.0 + vas * 20.0);
    const std::int16_t v2 = modello::a_integer(vbd / 5.0 + vbs * 20.0);
    const std::int16_t v3 = modello::a_integer(vcd / 5.0 + vcs * 20.0);
    x.tipo = modello::tipo_cella::indicatore_v_max;
    x.valore_1 = v1;
    x.valore_2 = v2;
    x.valore_3 = v3;
    x.valore_4 = static_cast<std::int16_t>(
        static_cast<std::uint16_t>((static_cast<std::int64_t>(strisces) * 10 + strisced) & 0xFFFF));
}

}  // namespace lettura
