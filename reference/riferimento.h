// The authors' reference: what every keyword of the line description and of
// the train file reads, what every status code means, what the section
// headers do. One table here serves `scenario_tool explain`, the committed
// docs/reference.md and the field names that `dump` prints.
#pragma once

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/codici.h"

namespace strumento {
struct regola_avviso;
struct errore_controllo;
}

namespace riferimento {

enum class file_testo : std::uint8_t { linea, treno };

// The range the format gives a value that the compiler takes whatever it is:
// check warns of a value outside it. `fuori` says what the compiler makes of
// such a value. The parts of a time are checked together, as one time.
struct ambito {
    std::int64_t minimo = 0;
    std::int64_t massimo = -1;  // below minimo: no range
    std::string_view fuori{};
    bool orario = false;
    constexpr bool presente() const { return minimo <= massimo; }
};

// One value of a row, in the order it is read after the keyword.
struct campo {
    std::string_view nome;
    std::string_view unita;         // empty when the value has none
    std::string_view valori;        // range or allowed values
    std::string_view lettura;       // how it is read, rounded or narrowed
    std::string_view destinazione;  // where it ends up in the compiled files
    ambito limiti{};
    // The value is passed on to the simulator but the format says nothing of
    // what it stands for: the reference lists the built-in scenario's values.
    bool senza_significato = false;
    // An empty field is a way to write it (a board side that shows no speed):
    // check does not warn of it.
    bool vuoto_ammesso = false;
};

// The part of the table a row fills, for tools and tests.
enum class zona_tabella : std::uint8_t { nessuna, record_fisso, stazioni, cartelli };

// What a row changes on the route grid or the geometry besides a cell kind.
enum class profilo : std::uint8_t { nessuno, pendenza, velocita, aderenza, montagna, geometria };

// One keyword entry of a reader.
struct parola {
    std::string_view argomento;  // the topic: the keyword as the built-in files write it
    file_testo file;
    std::string_view prima;  // the text the keyword field must contain...
    std::string_view seconda;  // ...and this one too, when not empty
    bool ignora_maiuscole;
    std::string_view sezione;  // where in the file the reader looks for it
    std::string_view cosa;     // one line: what the row is
    std::span<const campo> campi;
    std::string_view regole;   // rules beyond the single values
    std::string_view esempio;  // one row that compiles in a small scenario
    // Where the example ends up: a table zone (with its record when fixed), a
    // kind of route cell (-1: none) and a profile.
    zona_tabella zona = zona_tabella::nessuna;
    int record = -1;
    int tipo_cella = -1;
    profilo traccia = profilo::nessuno;
};

// Whether a code stops the reading (the table of codes says it).
using effetto = modello::effetto;
std::string_view nome_effetto(effetto e);

// One status code, told at length; its effect, its metre and its short
// meaning are the table of codes' (model/codici.h).
struct codice {
    std::int32_t numero;
    std::string_view causa;     // what makes it, in the author's terms
    std::string_view posizione; // what the reported metre is
    std::string_view rimedio;   // how to fix it
    // A row that, added to a small valid scenario, gives this code, and where
    // it goes; empty for the codes no single row causes.
    file_testo file = file_testo::linea;
    std::string_view esempio{};
    std::string_view contesto{};  // what the scenario already holds that the row meets
};

// A section header the built-in files write.
struct sezione {
    std::string_view intestazione;
    file_testo file;
    std::string_view significato;
};

// A topic of the format that no one keyword holds: comments, the timetable,
// the clock, progressives, boards, categories.
struct esempio_tema {
    file_testo file;
    std::string_view righe;  // one or more lines, "\n" between them
    // Added to a small valid scenario, the lines compile as if absent (a
    // comment), or they change the compile.
    bool come_assenti;
    std::string_view spiegazione;
};
struct tema {
    std::string_view nome;    // as explain takes it
    std::string_view titolo;
    std::string_view testo;   // Markdown code spans, as the other entries
    std::span<const esempio_tema> esempi;
};
std::span<const tema> temi();

std::span<const parola> parole();
std::span<const codice> codici();
std::span<const sezione> sezioni();

// Everything about the field names of the table records, as dump shows them:
// the name of field `campo` (as in the model, e.g. "campo_7") of record r,
// or empty when the reference names none.
std::string_view nome_campo_record(int record, std::string_view campo);

// What a topic names: entries whose topic, header, code or warning rule
// matches it, exact matches first; then another name of an entry (a plural,
// an English word, "velocità": "segnali" is the keyword "segnale", not the
// header "[segnali]"); then a header without its brackets; then a keyword
// field as written in a file (e.g. "curvad4"), by the reader's own test; then
// the start of keywords.
struct trovati {
    std::vector<const tema*> temi;
    std::vector<const parola*> parole;
    std::vector<const codice*> codici;
    std::vector<const sezione*> sezioni;
    std::vector<const strumento::regola_avviso*> regole;
    std::vector<const strumento::errore_controllo*> errori;
    bool vuoto() const {
        return temi.empty() && parole.empty() && codici.empty() && sezioni.empty() && regole.empty() && errori.empty();
    }
};
trovati cerca(std::string_view argomento);
// What a field as written in a file names, for the editor: a header or a
// keyword as the readers know them, never another name ("stazioni" in a
// train file is no station).
trovati cerca_campo(std::string_view campo);

// How many letters must be inserted, deleted or changed to turn a into b.
// With a limit, any distance above it comes back as limite + 1, found
// without finishing the count: the callers only ask whether a spelling is
// close, for every unknown row of a file.
std::size_t distanza(std::string_view a, std::string_view b,
                     std::size_t limite = std::numeric_limits<std::size_t>::max() - 1);

// The topics close enough in spelling to an unknown one to be what was meant,
// closest first; none when no topic is.
std::vector<std::string> vicini(std::string_view argomento, std::size_t quanti = 3);

// One value the built-in scenario gives a field, with the lines of its file
// (as emit writes it) whose rows hold it.
struct uso_builtin {
    std::int64_t valore;
    std::vector<int> righe;
};
// The values of value `campo` of a keyword's rows in the built-in scenario,
// in increasing order.
std::vector<uso_builtin> usi_builtin(const parola& p, std::size_t campo);

// Plain text for the terminal and Markdown for the document.
std::string testo(const trovati& t);
std::string markdown(const trovati& t);
std::string markdown_completo();
std::string testo_completo();

}  // namespace riferimento
