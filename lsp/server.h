// The language server: the protocol's lifecycle, the open documents and
// their diagnostics, and the answers of lsp/funzioni.h, over a stream of
// framed messages. The server itself handles one message at a time and never
// reads a clock of its own; servi() around it reads the input on a thread
// of its own so that changes already waiting are taken together and only the
// newest text is checked.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "lsp/documenti.h"
#include "lsp/messaggi.h"

namespace lsp {

using orologio = std::chrono::steady_clock;

struct opzioni_server {
    std::string versione;  // in serverInfo
    // How long after a change its diagnostics wait for another change.
    std::chrono::milliseconds quiete{4};
};

class server {
public:
    using invio = std::function<void(const nlohmann::json&)>;
    explicit server(invio invia, opzioni_server o = {});

    void ricevi(const messaggio_letto& m, orologio::time_point adesso);

    // A request received but not yet answered is answered as cancelled when
    // its turn comes; forgotten after each batch.
    void annulla(const nlohmann::json& id);
    void dimentica_annullati() { annullati_.clear(); }

    // When the next diagnostics are due; none when nothing waits.
    std::optional<orologio::time_point> scadenza() const;
    // Publishes the diagnostics due by adesso.
    void pubblica(orologio::time_point adesso);

    bool finito() const { return finito_; }
    // 0 after shutdown then exit (or the end of the input after shutdown), 1 otherwise.
    int stato_uscita() const { return chiuso_ ? 0 : 1; }

    bool suggerimenti_attivi() const { return suggerimenti_; }

private:
    using gestore_richiesta = nlohmann::json (server::*)(const nlohmann::json&);
    using gestore_notifica = void (server::*)(const nlohmann::json&);
    struct voce_metodo {
        std::string_view nome;
        gestore_richiesta richiesta = nullptr;  // one of the two
        gestore_notifica notifica = nullptr;
    };
    static const voce_metodo metodi_[];

    void richiesta(const nlohmann::json& m);
    void notifica(const nlohmann::json& m);
    void rispondi(const nlohmann::json& id, nlohmann::json risultato);
    void rispondi_errore(const nlohmann::json& id, int codice, const std::string& testo);

    nlohmann::json inizializza(const nlohmann::json& p);
    nlohmann::json arresta(const nlohmann::json& p);
    nlohmann::json su_hover(const nlohmann::json& p);
    nlohmann::json su_suggerimenti(const nlohmann::json& p);
    nlohmann::json su_completamento(const nlohmann::json& p);
    nlohmann::json su_definizione(const nlohmann::json& p);
    nlohmann::json su_simboli(const nlohmann::json& p);
    nlohmann::json su_azioni(const nlohmann::json& p);
    nlohmann::json su_formattazione(const nlohmann::json& p);
    nlohmann::json su_comando(const nlohmann::json& p);

    void inizializzato(const nlohmann::json& p);
    void esci(const nlohmann::json& p);
    void aperto(const nlohmann::json& p);
    void cambiato(const nlohmann::json& p);
    void salvato(const nlohmann::json& p);
    void chiuso(const nlohmann::json& p);
    void configurazione(const nlohmann::json& p);

    // The open document a request names, and its pair.
    const documento& documento_di(const nlohmann::json& p) const;
    // The request's position in its document (the column taken back to its
    // line's end); none past the last line. Throws for a position that is
    // not two integers from 0 to 2^31 - 1.
    std::optional<posizione> posizione_in(const nlohmann::json& p) const;
    // Diagnostics for the document and every open one of its folder, due at t.
    void programma(const documento& d, orologio::time_point t);
    void leggi_impostazioni(const nlohmann::json& impostazioni);

    invio invia_;
    opzioni_server opzioni_;
    documenti documenti_;
    bool iniziato_ = false;
    bool chiuso_ = false;
    bool finito_ = false;
    bool suggerimenti_ = true;
    bool aggiorna_suggerimenti_ = false;  // the client takes workspace/inlayHint/refresh
    std::int64_t prossimo_id_ = 1;
    orologio::time_point adesso_{};
    std::map<std::string, orologio::time_point> dovute_;
    // Files of a pair published though not open, by the open URI they came from.
    std::map<std::string, std::string> pubblicati_chiusi_;
    std::set<std::string> annullati_;  // ids as JSON text
};

// Serves the input until exit or its end, or until a write fails (the client
// is gone: status 1); the exit status. In that last case the reading thread
// may be left blocked in a read of in, so in must live to the process's end
// (std::cin does).
int servi(std::istream& in, std::ostream& out, const opzioni_server& o = {});

}  // namespace lsp
