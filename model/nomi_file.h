// Names of every file of a run, formed from the line identifier and the train
// number, and their place in the run's folder.
#pragma once

#include <filesystem>
#include <string>

#include "model/modello.h"

namespace modello {

inline std::string nome_file_linea(const Modello& m) { return m.nome_linea + "_linea.txt"; }
inline std::string nome_file_treno(const Modello& m) { return m.nome_linea + "_" + m.numero_treno + "-.txt"; }
inline std::string nome_file_note(const Modello& m) { return m.nome_linea + "_" + m.numero_treno + "_note.txt"; }
inline std::string nome_file_rallentamenti(const Modello& m) {
    return m.nome_linea + "_" + m.numero_treno + "_rallentamenti.txt";
}
inline std::string nome_file_scheda(const Modello& m) {
    return m.nome_linea + "_" + m.numero_treno + "_scheda_treno.txt";
}
inline std::string nome_file_geometria(const Modello& m) { return m.nome_linea + "_linea.dat"; }
inline std::string nome_file_tabella(const Modello& m) { return m.nome_linea + "_" + m.numero_treno + ".sim"; }
inline std::string nome_file_percorso(const Modello& m) { return m.nome_linea + "_" + m.numero_treno + ".dat"; }

// A UTF-8 name as a path, on every system. On Windows a path made from a
// plain std::string takes each byte as one character, so "Città" would name
// another file; through std::u8string it is read as UTF-8 there too.
inline std::filesystem::path percorso_utf8(const std::string& s) {
    return std::filesystem::path(std::u8string(s.begin(), s.end()));
}

inline std::filesystem::path file_in_cartella(const Modello& m, const std::string& nome) {
    return m.cartella / percorso_utf8(nome);
}

}  // namespace modello
