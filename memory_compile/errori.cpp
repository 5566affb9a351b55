#include "memory_compile/errori.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "dump/scarico.h"
#include "line_reader/lettore_linea.h"
#include "model/codici.h"
#include "reference/celle.h"
#include "reference/riferimento.h"
#include "text/flusso_campi.h"
#include "text/testo_1252.h"
#include "train_reader/lettore_treno.h"

namespace strumento {

namespace codice = modello::codice;

namespace {

std::string metro(std::int64_t m) { return "metre " + std::to_string(m); }

// The cell a row wanted and found taken, by its index and metre.
std::string cella_presa(const fermata_registrata& f) {
    return f.cella_contesa ? nome_cella(*f.cella_contesa) + ", already taken" : "a cell already taken";
}

// What a reader's code says about the row that set it.
std::string messaggio_fermata(const fermata_registrata& f) {
    const std::string p = metro(f.posizione);
    const std::string presa = cella_presa(f);
    switch (f.codice) {
        case codice::lunghezza_eccessiva: return "line length greater than 1000000 m";
        case codice::cartello_km_occupato: return "kilometre board at " + p + " on " + presa;
        case codice::abbattimento_occupato: return "code point at " + p + " on " + presa;
        case codice::stazione_non_multipla: return "station at " + p + ": its position is not a multiple of 50";
        case codice::lunghezza_stazione_non_multipla:
            return "station at " + p + ": its length is not a multiple of 100";
        case codice::tabella_piena:
            return "no table record left after this station: stations and kilometre board texts would meet; "
                   "the rows after it are not checked";
        case codice::oltre_il_percorso:
            return p + " lies beyond the route grid (the line's length plus 7000 m): the compiler stops reading "
                       "this file here";
        case codice::segnale_occupato: return "signal at " + p + " on " + presa;
        case codice::avviso_occupato:
            return "slowdown at " + p + ": its warning point, 1200 m before, falls on " + presa;
        case codice::inizio_rallentamento_occupato: return "slowdown at " + p + ": its start falls on " + presa;
        case codice::fine_rallentamento_occupata: return "slowdown at " + p + ": its end falls on " + presa;
        case codice::preavviso_occupato:
            return "slowdown at " + p + ": one of the four cells before its warning point, " +
                   (f.cella_contesa ? nome_cella(*f.cella_contesa) : std::string("a cell")) + ", is already taken";
        case codice::indicatore_occupato: return "speed indicator board at " + p + " on " + presa;
        case codice::stazioni_troppo_vicine:
            return "station at " + p + " starts less than 350 m after the previous station ends";
        case codice::stazione_troppo_vicina_origine:
            return "stopping station ending 100 m or less from the start of the line";
        case codice::errore_in_lettura: return "the reading failed: " + f.motivo + "; nothing after this is read";
        case codice::generale_mancante: return "no [generale] field: nothing of this file is read";
        default: {
            std::string s(modello::significato_codice(f.codice));
            return s.empty() ? "status " + std::to_string(f.codice) : s;
        }
    }
}

// An error of code c at line riga of file f.
problema errore(quale_file f, int riga, std::int32_t c) {
    problema p;
    p.file = f;
    p.riga = riga;
    p.livello = gravita::errore;
    p.codice = c;
    return p;
}

// The reference's entry of a reader's keyword.
const riferimento::parola* voce_di_riferimento(quale_file f, std::string_view prima, std::string_view seconda) {
    const auto file = f == quale_file::linea ? riferimento::file_testo::linea : riferimento::file_testo::treno;
    for (const auto& p : riferimento::parole())
        if (p.file == file && p.prima == prima && p.seconda == seconda) return &p;
    return nullptr;
}

// The entries a keyword field names, in the order the reader tries them.
std::vector<const riferimento::parola*> voci_della_parola(const modello::punto_arresto::valore_non_letto& v,
                                                         quale_file f) {
    std::vector<const riferimento::parola*> r;
    const auto aggiungi = [&](const auto& chiave) {
        if (const auto* p = voce_di_riferimento(f, chiave.prima, chiave.seconda)) r.push_back(p);
    };
    if (f == quale_file::linea) {
        const auto blocco = v.blocco_generale ? lettura::blocco_linea::generale : lettura::blocco_linea::corpo;
        for (const auto& c : lettura::parole_linea())
            if (c.blocco == blocco && lettura::riconosce(c, v.parola)) aggiungi(c);
    } else {
        for (const auto& c : lettura::parole_treno())
            if (lettura::riconosce(c, v.parola)) aggiungi(c);
    }
    return r;
}

}  // namespace

bool di_una_voce(quale_file f, std::string_view campo) {
    const auto riconosce = [&](const auto& parole) {
        return std::any_of(parole.begin(), parole.end(), [&](const auto& p) { return lettura::riconosce(p, campo); });
    };
    return f == quale_file::linea ? riconosce(lettura::parole_linea()) : riconosce(lettura::parole_treno());
}

bool si_legge_oltre(std::int32_t c) {
    return c != codice::lunghezza_eccessiva && c != codice::tabella_piena && c != codice::progressiva_non_multipla;
}

std::string motivo_arresto(const modello::punto_arresto& a, quale_file f) {
    if (!a.valore) return a.motivo;
    const auto& v = *a.valore;
    std::size_t k = static_cast<std::size_t>(std::max(v.indice, 0));
    for (const auto* p : voci_della_parola(v, f)) {
        if (k >= p->campi.size()) {
            k -= p->campi.size();
            continue;
        }
        // Appended piece by piece: an operator+ chain trips a false GCC 12 warning.
        std::string s = "'";
        s.append(p->campi[k].nome).append("' of the '").append(p->argomento).append("' row");
        if (v.testo)
            s.append(", '").append(*v.testo).append("' on line ").append(std::to_string(v.riga)).append(", is ");
        else
            s.append(": ");
        return s.append(v.perche);
    }
    return a.motivo;
}

std::string testo_timbri_su_un_oggetto(const modello::cella& prima, const std::string& chi) {
    return (chi.empty() ? "the " + nome_oggetto_cella(prima) : chi) + " lies in " + nome_cella(1) +
           ", where the compiler stamps its marker and check code; its first two values are zero, so the stamps "
           "take their place without a conflict: the compiled files give it " + std::to_string(prima.valore_1) +
           " and " + std::to_string(prima.valore_2) + " instead (place it further along the line)";
}

// "line 21", or "line 21 of the train file" when it is the other file's.
std::string errori_compilazione::dove(quale_file qui, const registro_controllo& r, std::size_t o) const {
    std::string s = "line " + std::to_string(r.oggetti[o].riga);
    if (const quale_file la = file_di(r.file_di(o)); la != qui)
        s += la == quale_file::linea ? " of the line description" : " of the train file";
    return s;
}

// Object o of r, as a note at its row.
rimando errori_compilazione::nota(const registro_controllo& r, std::size_t o, const std::string& come) const {
    return {file_di(r.file_di(o)), std::max(r.oggetti[o].riga, 1), r.descrizione(o) + come};
}

void errori_compilazione::da_fermata(const fermata_registrata& f, const registro_controllo& r,
                                     const std::optional<modello::punto_arresto>& arresto) {
    const quale_file qui = file_di(f.file);
    problema p = errore(qui, f.riga_voce > 0 ? f.riga_voce : std::max(f.riga_ultima, 1), f.codice);
    if (modello::codice_con_posizione(f.codice)) p.metro = f.posizione;
    p.messaggio = messaggio_fermata(f);
    if (f.codice == codice::errore_in_lettura && arresto && arresto->file == f.file)
        p.messaggio = "the reading failed: " + motivo_arresto(*arresto, qui) + righe_perse(qui, f, *arresto) +
                      "; nothing after this is read";
    if (f.codice == codice::progressiva_non_multipla) return progressiva(std::move(p), r);
    if (f.oggetto_correlato) {
        const std::size_t o = *f.oggetto_correlato;
        if (f.codice == codice::stazioni_troppo_vicine) {
            p.messaggio += " (" + r.descrizione(o) + ", " + dove(qui, r, o) + ")";
            p.correlati.push_back(nota(r, o, ", the previous one"));
        } else {
            p.messaggio += " by " + r.descrizione(o) + ", " + dove(qui, r, o);
            p.correlati.push_back(nota(r, o, " placed here"));
        }
    }
    aggiungi(std::move(p));
}

// A row cut short reads on into the lines after it: the rows there, up to
// the value that failed, are read as its values and lost.
std::string errori_compilazione::righe_perse(quale_file qui, const fermata_registrata& f,
                                             const modello::punto_arresto& a) const {
    if (!a.valore || f.riga_voce < 1) return {};
    std::string s;
    for (int n = f.riga_voce + 1; n <= a.valore->riga; ++n) {
        const std::string_view t = qui == quale_file::linea ? linea_.riga(n) : treno_.riga(n);
        if (t.empty() || !di_una_voce(qui, testo::flusso_campi(std::string(t)).leggi_testo())) continue;
        s += s.empty() ? "; the row is cut short: " : "; ";
        s += "the row at line " + std::to_string(n) + ", '" + testo::da_cp1252(t) +
             "', is read as its values and is lost";
    }
    return s;
}

// Code 2 comes at the end of the train file; its rows are the line
// description's progressives whose figures are not multiples of 50.
void errori_compilazione::progressiva(problema p, const registro_controllo& r) {
    p.file = quale_file::linea;
    p.riga = 1;
    bool trovata = false;
    for (const auto& g : r.progressive) {
        if (g.inizio % 50 == 0 && g.valore % 50 == 0) continue;
        problema q = p;
        q.riga = std::max(g.riga, 1);
        q.messaggio = "kilometric progressive with start " + std::to_string(g.inizio) + " and value " +
                      std::to_string(g.valore) + ": both must be multiples of 50";
        aggiungi(std::move(q));
        trovata = true;
    }
    if (!trovata) aggiungi(std::move(p));
}

void errori_compilazione::da_completamento(const problema_completamento& c, const registro_controllo& r) {
    const auto chi = r.chi_occupa(c.cella_oggetto);
    const quale_file qui = chi ? file_di(r.file_di(*chi)) : quale_file::treno;
    problema p = errore(qui, chi ? std::max(r.oggetti[*chi].riga, 1) : 1, c.codice);
    p.metro = c.cella * 50;
    std::string per = chi ? r.descrizione(*chi) : "the object in " + nome_cella(c.cella_oggetto);
    // Said of the slowdown, not of its start cell.
    if (constexpr std::string_view inizio = "the start of "; per.starts_with(inizio)) per.erase(0, inizio.size());
    switch (c.codice) {
        case codice::segnale_senza_punto_codice:
            p.messaggio = per + " lies before a slowdown warning point, and neither of the two cells before it "
                                "is free for the code point the compiler adds there";
            break;
        case codice::gruppo_senza_cella_libera:
            p.messaggio = per + ": no free cell for the code point the compiler adds " +
                          std::to_string((c.cella_oggetto - c.celle_occupate.front()) * 50) + " to " +
                          std::to_string((c.cella_oggetto - c.celle_occupate.back()) * 50) + " m before its start";
            break;
        default:
            p.messaggio = per + ": no free cell for the code point the compiler adds around " + nome_cella(c.cella);
            break;
    }
    std::set<std::size_t> visti;
    for (const auto cella : c.celle_occupate) {
        const auto o = r.chi_occupa(cella);
        if (o && visti.insert(*o).second) p.correlati.push_back(nota(r, *o, " takes one of those cells"));
    }
    aggiungi(std::move(p));
}

// The stamps took the zero values of the object in cell 1: an error at
// the row that placed it, as the author must move it.
void errori_compilazione::timbri_su_un_oggetto(const modello::Modello& m, const registro_controllo& r) {
    problema p;
    p.file = quale_file::linea;
    p.livello = gravita::errore;
    p.regola = std::string(errore_timbri);
    p.messaggio = testo_timbri_su_un_oggetto(m.percorso[1]);
    if (const auto chi = r.chi_occupa(1)) {
        p.file = file_di(r.file_di(*chi));
        p.riga = std::max(r.oggetti[*chi].riga, 1);
        p.messaggio = testo_timbri_su_un_oggetto(m.percorso[1], r.descrizione(*chi));
    }
    aggiungi(std::move(p));
}

// The first cell's object takes a stamp's field. Once its row is out, the
// next compile reaches the completion with it gone.
std::optional<std::size_t> errori_compilazione::timbro_occupato(std::int32_t c, const registro_controllo& r) {
    const auto chi = r.chi_occupa(1);
    problema p = errore(quale_file::linea, 1, c);
    const std::string campo = c == codice::timbro_occupato ? "marker" : "check code";
    p.messaggio = "the field of the compiler's " + campo + " is already taken: no compiled file is written";
    if (chi) {
        p.file = file_di(r.file_di(*chi));
        p.riga = std::max(r.oggetti[*chi].riga, 1);
        p.messaggio = r.descrizione(*chi) + " lies in " + nome_cella(1) + ", where the compiler stamps its " + campo +
                      ": no compiled file is written";
    }
    aggiungi(std::move(p));
    return chi;
}

void errori_compilazione::compilazione_fallita(const std::exception& e) {
    problema p = errore(quale_file::linea, 1, codice::errore_in_lettura);
    p.messaggio = std::string("the compile failed: ") + e.what();
    aggiungi(std::move(p));
}

// Each problem once, though later compiles meet it again.
void errori_compilazione::aggiungi(problema p) {
    const auto chiave = std::tuple{p.file, p.riga, p.codice.value_or(0), p.messaggio};
    if (visti_.insert(chiave).second) problemi_.push_back(std::move(p));
}

std::vector<problema> errori_compilazione::elenco() {
    ordina(problemi_);
    return std::move(problemi_);
}

}  // namespace strumento
