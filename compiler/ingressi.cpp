#include "compiler/ingressi.h"

#include <fstream>
#include <iterator>

#include "model/nomi_file.h"
#include "text/flusso_campi.h"

namespace compilatore {

std::optional<std::string> ingressi_cartella::leggi(const std::string& nome) {
    const auto file = cartella_ / modello::percorso_utf8(nome);
    if (!std::filesystem::is_regular_file(file)) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) throw testo::errore_lettura("cannot open " + file.string());
    std::string contenuto((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw testo::errore_lettura("cannot read " + file.string());
    return contenuto;
}

void ingressi_cartella::elimina(const std::string& nome) {
    std::filesystem::remove(cartella_ / modello::percorso_utf8(nome));
}

}  // namespace compilatore
