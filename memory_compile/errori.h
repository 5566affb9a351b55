// The compiler's errors in words: what the recorder saw in each round of a
// compile in memory, made into problems at the rows that caused them, and
// the sentences compile's report shares with them.
#pragma once

#include <cstddef>
#include <exception>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "memory_compile/problema.h"
#include "memory_compile/registro.h"
#include "memory_compile/righe_file.h"
#include "model/modello.h"

namespace strumento {

// Why a reader failed at run time (status 25), for compile's "because:" and
// check's error: a value that failed to read is named by its field, as the
// reference names it, with its text as written in file f.
std::string motivo_arresto(const modello::punto_arresto& a, quale_file f);

// What the stamps did to the object of cell 1 (see timbri_su_un_oggetto),
// named by chi when the row that placed it is known.
std::string testo_timbri_su_un_oggetto(const modello::cella& prima, const std::string& chi = {});

// Whether a field holds a keyword of file f's reader.
bool di_una_voce(quale_file f, std::string_view campo);

// Codes whose row is not taken out to read on: taking it out would only make
// problems of its own (the length, the table's last station).
bool si_legge_oltre(std::int32_t codice);

// The errors of the rounds of one compile in memory, each once: later
// rounds meet most of them again.
class errori_compilazione {
public:
    // nome_linea: the line description's name in memory; the texts as given,
    // for the rows a failed reading swallowed.
    errori_compilazione(std::string nome_linea, const righe_file& linea, const righe_file& treno)
        : nome_linea_(std::move(nome_linea)), linea_(linea), treno_(treno) {}

    quale_file file_di(const std::string& nome) const {
        return nome == nome_linea_ ? quale_file::linea : quale_file::treno;
    }

    // A code a reader set, at the row that set it.
    void da_fermata(const fermata_registrata& f, const registro_controllo& r,
                    const std::optional<modello::punto_arresto>& arresto);
    // A code the completion recorded, at the row of the object it worked for.
    void da_completamento(const problema_completamento& c, const registro_controllo& r);
    // A stamp's field already taken (fatal code 1250 or 1251): at the row of
    // the object in cell 1, which is returned, when a row placed it.
    std::optional<std::size_t> timbro_occupato(std::int32_t codice, const registro_controllo& r);
    // The stamps took the zero values of the object in cell 1.
    void timbri_su_un_oggetto(const modello::Modello& m, const registro_controllo& r);
    // The completion failed otherwise.
    void compilazione_fallita(const std::exception& e);

    // Every error, in check's order.
    std::vector<problema> elenco();

private:
    std::string dove(quale_file qui, const registro_controllo& r, std::size_t o) const;
    rimando nota(const registro_controllo& r, std::size_t o, const std::string& come) const;
    std::string righe_perse(quale_file qui, const fermata_registrata& f, const modello::punto_arresto& a) const;
    void progressiva(problema p, const registro_controllo& r);
    void aggiungi(problema p);

    std::string nome_linea_;
    const righe_file& linea_;
    const righe_file& treno_;
    std::vector<problema> problemi_;
    std::set<std::tuple<quale_file, int, std::int32_t, std::string>> visti_;
};

}  // namespace strumento
