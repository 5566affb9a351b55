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

}  // namespace

void produci_geometria(const geometria_linea& g, const std::function<void(std::string_view)>& scrivi) {
    // Encoded a block at a time: the largest geometry file is 20 MB, and it
    // never needs to lie in memory whole.
    constexpr std::size_t blocco = 1 << 20;
    constexpr std::size_t massimo_elemento = 10;
    std::string buf(blocco, '\0');
    char* const inizio = buf.data();
    char* const limite = inizio + blocco - massimo_elemento;
    // Plain pointers in locals: stores through char* could alias the vectors'
    // own pointers and make the compiler reload them for every element.
    const std::uint8_t* const etichette = g.etichette().data();
    const double* const numeri = g.numeri().data();
    const std::size_t n = g.elementi();
    char* p = inizio;
    for (std::size_t i = 0; i < n; ++i) {
        if (p > limite) {
            scrivi({inizio, static_cast<std::size_t>(p - inizio)});
            p = inizio;
        }
        const std::uint8_t etichetta = etichette[i];
        p = metti_u16(p, etichetta);
        if (etichetta == static_cast<std::uint8_t>(valore_geometria::tipo::reale)) p = metti_f64(p, numeri[i]);
        else if (etichetta == static_cast<std::uint8_t>(valore_geometria::tipo::intero))
            p = metti_i16(p, static_cast<std::int16_t>(numeri[i]));
    }
    scrivi({inizio, static_cast<std::size_t>(p - inizio)});
}

std::string immagine_geometria(const geometria_linea& g) {
    std::string buf;
    produci_geometria(g, [&](std::string_view pezzo) { buf.append(pezzo); });
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
    const std::string tabella = immagine_tabella(m.tabella);
    const std::string percorso = immagine_percorso(m.percorso);
    std::vector<file_a_pezzi> file;
    if (con_geometria)
        file.push_back({file_in_cartella(m, nome_file_geometria(m)),
                        [&g = *m.geometria](const auto& scrivi) { produci_geometria(g, scrivi); }});
    file.push_back({file_in_cartella(m, nome_file_tabella(m)), [&](const auto& scrivi) { scrivi(tabella); }});
    file.push_back({file_in_cartella(m, nome_file_percorso(m)), [&](const auto& scrivi) { scrivi(percorso); }});
    scrivi_file_atomici(file);
}

}  // namespace modello
