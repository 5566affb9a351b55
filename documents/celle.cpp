#include "documents/celle.h"

namespace strumento::documenti {

std::size_t caratteri(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

namespace {

// The first `n` characters of a UTF-8 text.
std::string_view primi(std::string_view utf8, std::size_t n) {
    std::size_t visti = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
        if (visti == n) return utf8.substr(0, i);
        ++visti;
    }
    return utf8;
}

}  // namespace

void in_cella(std::string& riga, std::size_t colonna, std::size_t larghezza, std::string_view testo, allinea a,
              std::string_view cosa) {
    const std::size_t n = caratteri(testo);
    if (n > larghezza)
        throw valore_troppo_largo(std::string(cosa) + " \"" + std::string(testo) + "\" does not fit its cell of " +
                                  std::to_string(larghezza) + " characters");
    const std::size_t libero = larghezza - n;
    const std::size_t prima = a == allinea::sinistra ? 0 : a == allinea::destra ? libero : libero / 2;
    // The line is ASCII up to here: byte columns are character columns.
    std::string cella(prima, ' ');
    cella += testo;
    cella.append(libero - prima, ' ');
    riga.replace(colonna, larghezza, cella);
}

void nome_in_cella(std::string& riga, std::size_t colonna, std::size_t larghezza, std::string_view nome,
                   std::vector<std::string>& avvisi, std::string_view dove) {
    std::string_view testo = nome;
    if (caratteri(nome) > larghezza) {
        testo = primi(nome, larghezza);
        avvisi.push_back(std::string(dove) + ": the name \"" + std::string(nome) + "\" is longer than its cell of " +
                         std::to_string(larghezza) + " characters: cut to \"" + std::string(testo) + "\"");
    }
    in_cella(riga, colonna, larghezza, testo, allinea::sinistra, dove);
}

}  // namespace strumento::documenti
