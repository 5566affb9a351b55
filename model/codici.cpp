#include "model/codici.h"

#include <array>
#include <utility>

namespace modello {

namespace {
constexpr std::array<std::pair<std::int32_t, std::string_view>, 29> significati{{
    {codice::nessuno, "no problem found"},
    {codice::lunghezza_eccessiva, "line length greater than 1000000 m"},
    {codice::progressiva_non_multipla, "a kilometric progressive's start or value is not a multiple of 50"},
    {codice::inizio_ripetizione_non_multiplo, "start of signal repetition not a multiple of 50"},
    {codice::fine_ripetizione_non_multipla, "end of signal repetition not a multiple of 50"},
    {codice::codici_ripetizione_ignoti, "signal repetition names neither 4 nor 9 codes"},
    {codice::cartello_km_occupato, "kilometre board on a cell that is not free"},
    {codice::abbattimento_occupato, "code point on a cell that is not free"},
    {codice::stazione_non_multipla, "station position not a multiple of 50"},
    {codice::lunghezza_stazione_non_multipla, "station length not a multiple of 100"},
    {codice::tabella_piena, "stations and board texts would meet in the table"},
    {codice::segnale_senza_punto_codice, "a signal before a slowdown warning point has no room for a code point"},
    {codice::gruppo_senza_cella_libera, "no free cell for a code point ahead of a slowdown start"},
    {codice::interno_senza_cella_libera, "no free cell for a code point inside or after a slowdown"},
    {codice::oltre_il_percorso, "a position beyond the route grid"},
    {codice::segnale_occupato, "block signal on a cell that is not free"},
    {codice::avviso_occupato, "slowdown warning cell not free"},
    {codice::inizio_rallentamento_occupato, "slowdown start cell not free"},
    {codice::fine_rallentamento_occupata, "slowdown end cell not free"},
    {codice::preavviso_occupato, "a cell ahead of a slowdown warning point not free"},
    {codice::indicatore_occupato, "speed indicator board on a cell that is not free"},
    {codice::stazioni_troppo_vicine, "a station starts less than 350 m after the previous one ends"},
    {codice::stazione_troppo_vicina_origine, "a stopping station ends 100 m or less from the start of the line"},
    {codice::errore_in_lettura, "run-time failure while reading the input files"},
    {codice::linea_mancante, "the line description file does not exist"},
    {codice::generale_mancante, "the line description file has no [generale] field"},
    {codice::curva_o_geometria_errata, "curve without a class digit 1 to 6, or geometry beyond 1000000 m"},
    {codice::timbro_occupato, "stamping: the marker field is already taken"},
    {codice::codice_gara_occupato, "stamping: the check-code field is already taken"},
}};
}  // namespace

std::string_view significato_codice(std::int32_t c) {
    for (const auto& [numero, testo] : significati)
        if (numero == c) return testo;
    return {};
}

bool codice_noto(std::int32_t c) { return !significato_codice(c).empty(); }

}  // namespace modello
