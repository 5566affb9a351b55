#include "model/file_compilati.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

#include "model/binario.h"
#include "model/file_atomico.h"
#include "model/nomi_file.h"
#include "model/testo_1252.h"

namespace modello {

using namespace binario;

namespace {

constexpr std::size_t byte_voce_senza_nome = 34;
constexpr std::size_t byte_cella = 15;
constexpr std::uint64_t byte_elemento_vuoto = 2;
constexpr std::uint64_t byte_elemento_intero = 4;

}  // namespace

void produci_geometria(const geometria_linea& g, const scrittore& scrivi) {
    // Encoded a block at a time, so that no second copy of a large geometry
    // lies in memory.
    constexpr std::size_t blocco = 1 << 16;
    const auto buf = std::make_unique_for_overwrite<char[]>(blocco);
    char* const inizio = buf.get();
    char* const limite = inizio + blocco - byte_elemento_reale;
    std::uint64_t posizione = 0;
    char* p = inizio;
    const auto svuota = [&] {
        const auto n = static_cast<std::size_t>(p - inizio);
        scrivi(posizione, {inizio, n});
        posizione += n;
        p = inizio;
    };
    for (std::size_t i = 0; i < g.elementi(); ++i) {
        if (p > limite) svuota();
        const valore_geometria v = g.elemento(i);
        p = metti_u16(p, static_cast<std::uint16_t>(v.etichetta));
        if (v.etichetta == valore_geometria::tipo::reale) p = metti_f64(p, v.reale);
        else if (v.etichetta == valore_geometria::tipo::intero) p = metti_i16(p, v.intero);
    }
    svuota();
}

std::uint64_t byte_geometria(const tracciato_linea& t) {
    const auto metri = static_cast<std::uint64_t>(t.ultimo_metro()) + 1;
    if (!t.iniziato()) return 2 * byte_elemento_vuoto * metri;
    const auto reali = static_cast<std::uint64_t>(t.ultimo_posato()) - 1;
    const auto vuoti = metri - 2 - reali;
    return 2 * (2 * byte_elemento_intero + reali * byte_elemento_reale + vuoti * byte_elemento_vuoto);
}

void produci_geometria(const tracciato_linea& t, const scrittore& scrivi) {
    // The two components are computed together, metre by metre, and land in
    // the two halves of the file: each has its own block, written at its own
    // position whenever one fills. Blocks stay in the cache, and no metre's
    // value is ever held in memory beyond its block. Both halves hold the
    // same kinds of element in the same order, so the blocks fill in step.
    constexpr std::size_t blocco = 1 << 17;
    const std::uint64_t meta = byte_geometria(t) / 2;
    const auto buf = std::make_unique_for_overwrite<char[]>(2 * blocco);
    char* const inizio[2] = {buf.get(), buf.get() + blocco};
    char* p[2] = {inizio[0], inizio[1]};
    std::uint64_t posizione[2] = {0, meta};
    const auto svuota = [&] {
        for (int c = 0; c < 2; ++c) {
            const auto n = static_cast<std::size_t>(p[c] - inizio[c]);
            if (n > 0) scrivi(posizione[c], {inizio[c], n});
            posizione[c] += n;
            p[c] = inizio[c];
        }
    };
    const auto posto = [&](std::uint64_t byte_elemento) {
        return static_cast<std::uint64_t>(inizio[0] + blocco - p[0]) / byte_elemento;
    };
    // Empty elements are two zero bytes each.
    const auto vuoti = [&](std::uint64_t quanti) {
        while (quanti > 0) {
            const std::uint64_t n = std::min(quanti, posto(byte_elemento_vuoto));
            if (n == 0) {
                svuota();
                continue;
            }
            for (int c = 0; c < 2; ++c) {
                std::memset(p[c], 0, n * byte_elemento_vuoto);
                p[c] += n * byte_elemento_vuoto;
            }
            quanti -= n;
        }
    };

    const auto metri = static_cast<std::uint64_t>(t.ultimo_metro()) + 1;
    if (!t.iniziato()) {
        vuoti(metri);
        svuota();
        return;
    }
    for (int c = 0; c < 2; ++c) {
        p[c] = metti_u16(p[c], static_cast<std::uint16_t>(valore_geometria::tipo::intero));
        p[c] = metti_i16(p[c], 0);
        p[c] = metti_u16(p[c], static_cast<std::uint16_t>(valore_geometria::tipo::intero));
        p[c] = metti_i16(p[c], static_cast<std::int16_t>(c));
    }
    punta_tracciato punta;
    for (const tracciato_linea::tratto& tr : t.tratti()) {
        auto resto = static_cast<std::uint64_t>(static_cast<std::int64_t>(tr.a) - tr.da + 1);
        while (resto > 0) {
            const std::uint64_t n = std::min(resto, posto(byte_elemento_reale));
            if (n == 0) {
                svuota();
                continue;
            }
            codifica_metri(punta, static_cast<std::int64_t>(n), tr.k, p[0], p[1]);
            p[0] += n * byte_elemento_reale;
            p[1] += n * byte_elemento_reale;
            resto -= n;
        }
    }
    vuoti(metri - 1 - static_cast<std::uint64_t>(t.ultimo_posato()));
    svuota();
}

std::string immagine_geometria(const geometria_linea& g) {
    std::string buf;
    produci_geometria(g, [&](std::uint64_t posizione, std::string_view pezzo) {
        buf.resize(static_cast<std::size_t>(posizione));
        buf.append(pezzo);
    });
    return buf;
}

std::string immagine_geometria(const tracciato_linea& t) {
    std::string buf(static_cast<std::size_t>(byte_geometria(t)), '\0');
    produci_geometria(t, [&](std::uint64_t posizione, std::string_view pezzo) {
        if (posizione > buf.size() || pezzo.size() > buf.size() - posizione)
            throw std::logic_error("geometry piece beyond the size of the file");
        std::memcpy(buf.data() + posizione, pezzo.data(), pezzo.size());
    });
    return buf;
}

std::string immagine_tabella(const std::array<voce_tabella, record_tabella>& tabella) {
    std::string buf;
    buf.reserve(tabella.size() * (byte_voce_senza_nome + 16));
    for (const voce_tabella& v : tabella) {
        const std::string nome = a_cp1252(v.nome);
        if (nome.size() > std::numeric_limits<std::uint16_t>::max())
            throw std::overflow_error("table record name longer than 65535 bytes");
        aggiungi_u8(buf, v.tipo);
        aggiungi_i32(buf, v.inizio);
        aggiungi_i32(buf, v.fine);
        aggiungi_i32(buf, v.progressiva);
        aggiungi_u8(buf, v.campo_4);
        aggiungi_u16(buf, static_cast<std::uint16_t>(nome.size()));
        buf += nome;
        aggiungi_i16(buf, v.campo_7);
        aggiungi_i16(buf, v.campo_8);
        aggiungi_i16(buf, v.campo_10);
        aggiungi_i16(buf, v.campo_11);
        aggiungi_i16(buf, v.campo_12);
        aggiungi_u8(buf, v.campo_9);
        aggiungi_u8(buf, v.campo_13);
        aggiungi_u8(buf, v.campo_6);
        aggiungi_u8(buf, v.campo_5);
        aggiungi_i32(buf, v.orario);
    }
    return buf;
}

std::string immagine_percorso(const std::vector<cella>& percorso) {
    // Sized once and filled through a pointer: the largest grid has 20141 cells.
    std::string buf(percorso.size() * byte_cella, '\0');
    char* p = buf.data();
    for (const cella& c : percorso) {
        p = metti_u8(p, c.tipo);
        p = metti_i16(p, c.valore_1);
        p = metti_i16(p, c.valore_2);
        p = metti_i16(p, c.valore_3);
        p = metti_i16(p, c.valore_4);
        p = metti_u8(p, c.tempo_segnale);
        p = metti_u8(p, c.preavviso);
        p = metti_u8(p, c.tipo_montagna);
        p = metti_u8(p, c.velocita);
        p = metti_u8(p, c.pendenza);
        p = metti_u8(p, c.aderenza);
    }
    return buf;
}

void scrivi_file_compilati(const Modello& m) {
    const bool con_geometria = m.genera_geometria != 0 && m.geometria.has_value();
    const std::string tabella = immagine_tabella(m.tabella);
    const std::string percorso = immagine_percorso(m.percorso);
    std::vector<file_a_pezzi> file;
    if (con_geometria)
        file.push_back({file_in_cartella(m, nome_file_geometria(m)),
                        [&t = *m.geometria](const scrittore& scrivi) { produci_geometria(t, scrivi); }});
    file.push_back({file_in_cartella(m, nome_file_tabella(m)), [&](const scrittore& scrivi) { scrivi(0, tabella); }});
    file.push_back({file_in_cartella(m, nome_file_percorso(m)), [&](const scrittore& scrivi) { scrivi(0, percorso); }});
    scrivi_file_atomici(file);
}

}  // namespace modello
