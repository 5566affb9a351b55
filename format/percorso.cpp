#include "format/percorso.h"

#include "format/binario.h"

namespace formato {

std::string immagine_percorso(const std::vector<modello::cella>& percorso) {
    // Sized once and filled through a pointer: the largest grid has 20141 cells.
    std::string buf(percorso.size() * byte_cella, '\0');
    char* p = buf.data();
    for (const modello::cella& c : percorso) {
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

std::vector<modello::cella> decodifica_percorso(std::string_view byte, const std::string& nome_file) {
    lettore_binario l(byte, nome_file);
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

}  // namespace formato
