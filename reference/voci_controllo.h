// The entries of check's own topics in the authors' reference: its warning
// rules and the errors it names beyond the status codes. Plain descriptions,
// here below the check itself so that explain and the reference document can
// list them; the rules' code lives with the check.
#pragma once

#include <span>
#include <string_view>

namespace strumento {

// The two input files of a scenario, in the order problems are listed.
enum class quale_file { linea, treno };

// The rules' names, kebab-case, as printed in brackets and given to --no-warn.
inline constexpr std::string_view nome_parola_ignota = "unknown-keyword";
inline constexpr std::string_view nome_grafia = "keyword-spelling";
inline constexpr std::string_view nome_blocco = "wrong-block";
inline constexpr std::string_view nome_intestazione = "unknown-header";
inline constexpr std::string_view nome_commento = "comment-keyword";
inline constexpr std::string_view nome_campi = "field-count";
inline constexpr std::string_view nome_formato = "number-format";
inline constexpr std::string_view nome_utf8 = "utf8-text";
inline constexpr std::string_view nome_oltre_fine = "beyond-line-end";
inline constexpr std::string_view nome_fuori_griglia = "off-grid-position";
inline constexpr std::string_view nome_ordine = "out-of-order";
inline constexpr std::string_view nome_montagne = "mountain-overlap";
inline constexpr std::string_view nome_indicatore = "indicator-speed";
inline constexpr std::string_view nome_velocita = "speed-rounded";
inline constexpr std::string_view nome_ristretto = "value-narrowed";
inline constexpr std::string_view nome_orari = "times-backwards";
inline constexpr std::string_view nome_ambito = "value-range";
inline constexpr std::string_view nome_ora = "time-range";
inline constexpr std::string_view nome_rovescio = "stretch-reversed";
inline constexpr std::string_view nome_inizio_tardo = "run-starts-late";
inline constexpr std::string_view nome_estensione = "extent-beyond-line";
inline constexpr std::string_view nome_nascosto = "hidden-character";
// The rules on the railway the rows describe.
inline constexpr std::string_view nome_progressive_inizio = "progressive-same-start";
inline constexpr std::string_view nome_progressive_ordine = "progressive-order";
inline constexpr std::string_view nome_codice_direzione = "direction-code";
inline constexpr std::string_view nome_salto_km = "km-figures-jump";
inline constexpr std::string_view nome_ripetizione_fuori = "repetition-outside-line";
inline constexpr std::string_view nome_curva_veloce = "curve-speed";
inline constexpr std::string_view nome_sopra_cartelli = "speed-above-boards";
inline constexpr std::string_view nome_cartello_sopra = "board-above-train";
inline constexpr std::string_view nome_testo_km = "km-board-text";
inline constexpr std::string_view nome_stazione_ripetuta = "station-name-repeated";
inline constexpr std::string_view nome_stazione_senza_nome = "station-unnamed";
inline constexpr std::string_view nome_orologio_tardo = "clock-after-departure";
inline constexpr std::string_view nome_rallentamento_inutile = "slowdown-not-slower";
inline constexpr std::string_view nome_rallentamento_in_stazione = "slowdown-end-at-station";
inline constexpr std::string_view nome_segnale_su_marche = "signal-on-station-marks";
inline constexpr std::string_view nome_segnale_ignoto = "signal-pattern-unknown";
inline constexpr std::string_view nome_margine = "allowance-short";
inline constexpr std::string_view nome_sosta_senza_fermata = "dwell-no-stop";
inline constexpr std::string_view nome_orario_senza_fermata = "time-no-stop";

struct regola_avviso {
    std::string_view nome;         // kebab-case, as printed in brackets
    std::string_view descrizione;  // one line: what it finds
    std::string_view esempio;      // one row that sets it off
    // Why it matters: what the compiler does with such a row. For explain.
    std::string_view perche;
    // The file the example row belongs to: appended to the body of a small
    // valid scenario's file, it sets the rule off.
    quale_file file = quale_file::linea;
    // The example sets the rule off only as the first row of its keyword in
    // its file: it takes the place of the file's rows of that keyword.
    bool prima_della_sua_voce = false;
    // A rule on the railway the rows describe (check/regole_ferrovia.h), run
    // over the compile in memory; its example fires on the small scenario of
    // its own tests.
    bool ferrovia = false;
};

// Every rule, in the order the author's guide (docs/author-guide.md) lists them.
std::span<const regola_avviso> regole_avviso();
bool regola_esiste(std::string_view nome);

// check's own errors, beyond the compiler's codes: each told under a name of
// its own, as a warning is under its rule's.
struct errore_controllo {
    std::string_view nome;
    std::string_view descrizione;  // one line: what it finds
    std::string_view perche;       // what the compiler does with such a file
    std::string_view rimedio;      // how to fix it
};
inline constexpr std::string_view errore_codifica = "file-encoding";
inline constexpr std::string_view errore_generale = "missing-generale";
inline constexpr std::string_view errore_timbri = "stamp-overwrite";
inline constexpr std::string_view errore_tempo_di_corsa = "running-time";
std::span<const errore_controllo> errori_controllo();

}  // namespace strumento
