// The compile status codes kept in codice_errore, and the two fatal codes that
// end the run with a message.
#pragma once

#include <cstdint>
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

// Short meaning of a code, for people reading a status; empty for an unknown code.
std::string_view significato_codice(std::int32_t codice);

// True for the codes the compiler can leave in codice_errore.
bool codice_noto(std::int32_t codice);

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
