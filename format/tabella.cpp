#include "format/tabella.h"

#include <limits>
#include <stdexcept>

#include "format/binario.h"
#include "text/testo_1252.h"

namespace formato {

std::string immagine_tabella(const tabella_compilata& tabella) {
    std::string buf;
    buf.reserve(tabella.size() * (byte_voce_senza_nome + 16));
    for (const modello::voce_tabella& v : tabella) {
        const std::string nome = testo::a_cp1252(v.nome);
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

tabella_compilata decodifica_tabella(std::string_view byte, const std::string& nome_file) {
    lettore_binario l(byte, nome_file);
    tabella_compilata tabella{};
    for (auto& v : tabella) {
        v.tipo = l.u8("tipo");
        v.inizio = l.i32("inizio");
        v.fine = l.i32("fine");
        v.progressiva = l.i32("progressiva");
        v.campo_4 = l.u8("campo_4");
        const std::size_t n = l.u16("name length");
        v.nome = testo::da_cp1252(l.testo(n, "nome"));
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

bool voce_vuota(const modello::voce_tabella& v) {
    return v.tipo == 0 && v.inizio == 0 && v.fine == 0 && v.progressiva == 0 && v.campo_4 == 0 && v.nome.empty() &&
           v.campo_7 == 0 && v.campo_8 == 0 && v.campo_10 == 0 && v.campo_11 == 0 && v.campo_12 == 0 &&
           v.campo_9 == 0 && v.campo_13 == 0 && v.campo_6 == 0 && v.campo_5 == 0 && v.orario == 0;
}

}  // namespace formato
