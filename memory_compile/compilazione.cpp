#include "memory_compile/compilazione.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "compiler/driver.h"
#include "compiler/ingressi.h"
#include "memory_compile/errori.h"
#include "memory_compile/righe_file.h"
#include "model/codici.h"
#include "model/nomi_file.h"

namespace strumento {

quale_file compilato::file_chiamato(const std::string& nome) const {
    return nome == modello::nome_file_linea(modello) ? quale_file::linea : quale_file::treno;
}

namespace {

std::string nome_linea_di(const identificativi& id) {
    modello::Modello m;
    m.nome_linea = id.linea;
    m.numero_treno = id.treno;
    return modello::nome_file_linea(m);
}

class giri {
public:
    giri(const std::string& linea, const std::string& treno, const identificativi& id, opzioni_compilazione o)
        : linea_(linea), treno_(treno), id_(id), opzioni_(o), errori_(nome_linea_di(id), linea_, treno_) {}

    compilazione_in_memoria esegui() {
        compilazione_in_memoria esito;
        modello::Modello m;
        registro_controllo r;
        for (;;) {
            ++esito.giri;
            leggi(m, r);
            if (esito.giri == 1 && opzioni_.primo_giro) esito.primo = come_il_compilatore(m, r);
            // The next compile reads on past the rows just reported. A round
            // goes again only when it took out a row that was still in.
            if (togli_fermate(m, r)) continue;
            if (m.percorso.empty() || completa(m, r, esito.finale.completato)) break;
        }
        m.osservatore = &modello::osservatore_compilazione::nessuno();
        esito.finale.modello = std::move(m);
        esito.finale.registro = std::move(r);
        esito.problemi = errori_.elenco();
        for (const quale_file f : {quale_file::linea, quale_file::treno})
            for (const int n : righe(f).tolte()) esito.tolte.push_back({f, n});
        return esito;
    }

private:
    righe_file& righe(quale_file f) { return f == quale_file::linea ? linea_ : treno_; }

    // One round's reading of the texts as they now stand, into m, watched by r.
    void leggi(modello::Modello& m, registro_controllo& r) {
        compilatore::ingressi_in_memoria in;
        if (dopo_linea_ && dopo_linea_->versione == linea_.versione()) {
            // Assigned over the round before's, whose storage they reuse.
            m = dopo_linea_->m;
            r = dopo_linea_->r;
            m.osservatore = &r;
            in.metti(modello::nome_file_treno(m), treno_.testo());
            compilatore::memorizza_treno(m, in);
            return;
        }
        // The grid's storage passes from one round to the next, empty: a
        // round then lays its cells without asking the system for memory.
        std::vector<modello::cella> celle = std::move(m.percorso);
        celle.clear();
        m = modello::Modello{};
        r = registro_controllo{};
        m.osservatore = &r;
        m.percorso = std::move(celle);
        m.nome_linea = id_.linea;
        m.numero_treno = id_.treno;
        m.genera_geometria = true;
        in.metti(modello::nome_file_linea(m), linea_.testo());
        in.metti(modello::nome_file_treno(m), treno_.testo());
        compilatore::azzera_tabella(m);
        if (!compilatore::memorizza_linea(m, in)) return;
        r.prevedi_celle(m.percorso.size());
        if (opzioni_.giri == giri_controllo::dopo_la_linea) dopo_linea_ = dopo_la_linea{linea_.versione(), m, r};
        compilatore::memorizza_treno(m, in);
    }

    // The codes the readers set, each reported; true when a row at fault
    // was taken out, so that another round reads on past it.
    bool togli_fermate(const modello::Modello& m, const registro_controllo& r) {
        bool tolta = false;
        for (const auto& f : r.fermate) {
            errori_.da_fermata(f, r, m.arresto);
            if (f.riga_voce > 0 && si_legge_oltre(f.codice))
                tolta = righe(errori_.file_di(f.file)).togli(f.riga_voce, std::max(f.riga_voce, f.riga_ultima)) ||
                        tolta;
        }
        return tolta;
    }

    // The completion and the stamps, and what they met; false when a stamp
    // conflict took out the row of the object in cell 1, so that another
    // round compiles without it.
    bool completa(modello::Modello& m, const registro_controllo& r, bool& completato) {
        try {
            compilatore::completa_e_timbra(m);
            completato = true;
        } catch (const modello::errore_fatale& e) {
            if (const auto chi = errori_.timbro_occupato(e.codice(), r)) {
                const int riga = r.oggetti[*chi].riga;
                if (righe(errori_.file_di(r.file_di(*chi))).togli(riga, riga)) return false;
            }
        } catch (const std::exception& e) {
            errori_.compilazione_fallita(e);
        }
        if (compilatore::timbri_su_un_oggetto(m)) errori_.timbri_su_un_oggetto(m, r);
        for (const auto& c : r.problemi_completamento) errori_.da_completamento(c, r);
        return true;
    }

    // The round as the compiler runs it: completed and stamped whatever the
    // readers met; a stamp conflict leaves the grid as the readers laid it.
    static compilato come_il_compilatore(const modello::Modello& m, const registro_controllo& r) {
        compilato c{m, r};
        c.modello.osservatore = &c.registro;
        try {
            if (!c.modello.percorso.empty()) {
                compilatore::completa_e_timbra(c.modello);
                c.completato = true;
            }
        } catch (const std::exception&) {
        }
        c.modello.osservatore = &modello::osservatore_compilazione::nessuno();
        return c;
    }

    righe_file linea_;
    righe_file treno_;
    identificativi id_;
    opzioni_compilazione opzioni_;
    errori_compilazione errori_;
    // The model and the recorder as the line description's reading left
    // them, while that file stays as it was: the rounds that only take rows
    // out of the train file go on from there. The line reader's result
    // depends on nothing but its text and the empty model.
    struct dopo_la_linea {
        int versione;
        modello::Modello m;
        registro_controllo r;
    };
    std::optional<dopo_la_linea> dopo_linea_;
};

}  // namespace

compilazione_in_memoria compila_in_memoria(const std::string& linea, const std::string& treno,
                                           const identificativi& id, opzioni_compilazione opzioni) {
    return giri(linea, treno, id, opzioni).esegui();
}

}  // namespace strumento
