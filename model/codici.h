// The compile status codes kept in codice_errore, and the two fatal codes that
// end the run with a message.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace modello {

namespace codice {
inline constexpr std::int32_t nessuno = 0;
inline constexpr std::int32_t lunghezza_eccessiva = 1;
inline constexpr std::int32_t progressiva_non_multipla = 2;
inline constexpr std::int32_t inizio_ripetizione_non_multiplo = 3;
inline constexpr std::int32_t fine_ripetizione_non_multipla = 4;
inline constexpr std::int32_t codici_ripetizione_ignoti = 5;
inline constexpr std::int32_t cartello_km_occupato = 6;
inline constexpr std::int32_t abbattimento_occupato = 7;
inline constexpr std::int32_t stazione_non_multipla = 8;
inline constexpr std::int32_t lunghezza_stazione_non_multipla = 9;
inline constexpr std::int32_t tabella_piena = 10;
inline constexpr std::int32_t segnale_senza_punto_codice = 11;
inline constexpr std::int32_t gruppo_senza_cella_libera = 12;
inline constexpr std::int32_t interno_senza_cella_libera = 13;
inline constexpr std::int32_t oltre_il_percorso = 15;
inline constexpr std::int32_t segnale_occupato = 16;
inline constexpr std::int32_t avviso_occupato = 17;
inline constexpr std::int32_t inizio_rallentamento_occupato = 18;
inline constexpr std::int32_t fine_rallentamento_occupata = 19;
inline constexpr std::int32_t preavviso_occupato = 20;
inline constexpr std::int32_t indicatore_occupato = 21;
inline constexpr std::int32_t stazioni_troppo_vicine = 22;
inline constexpr std::int32_t stazione_troppo_vicina_origine = 24;
inline constexpr std::int32_t errore_in_lettura = 25;
inline constexpr std::int32_t linea_mancante = 101;
inline constexpr std::int32_t generale_mancante = 102;
inline constexpr std::int32_t curva_o_geometria_errata = 103;
inline constexpr std::int32_t timbro_occupato = 1250;
inline constexpr std::int32_t codice_gara_occupato = 1251;
}  // namespace codice

// What a code does to the reading.
enum class effetto : std::uint8_t {
    nessuno,     // no problem
    duro,        // the reader abandons its file at once
    morbido,     // the reader stops as if its file had ended
    registrato,  // noted, the work goes on
    fatale,      // the compile ends, no compiled file written
};

// One code as every report tells it.
struct voce_codice {
    std::int32_t numero;
    effetto arresto;
    bool con_posizione;  // posizione_errore holds the metre where it arose
    std::string_view significato;  // short meaning, for people reading a status
};

// Every code the compiler can leave in codice_errore or end the run with.
std::span<const voce_codice> tabella_codici();

// The table's entry of a code; null for an unknown code.
const voce_codice* voce_del_codice(std::int32_t codice);

// Short meaning of a code; empty for an unknown code.
std::string_view significato_codice(std::int32_t codice);

// True for the codes of the table.
bool codice_noto(std::int32_t codice);

// True for the codes whose posizione_errore is the metre where they arose.
bool codice_con_posizione(std::int32_t codice);

// Raised by the stamping step when a stamp field is already taken: the run
// must end with the message for this code and write no compiled file.
class errore_fatale : public std::runtime_error {
public:
    explicit errore_fatale(std::int32_t c)
        : std::runtime_error(" Errore n. " + std::to_string(c)), codice_(c) {}
    std::int32_t codice() const { return codice_; }

private:
    std::int32_t codice_;
};

}  // namespace modello
