#include "tools/compila.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <sstream>
#include <utility>

#include "check/file_interi.h"
#include "compiler/driver.h"
#include "dump/scarico.h"
#include "memory_compile/errori.h"
#include "model/codici.h"
#include "model/modello.h"
#include "model/nomi_file.h"
#include "platform/blocco_cartella.h"
#include "platform/cartella_privata.h"
#include "platform/file_atomico.h"
#include "platform/leggi_binario.h"
#include "reference/celle.h"
#include "text/righe.h"
#include "text/visibile.h"

namespace strumento {

namespace fs = std::filesystem;

namespace {

std::string significato(std::int32_t codice) {
    const auto s = modello::significato_codice(codice);
    return s.empty() ? std::string("unknown code") : std::string(s);
}

}  // namespace

std::optional<std::string> riga_del_testo(std::string_view t, int k) {
    if (k < 1) return std::nullopt;
    const auto righe = testo::dividi_righe(t);
    const auto n = static_cast<std::size_t>(k);
    if (n <= righe.size()) {
        const auto& r = righe[n - 1];
        return testo::visibile_1252(std::string_view(t).substr(r.inizio, r.fine - r.inizio));
    }
    // After a last line end the stream stands on one more line, still empty.
    if (n == righe.size() + 1 && (righe.empty() || righe.back().dopo > righe.back().fine)) return std::string();
    return std::nullopt;
}

risultato_compilazione compila(const richiesta_compilazione& q) {
    risultato_compilazione r;
    modello::Modello m;
    m.nome_linea = q.id.linea;
    m.numero_treno = q.id.treno;
    std::optional<std::string> byte_linea, byte_treno;
    try {
        // The work is done in a hidden folder inside the output folder, so the
        // compiled files reach their places by renames, never by a copy.
        piattaforma::cartella_privata privata(q.cartella_uscita);
        m.cartella = privata.percorso();
        // The author's files are read once: the compile works on private
        // copies written from these bytes (its driver deletes what it
        // reads), and the report quotes them.
        byte_linea = piattaforma::leggi_binario(q.file_linea);
        byte_treno = piattaforma::leggi_binario(q.file_treno);
        piattaforma::scrivi_file_atomico(modello::file_in_cartella(m, modello::nome_file_linea(m)), *byte_linea);
        piattaforma::scrivi_file_atomico(modello::file_in_cartella(m, modello::nome_file_treno(m)), *byte_treno);
        try {
            compilatore::memorizza_percorso(m, q.geometria ? 1 : 0);
        } catch (const modello::errore_fatale& e) {
            r.outcome = esito::fatale;
            r.codice_fatale = e.codice();
        }
        if (r.outcome == esito::ok && compilatore::timbri_su_un_oggetto(m))
            r.note.push_back(testo_timbri_su_un_oggetto(m.percorso[1]));
        if (r.outcome == esito::ok) {
            std::vector<std::string> nomi;
            if (q.geometria) nomi.push_back(modello::nome_file_geometria(m));
            nomi.push_back(modello::nome_file_tabella(m));
            nomi.push_back(modello::nome_file_percorso(m));
            std::vector<piattaforma::file_pronto> file;
            for (const auto& n : nomi) {
                const auto nome = modello::percorso_utf8(n);
                file.push_back({privata.percorso() / nome, q.cartella_uscita / nome});
            }
            // Moved in while holding the output folder, so that a builder run
            // or another compile there never mixes its files with these. The
            // compile itself needs no hold, being in a folder of its own:
            // compiles of several trains into one folder run side by side.
            const piattaforma::blocco_cartella blocco(q.cartella_uscita);
            piattaforma::sposta_file_atomici(file);
            r.file_scritti = std::move(nomi);
        }
    } catch (const std::exception& e) {
        r.outcome = esito::non_gestito;
        r.guasto = e.what();
        r.file_scritti.clear();
    }
    r.codice_errore = m.codice_errore;
    r.posizione_errore = m.posizione_errore;
    if (m.arresto) {
        const bool in_linea = m.arresto->file == modello::nome_file_linea(m);
        const fs::path autore = in_linea ? q.file_linea : q.file_treno;
        const auto& byte = in_linea ? byte_linea : byte_treno;
        r.fermata = punto_fermata{autore.string(), m.arresto->riga,
                                  byte ? riga_del_testo(*byte, m.arresto->riga) : std::nullopt, {}};
        if (!m.arresto->motivo.empty())
            r.fermata->motivo = motivo_arresto(*m.arresto, in_linea ? quale_file::linea : quale_file::treno);
    }
    if (byte_linea && byte_treno) {
        auto file_interi = note_file_interi(*byte_linea, *byte_treno);
        r.note.insert(r.note.begin(), file_interi.begin(), file_interi.end());
    }
    return r;
}

int stato_uscita(const risultato_compilazione& r) {
    switch (r.outcome) {
        case esito::fatale:
            return uscita::fatale;
        case esito::non_gestito:
            return uscita::guasto;
        case esito::ok:
            break;
    }
    // A file of which nothing was read compiles with status 0, but is no success.
    return r.codice_errore == 0 && r.note.empty() ? uscita::ok : uscita::codice_di_compilazione;
}

std::string descrivi_testo(const risultato_compilazione& r, const richiesta_compilazione& q) {
    using testo::visibile;
    std::ostringstream s;
    s << "line " << visibile(q.id.linea) << ", train " << visibile(q.id.treno) << "\n";
    switch (r.outcome) {
        case esito::fatale:
            s << "fatal error " << *r.codice_fatale << " (\" Errore n. " << *r.codice_fatale
              << "\"): " << significato(*r.codice_fatale) << "; no compiled file written\n";
            break;
        case esito::non_gestito:
            s << "unhandled failure: " << visibile(r.guasto) << "; no compiled file written\n";
            break;
        case esito::ok:
            break;
    }
    for (const auto& n : r.note) s << "note: " << visibile(n) << "\n";
    // Status 0 says "no problem found": true of the reading, but not the
    // outcome when a fatal error followed it, so then only a real status is
    // told; nor of a file of which nothing was read.
    if (r.outcome == esito::ok || r.codice_errore != 0) {
        s << "status " << r.codice_errore << ": " << significato(r.codice_errore);
        if (r.codice_errore == 0 && !r.note.empty()) s << " (the compiler's status; see the notes above)";
        if (modello::codice_con_posizione(r.codice_errore)) s << ", at metre " << r.posizione_errore;
        s << "\n";
    }
    if (r.fermata) {
        s << "reading stopped at " << visibile(r.fermata->file);
        if (r.fermata->riga > 0) s << ", line " << r.fermata->riga;
        if (r.fermata->testo) s << ": " << visibile(*r.fermata->testo);
        s << "\n";
        if (r.fermata->motivo) s << "because: " << visibile(*r.fermata->motivo) << "\n";
    }
    if (r.outcome == esito::ok) {
        s << "wrote into " << visibile(q.cartella_uscita.string()) << ":";
        for (const auto& n : r.file_scritti) s << " " << visibile(n);
        s << "\n";
    }
    // Where the author learns what the code means and how to fix it.
    if (r.codice_fatale) s << "more: scenario_tool explain " << *r.codice_fatale << "\n";
    else if (r.outcome != esito::non_gestito && r.codice_errore != 0)
        s << "more: scenario_tool explain " << r.codice_errore << "\n";
    return s.str();
}

nlohmann::ordered_json descrivi_json(const risultato_compilazione& r) {
    using json = nlohmann::ordered_json;
    using testo::visibile;
    json j;
    j["codice_errore"] = r.codice_errore;
    j["posizione_errore"] = modello::codice_con_posizione(r.codice_errore) ? json(r.posizione_errore) : json(nullptr);
    j["outcome"] = r.outcome == esito::ok ? "ok" : r.outcome == esito::fatale ? "fatal" : "unhandled";
    j["fatal_code"] = r.codice_fatale ? json(*r.codice_fatale) : json(nullptr);
    json file = json::array();
    for (const auto& n : r.file_scritti) file.push_back(visibile(n));
    j["files"] = file;
    if (r.fermata)
        j["stopped_at"] = {{"file", visibile(r.fermata->file)},
                           {"line", r.fermata->riga},
                           {"reason", r.fermata->motivo ? json(visibile(*r.fermata->motivo)) : json(nullptr)}};
    else
        j["stopped_at"] = nullptr;
    json note = json::array();
    for (const auto& n : r.note) note.push_back(visibile(n));
    j["notes"] = note;
    return j;
}

}  // namespace strumento
