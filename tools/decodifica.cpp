#include "tools/decodifica.h"

#include <bit>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "model/testo_1252.h"

namespace decodifica {

errore_decodifica::errore_decodifica(std::string file, std::size_t offset, const std::string& dettaglio)
    : std::runtime_error(file + ": byte " + std::to_string(offset) + ": " + dettaglio),
      file_(std::move(file)),
      offset_(offset) {}

namespace {

// Little-endian fields read in order; a field that runs past the end throws
// at the offset where it begins, saying what it was.
class lettore {
public:
    lettore(std::string_view byte, const std::string& file) : byte_(byte), file_(file) {}

    std::size_t posizione() const { return pos_; }
    std::size_t restanti() const { return byte_.size() - pos_; }
    bool finito() const { return pos_ == byte_.size(); }

    [[noreturn]] void errore(std::size_t offset, const std::string& dettaglio) const {
        throw errore_decodifica(file_, offset, dettaglio);
    }

    std::uint64_t senza_segno(std::size_t n, const char* campo) {
        richiedi(n, campo);
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < n; ++i)
            v |= std::uint64_t{static_cast<unsigned char>(byte_[pos_ + i])} << (8 * i);
        pos_ += n;
        return v;
    }
    std::uint8_t u8(const char* campo) { return static_cast<std::uint8_t>(senza_segno(1, campo)); }
    std::uint16_t u16(const char* campo) { return static_cast<std::uint16_t>(senza_segno(2, campo)); }
    std::int16_t i16(const char* campo) { return static_cast<std::int16_t>(senza_segno(2, campo)); }
    std::int32_t i32(const char* campo) { return static_cast<std::int32_t>(senza_segno(4, campo)); }
    double f64(const char* campo) { return std::bit_cast<double>(senza_segno(8, campo)); }
    std::string_view testo(std::size_t n, const char* campo) {
        richiedi(n, campo);
        const auto t = byte_.substr(pos_, n);
        pos_ += n;
        return t;
    }

private:
    void richiedi(std::size_t n, const char* campo) const {
        if (restanti() < n)
            errore(pos_, std::string("truncated: ") + campo + " needs " + std::to_string(n) + " bytes, " +
                             std::to_string(restanti()) + " left");
    }

    std::string_view byte_;
    const std::string& file_;
    std::size_t pos_ = 0;
};

}  // namespace

std::vector<modello::cella> decodifica_percorso(std::string_view byte, const std::string& nome_file) {
    lettore l(byte, nome_file);
    if (byte.empty()) l.errore(0, "empty route file: no cell");
    if (byte.size() % byte_cella != 0) {
        const std::size_t ultima = byte.size() / byte_cella;
        l.errore(ultima * byte_cella, "truncated: cell " + std::to_string(ultima) + " has " +
                                          std::to_string(byte.size() % byte_cella) + " of its 15 bytes");
    }
    std::vector<modello::cella> celle(byte.size() / byte_cella);
    for (auto& c : celle) {
        c.tipo = l.u8("tipo");
        c.valore_1 = l.i16("valore_1");
        c.valore_2 = l.i16("valore_2");
        c.valore_3 = l.i16("valore_3");
        c.valore_4 = l.i16("valore_4");
        c.tempo_segnale = l.u8("tempo_segnale");
        c.preavviso = l.u8("preavviso");
        c.tipo_montagna = l.u8("tipo_montagna");
        c.velocita = l.u8("velocita");
        c.pendenza = l.u8("pendenza");
        c.aderenza = l.u8("aderenza");
    }
    return celle;
}

std::array<modello::voce_tabella, modello::record_tabella> decodifica_tabella(std::string_view byte,
                                                                              const std::string& nome_file) {
    lettore l(byte, nome_file);
    std::array<modello::voce_tabella, modello::record_tabella> tabella{};
    for (auto& v : tabella) {
        v.tipo = l.u8("tipo");
        v.inizio = l.i32("inizio");
        v.fine = l.i32("fine");
        v.progressiva = l.i32("progressiva");
        v.campo_4 = l.u8("campo_4");
        const std::size_t n = l.u16("name length");
        v.nome = modello::da_cp1252(l.testo(n, "nome"));
        v.campo_7 = l.i16("campo_7");
        v.campo_8 = l.i16("campo_8");
        v.campo_10 = l.i16("campo_10");
        v.campo_11 = l.i16("campo_11");
        v.campo_12 = l.i16("campo_12");
        v.campo_9 = l.u8("campo_9");
        v.campo_13 = l.u8("campo_13");
        v.campo_6 = l.u8("campo_6");
        v.campo_5 = l.u8("campo_5");
        v.orario = l.i32("orario");
    }
    if (!l.finito())
        l.errore(l.posizione(), std::to_string(l.restanti()) + " bytes after the last of the " +
                                    std::to_string(modello::record_tabella) + " records");
    return tabella;
}

modello::geometria_linea decodifica_geometria(std::string_view byte, const std::string& nome_file) {
    using tipo = modello::valore_geometria::tipo;
    lettore l(byte, nome_file);
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
    if (valori.size() / 2 > static_cast<std::size_t>(INT32_MAX))
        l.errore(byte.size(), "more metres than a geometry can hold");
    if (valori.size() % 2 != 0)
        l.errore(byte.size(), "odd number of elements (" + std::to_string(valori.size()) +
                                  "): the two components must cover the same metres");
    modello::geometria_linea g(static_cast<std::int32_t>(valori.size() / 2 - 1));
    for (std::size_t i = 0; i < valori.size(); ++i) g.imposta_elemento(i, valori[i]);
    return g;
}

std::string leggi_binario(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!std::filesystem::is_regular_file(file) || !in) throw std::runtime_error(file.string() + ": cannot be read");
    std::string byte{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw std::runtime_error(file.string() + ": read failed");
    return byte;
}

}  // namespace decodifica
