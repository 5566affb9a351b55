#include "model/file_compilati.h"

#include <limits>
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

std::size_t byte_elemento(const valore_geometria& v) {
    switch (v.etichetta) {
        case valore_geometria::tipo::vuoto: return 2;
        case valore_geometria::tipo::intero: return 4;
        case valore_geometria::tipo::reale: return 10;
    }
    return 2;
}

}  // namespace

std::string immagine_geometria(const geometria_linea& g) {
    std::size_t lunghezza = 0;
    for (const auto& v : g.valori) lunghezza += byte_elemento(v);
    std::string buf(lunghezza, '\0');
    // valori already lies component-major, metre by metre: the file order.
    char* p = buf.data();
    for (const auto& v : g.valori) {
        p = metti_u16(p, static_cast<std::uint16_t>(v.etichetta));
        if (v.etichetta == valore_geometria::tipo::reale) p = metti_f64(p, v.reale);
        else if (v.etichetta == valore_geometria::tipo::intero) p = metti_i16(p, v.intero);
    }
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
    std::string buf;
    buf.reserve(percorso.size() * byte_cella);
    for (const cella& c : percorso) {
        aggiungi_u8(buf, c.tipo);
        aggiungi_i16(buf, c.valore_1);
        aggiungi_i16(buf, c.valore_2);
        aggiungi_i16(buf, c.valore_3);
        aggiungi_i16(buf, c.valore_4);
        aggiungi_u8(buf, c.tempo_segnale);
        aggiungi_u8(buf, c.preavviso);
        aggiungi_u8(buf, c.tipo_montagna);
        aggiungi_u8(buf, c.velocita);
        aggiungi_u8(buf, c.pendenza);
        aggiungi_u8(buf, c.aderenza);
    }
    return buf;
}

void scrivi_file_compilati(const Modello& m) {
    const bool con_geometria = m.genera_geometria != 0 && m.geometria.has_value();
    const std::string geometria = con_geometria ? immagine_geometria(*m.geometria) : std::string();
    const std::string tabella = immagine_tabella(m.tabella);
    const std::string percorso = immagine_percorso(m.percorso);
    std::vector<std::pair<std::filesystem::path, std::string_view>> file;
    if (con_geometria) file.emplace_back(file_in_cartella(m, nome_file_geometria(m)), geometria);
    file.emplace_back(file_in_cartella(m, nome_file_tabella(m)), tabella);
    file.emplace_back(file_in_cartella(m, nome_file_percorso(m)), percorso);
    scrivi_file_atomici(file);
}

}  // namespace modello
