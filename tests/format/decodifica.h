// Readers of the three compiled files for tests, written from the byte
// layouts independently of the writers: bytes are assembled by hand.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/modello.h"
#include "text/testo_1252.h"

namespace test_util {

class Lettore {
public:
    explicit Lettore(const std::string& byte) : byte_(byte) {}
    std::size_t posizione() const { return pos_; }
    bool finito() const { return pos_ == byte_.size(); }

    std::uint64_t senza_segno(int n) {
        if (pos_ + static_cast<std::size_t>(n) > byte_.size()) throw std::out_of_range("file too short");
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i) v |= std::uint64_t{static_cast<unsigned char>(byte_[pos_++])} << (8 * i);
        return v;
    }
    std::uint8_t u8() { return static_cast<std::uint8_t>(senza_segno(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(senza_segno(2)); }
    std::int16_t i16() { return static_cast<std::int16_t>(senza_segno(2)); }
    std::int32_t i32() { return static_cast<std::int32_t>(senza_segno(4)); }
    double f64() { return std::bit_cast<double>(senza_segno(8)); }
    std::string testo(std::size_t n) {
        if (pos_ + n > byte_.size()) throw std::out_of_range("file too short");
        std::string t = byte_.substr(pos_, n);
        pos_ += n;
        return t;
    }

private:
    const std::string& byte_;
    std::size_t pos_ = 0;
};

inline std::vector<modello::cella> decodifica_percorso(const std::string& byte) {
    Lettore l(byte);
    std::vector<modello::cella> celle;
    while (!l.finito()) {
        modello::cella c;
        c.tipo = l.u8();
        c.valore_1 = l.i16();
        c.valore_2 = l.i16();
        c.valore_3 = l.i16();
        c.valore_4 = l.i16();
        c.tempo_segnale = l.u8();
        c.preavviso = l.u8();
        c.tipo_montagna = l.u8();
        c.velocita = l.u8();
        c.pendenza = l.u8();
        c.aderenza = l.u8();
        celle.push_back(c);
    }
    return celle;
}

struct TabellaLetta {
    std::vector<modello::voce_tabella> voci;  // nome back in UTF-8
    std::vector<std::string> nomi_byte;       // nome as it lies in the file
    std::vector<std::size_t> inizio_voce;     // byte offset of each record, then the file length
};

inline TabellaLetta decodifica_tabella(const std::string& byte) {
    Lettore l(byte);
    TabellaLetta t;
    while (!l.finito()) {
        t.inizio_voce.push_back(l.posizione());
        modello::voce_tabella v;
        v.tipo = l.u8();
        v.inizio = l.i32();
        v.fine = l.i32();
        v.progressiva = l.i32();
        v.campo_4 = l.u8();
        const std::size_t n = l.u16();
        t.nomi_byte.push_back(l.testo(n));
        v.nome = testo::da_cp1252(t.nomi_byte.back());
        v.campo_7 = l.i16();
        v.campo_8 = l.i16();
        v.campo_10 = l.i16();
        v.campo_11 = l.i16();
        v.campo_12 = l.i16();
        v.campo_9 = l.u8();
        v.campo_13 = l.u8();
        v.campo_6 = l.u8();
        v.campo_5 = l.u8();
        v.orario = l.i32();
        t.voci.push_back(v);
    }
    t.inizio_voce.push_back(byte.size());
    return t;
}

struct ElementoLetto {
    std::uint16_t tag;
    std::int16_t intero = 0;
    double reale = 0.0;
};

inline std::vector<ElementoLetto> decodifica_geometria(const std::string& byte) {
    Lettore l(byte);
    std::vector<ElementoLetto> el;
    while (!l.finito()) {
        ElementoLetto e{l.u16()};
        if (e.tag == 2) e.intero = l.i16();
        else if (e.tag == 5) e.reale = l.f64();
        else if (e.tag != 0) throw std::runtime_error("unknown tag " + std::to_string(e.tag));
        el.push_back(e);
    }
    return el;
}

}  // namespace test_util
