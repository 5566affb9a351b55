#include "compiler/codici_gara.h"

#include <string>

#include "text/testo_1252.h"

namespace compilatore {

using modello::Modello;
using modello::record_linea;
using modello::record_ripetizione;
using testo::a_cp1252;

namespace {

constexpr std::size_t caratteri_usati = 25;

// Lower case of one Windows-1252 byte: ASCII letters, the Latin-1 capitals
// (but the multiplication sign) and the four capitals among 0x80..0x9F.
unsigned char minuscola_1252(unsigned char b) {
    if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<unsigned char>(b + 32);
    switch (b) {
        case 0x8A: return 0x9A;  // S caron
        case 0x8C: return 0x9C;  // OE
        case 0x8E: return 0x9E;  // Z caron
        case 0x9F: return 0xFF;  // Y diaeresis
        default: return b;
    }
}

}  // namespace

std::string stringa_di_lavoro(const Modello& m) {
    std::string byte = a_cp1252(m.tabella[record_ripetizione].nome + m.tabella[record_linea].nome);
    for (char& b : byte) b = static_cast<char>(minuscola_1252(static_cast<unsigned char>(b)));
    byte += riempitivo_codici;
    return byte;
}

std::int16_t codice_gara_og(const Modello& m) {
    const std::string byte = stringa_di_lavoro(m);
    std::int16_t somma = 0;
    for (std::size_t i = 0; i < caratteri_usati; ++i)
        somma = static_cast<std::int16_t>(somma + static_cast<unsigned char>(byte[i]));
    return somma;
}

std::int32_t codice_gara_st(const Modello& m) {
    const std::string byte = stringa_di_lavoro(m);
    std::int32_t somma = 0;
    for (std::size_t i = 0; i < caratteri_usati; ++i)
        somma += static_cast<std::int32_t>(i + 1) * static_cast<unsigned char>(byte[i]);
    return somma;
}

}  // namespace compilatore
