#include "model/codici.h"

namespace modello {

namespace {
using e = effetto;
// Every code, once: what the reports, check and the reference say of it.
constexpr voce_codice tabella[] = {
    {codice::nessuno, e::nessuno, false, "no problem found"},
    {codice::lunghezza_eccessiva, e::duro, false, "line length greater than 1000000 m"},
    {codice::progressiva_non_multipla, e::registrato, false, "a kilometric progressive's start or value is not a multiple of 50"},
    {codice::inizio_ripetizione_non_multiplo, e::duro, false, "start of signal repetition not a multiple of 50"},
    {codice::fine_ripetizione_non_multipla, e::duro, false, "end of signal repetition not a multiple of 50"},
    {codice::codici_ripetizione_ignoti, e::duro, false, "signal repetition names neither 4 nor 9 codes"},
    {codice::cartello_km_occupato, e::duro, true, "kilometre board on a cell that is not free"},
    {codice::abbattimento_occupato, e::duro, true, "code point on a cell that is not free"},
    {codice::stazione_non_multipla, e::duro, true, "station position not a multiple of 50"},
    {codice::lunghezza_stazione_non_multipla, e::duro, true, "station length not a multiple of 100"},
    {codice::tabella_piena, e::duro, false, "stations and board texts would meet in the table"},
    {codice::segnale_senza_punto_codice, e::registrato, true, "a signal before a slowdown warning point has no room for a code point"},
    {codice::gruppo_senza_cella_libera, e::registrato, true, "no free cell for a code point ahead of a slowdown start"},
    {codice::interno_senza_cella_libera, e::registrato, true, "no free cell for a code point inside or after a slowdown"},
    {codice::oltre_il_percorso, e::morbido, true, "a position beyond the route grid"},
    {codice::segnale_occupato, e::duro, true, "block signal on a cell that is not free"},
    {codice::avviso_occupato, e::duro, true, "slowdown warning cell not free"},
    {codice::inizio_rallentamento_occupato, e::duro, true, "slowdown start cell not free"},
    {codice::fine_rallentamento_occupata, e::duro, true, "slowdown end cell not free"},
    {codice::preavviso_occupato, e::duro, true, "a cell ahead of a slowdown warning point not free"},
    {codice::indicatore_occupato, e::duro, true, "speed indicator board on a cell that is not free"},
    {codice::stazioni_troppo_vicine, e::duro, true, "a station starts less than 350 m after the previous one ends"},
    {codice::stazione_troppo_vicina_origine, e::duro, false, "a stopping station ends 100 m or less from the start of the line"},
    {codice::errore_in_lettura, e::duro, false, "run-time failure while reading the input files"},
    {codice::linea_mancante, e::duro, false, "the line description file does not exist"},
    {codice::generale_mancante, e::duro, false, "the line description file has no [generale] field"},
    {codice::curva_o_geometria_errata, e::duro, false, "curve without a class digit 1 to 6, or geometry beyond 1000000 m"},
    {codice::timbro_occupato, e::fatale, false, "stamping: the marker field is already taken"},
    {codice::codice_gara_occupato, e::fatale, false, "stamping: the check-code field is already taken"},
};
}  // namespace

std::span<const voce_codice> tabella_codici() { return tabella; }

const voce_codice* voce_del_codice(std::int32_t c) {
    for (const auto& v : tabella)
        if (v.numero == c) return &v;
    return nullptr;
}

std::string_view significato_codice(std::int32_t c) {
    const auto* v = voce_del_codice(c);
    return v ? v->significato : std::string_view{};
}

bool codice_noto(std::int32_t c) { return voce_del_codice(c) != nullptr; }

bool codice_con_posizione(std::int32_t c) {
    const auto* v = voce_del_codice(c);
    return v && v->con_posizione;
}

}  // namespace modello
