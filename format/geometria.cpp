#include "format/geometria.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

#include "format/binario.h"

namespace formato {

namespace {

constexpr auto etichetta_reale = static_cast<std::uint16_t>(modello::valore_geometria::tipo::reale);

// Where codifica_metri puts each value: a tagged double element.
struct uscita_codificata {
    char* p;
    void metti(double v) {
        p = metti_u16(p, etichetta_reale);
        p = metti_f64(p, v);
    }
};

}  // namespace

// Kept out of line: inlined into a caller that also makes system calls, the
// loop lost its registers and ran three times slower.
__attribute__((noinline)) void codifica_metri(modello::punta_tracciato& p, std::int64_t n, double k, char* x,
                                              char* y) {
    modello::avanza(p, n, k, uscita_codificata{x}, uscita_codificata{y});
}

void produci_geometria(const modello::geometria_linea& g, const scrittore& scrivi) {
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
        const modello::valore_geometria v = g.elemento(i);
        p = metti_u16(p, static_cast<std::uint16_t>(v.etichetta));
        if (v.etichetta == modello::valore_geometria::tipo::reale) p = metti_f64(p, v.reale);
        else if (v.etichetta == modello::valore_geometria::tipo::intero) p = metti_i16(p, v.intero);
    }
    svuota();
}

std::uint64_t byte_geometria(const modello::tracciato_linea& t) {
    const auto metri = static_cast<std::uint64_t>(t.ultimo_metro()) + 1;
    if (!t.iniziato()) return 2 * byte_elemento_vuoto * metri;
    const auto reali = static_cast<std::uint64_t>(t.ultimo_posato()) - 1;
    const auto vuoti = metri - 2 - reali;
    return 2 * (2 * byte_elemento_intero + reali * byte_elemento_reale + vuoti * byte_elemento_vuoto);
}

void produci_geometria(const modello::tracciato_linea& t, const scrittore& scrivi) {
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
        p[c] = metti_u16(p[c], static_cast<std::uint16_t>(modello::valore_geometria::tipo::intero));
        p[c] = metti_i16(p[c], 0);
        p[c] = metti_u16(p[c], static_cast<std::uint16_t>(modello::valore_geometria::tipo::intero));
        p[c] = metti_i16(p[c], static_cast<std::int16_t>(c));
    }
    modello::punta_tracciato punta;
    for (const modello::tracciato_linea::tratto& tr : t.tratti()) {
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

std::string immagine_geometria(const modello::geometria_linea& g) {
    std::string buf;
    produci_geometria(g, [&](std::uint64_t posizione, std::string_view pezzo) {
        buf.resize(static_cast<std::size_t>(posizione));
        buf.append(pezzo);
    });
    return buf;
}

std::string immagine_geometria(const modello::tracciato_linea& t) {
    std::string buf(static_cast<std::size_t>(byte_geometria(t)), '\0');
    produci_geometria(t, [&](std::uint64_t posizione, std::string_view pezzo) {
        if (posizione > buf.size() || pezzo.size() > buf.size() - posizione)
            throw std::logic_error("geometry piece beyond the size of the file");
        std::memcpy(buf.data() + posizione, pezzo.data(), pezzo.size());
    });
    return buf;
}

modello::geometria_linea decodifica_geometria(std::string_view byte, const std::string& nome_file) {
    using tipo = modello::valore_geometria::tipo;
    lettore_binario l(byte, nome_file);
    std::vector<modello::valore_geometria> valori;
    // Every element takes at least 2 bytes; reserve no more than the file can hold.
    valori.reserve(byte.size() / 2);
    while (!l.finito()) {
        const std::size_t inizio = l.posizione();
        const std::uint16_t etichetta = l.u16("element tag");
        if (etichetta == static_cast<std::uint16_t>(tipo::vuoto)) {
            valori.push_back({});
        } else if (etichetta == static_cast<std::uint16_t>(tipo::intero)) {
            valori.push_back(modello::valore_geometria::da_intero(l.i16("16-bit integer element")));
        } else if (etichetta == static_cast<std::uint16_t>(tipo::reale)) {
            valori.push_back(modello::valore_geometria::da_reale(l.f64("double element")));
        } else {
            l.errore(inizio, "element " + std::to_string(valori.size()) + " has the unknown tag " +
                                 std::to_string(etichetta) + " (0, 2 or 5 expected)");
        }
    }
    if (valori.empty()) l.errore(0, "empty geometry file: no element");
    if (valori.size() / 2 > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        l.errore(byte.size(), "more metres than a geometry can hold");
    if (valori.size() % 2 != 0)
        l.errore(byte.size(), "odd number of elements (" + std::to_string(valori.size()) +
                                  "): the two components must cover the same metres");
    modello::geometria_linea g(static_cast<std::int32_t>(valori.size() / 2 - 1));
    for (std::size_t i = 0; i < valori.size(); ++i) g.imposta_elemento(i, valori[i]);
    return g;
}

}  // namespace formato
