// The notes that present the scenario: the first two lines say which train
// runs which stretch, as the built-in notes do; the author's own lines, or a
// short template to fill, follow.
#include <array>
#include <string_view>

#include "documents/documenti.h"

namespace strumento::documenti {

namespace {

// What an author replaces: the difficulty, the greeting, the signature, the
// timetable's date (the built-in notes' four last lines).
constexpr std::array<std::string_view, 4> modello_note = {
    "(La simulazione: difficolta', condizioni, cosa attende il macchinista)",
    "Buon divertimento",
    "                   (autore)",
    "Orario (mese anno)",
};

}  // namespace

std::string tratto(const fatti_coppia& f) {
    if (f.stazioni.empty()) return {};
    return come_nome(f.stazioni.front().nome) + " - " + come_nome(f.stazioni.back().nome);
}

documento note_treno(const fatti_coppia& f, const dati_autore& a) {
    documento d;
    std::string prima = "Simulazione del treno ";
    if (a.classificazione) prima += *a.classificazione + " ";
    prima += a.numero_treno;
    if (a.nome_treno) prima += " '" + *a.nome_treno + "'";
    prima += " " + a.percorso.value_or(tratto(f)) + " nel tratto ";
    d.righe.push_back(prima);
    d.righe.push_back(tratto(f) + ".");
    if (!a.note.empty())
        d.righe.insert(d.righe.end(), a.note.begin(), a.note.end());
    else
        d.righe.insert(d.righe.end(), modello_note.begin(), modello_note.end());
    return d;
}

}  // namespace strumento::documenti
