#include "lsp/server.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "lsp/diagnostica.h"
#include "lsp/documenti_macchinista.h"
#include "lsp/funzioni.h"
#include "lsp/testo_editor.h"

namespace lsp {

namespace {

using nlohmann::json;

// A request that cannot be answered as asked: its code and why.
struct errore_rpc : std::runtime_error {
    errore_rpc(int c, const std::string& t) : std::runtime_error(t), codice(c) {}
    int codice;
};

std::string chiave_id(const json& id) { return id.dump(); }

// A Position's line or character: the protocol's uinteger, an integer from
// 0 to 2^31 - 1; anything else is an invalid parameter.
int coordinata(const json& p, const char* nome) {
    constexpr auto massimo = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
    const json& v = p.at(nome);
    if (v.is_number_unsigned() && v.get<std::uint64_t>() <= massimo) return static_cast<int>(v.get<std::uint64_t>());
    throw errore_rpc(codice_rpc::parametri_non_validi, std::string("the position's \"") + nome +
                                                           "\" must be an integer from 0 to 2147483647, not " +
                                                           v.dump());
}

posizione posizione_di(const json& p) { return {coordinata(p, "line"), coordinata(p, "character")}; }

intervallo intervallo_di(const json& r) { return {posizione_di(r.at("start")), posizione_di(r.at("end"))}; }

// What the server answers, advertised at initialize and nothing more.
// Changes come as ranges (incremental sync), applied to the editor's UTF-8
// text; the whole text is then converted to Windows-1252 again in one pass,
// to find the characters it cannot hold.
json capacita() {
    return {{"positionEncoding", "utf-16"},
            {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
            {"hoverProvider", true},
            {"completionProvider", {{"triggerCharacters", json::array({"["})}, {"resolveProvider", false}}},
            {"definitionProvider", true},
            {"documentSymbolProvider", true},
            {"codeActionProvider", {{"codeActionKinds", json::array({"quickfix"})}}},
            {"documentFormattingProvider", true},
            {"inlayHintProvider", true},
            {"executeCommandProvider", {{"commands", json::array({comando_documenti})}}}};
}

}  // namespace

const server::voce_metodo server::metodi_[] = {
    {"initialize", &server::inizializza, nullptr},
    {"shutdown", &server::arresta, nullptr},
    {"textDocument/hover", &server::su_hover, nullptr},
    {"textDocument/inlayHint", &server::su_suggerimenti, nullptr},
    {"textDocument/completion", &server::su_completamento, nullptr},
    {"textDocument/definition", &server::su_definizione, nullptr},
    {"textDocument/documentSymbol", &server::su_simboli, nullptr},
    {"textDocument/codeAction", &server::su_azioni, nullptr},
    {"textDocument/formatting", &server::su_formattazione, nullptr},
    {"workspace/executeCommand", &server::su_comando, nullptr},
    {"initialized", nullptr, &server::inizializzato},
    {"exit", nullptr, &server::esci},
    {"textDocument/didOpen", nullptr, &server::aperto},
    {"textDocument/didChange", nullptr, &server::cambiato},
    {"textDocument/didSave", nullptr, &server::salvato},
    {"textDocument/didClose", nullptr, &server::chiuso},
    {"workspace/didChangeConfiguration", nullptr, &server::configurazione},
};

server::server(invio invia, opzioni_server o) : invia_(std::move(invia)), opzioni_(std::move(o)) {}

void server::rispondi(const json& id, json risultato) {
    invia_({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}});
}

void server::rispondi_errore(const json& id, int codice, const std::string& testo) {
    invia_({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codice}, {"message", testo}}}});
}

void server::annulla(const json& id) {
    if (id.is_string() || id.is_number_integer() || id.is_number_unsigned()) annullati_.insert(chiave_id(id));
}

void server::ricevi(const messaggio_letto& m, orologio::time_point adesso) {
    adesso_ = adesso;
    switch (m.tipo) {
    case messaggio_letto::esito::fine:
        finito_ = true;
        return;
    case messaggio_letto::esito::errore:
        rispondi_errore(m.id, m.codice, m.testo);
        return;
    case messaggio_letto::esito::messaggio:
        break;
    }
    const json& corpo = m.corpo;
    if (!corpo.contains("method")) return;  // a client's answer to a request of ours
    if (corpo.contains("id")) richiesta(corpo);
    else notifica(corpo);
}

void server::richiesta(const json& m) {
    const json& id = m.at("id");
    const std::string metodo = m.at("method").get<std::string>();
    if (metodo == "exit") {
        // Sent as a request by mistake: it still ends the server.
        esci({});
        return;
    }
    if (annullati_.erase(chiave_id(id)) > 0) {
        rispondi_errore(id, codice_rpc::richiesta_annullata, "cancelled before it was answered");
        return;
    }
    if (!iniziato_ && metodo != "initialize") {
        rispondi_errore(id, codice_rpc::non_inizializzato, "the server is not initialized yet");
        return;
    }
    if (chiuso_) {
        rispondi_errore(id, codice_rpc::richiesta_non_valida, "the server is shut down: only exit is taken");
        return;
    }
    const voce_metodo* voce = nullptr;
    for (const auto& v : metodi_)
        if (v.nome == metodo && v.richiesta) voce = &v;
    if (!voce) {
        rispondi_errore(id, codice_rpc::metodo_ignoto, "no method \"" + metodo + "\"");
        return;
    }
    static const json vuoti = json::object();
    const auto p = m.find("params");
    const json& params = p == m.end() ? vuoti : *p;
    try {
        rispondi(id, (this->*voce->richiesta)(params));
    } catch (const errore_rpc& e) {
        rispondi_errore(id, e.codice, e.what());
    } catch (const json::exception& e) {
        rispondi_errore(id, codice_rpc::parametri_non_validi,
                        std::string("the parameters are not as the method takes them: ") + e.what());
    } catch (const std::exception& e) {
        rispondi_errore(id, codice_rpc::errore_interno, e.what());
    }
}

void server::notifica(const json& m) {
    const std::string metodo = m.at("method").get<std::string>();
    // Before initialize and after shutdown only exit counts; $/ notifications
    // and unknown ones are dropped.
    if ((!iniziato_ || chiuso_) && metodo != "exit") return;
    for (const auto& v : metodi_) {
        if (v.nome != metodo || !v.notifica) continue;
        static const json vuoti = json::object();
        const auto p = m.find("params");
        try {
            (this->*v.notifica)(p == m.end() ? vuoti : *p);
        } catch (const std::exception&) {
            // A notification has no answer: one that cannot be taken is dropped.
        }
        return;
    }
}

json server::inizializza(const json& p) {
    if (iniziato_) throw errore_rpc(codice_rpc::richiesta_non_valida, "initialize was already received");
    if (const auto o = p.find("initializationOptions"); o != p.end()) leggi_impostazioni(*o);
    if (const auto c = p.find("capabilities"); c != p.end() && c->is_object())
        aggiorna_suggerimenti_ = c->value(json::json_pointer("/workspace/inlayHint/refreshSupport"), false);
    iniziato_ = true;
    json info{{"name", "scenario_tool"}};
    if (!opzioni_.versione.empty()) info["version"] = opzioni_.versione;
    return {{"capabilities", capacita()}, {"serverInfo", info}};
}

json server::arresta(const json&) {
    chiuso_ = true;
    return nullptr;
}

void server::inizializzato(const json&) {}

void server::esci(const json&) { finito_ = true; }

void server::leggi_impostazioni(const json& i) {
    if (!i.is_object()) return;
    // {"inlayHints": false}, alone or under the server's name as editors
    // group settings.
    const json* dove = &i;
    if (const auto s = i.find("scenario_tool"); s != i.end() && s->is_object()) dove = &*s;
    if (const auto h = dove->find("inlayHints"); h != dove->end() && h->is_boolean()) suggerimenti_ = h->get<bool>();
}

void server::configurazione(const json& p) {
    const bool prima = suggerimenti_;
    if (const auto s = p.find("settings"); s != p.end()) leggi_impostazioni(*s);
    if (prima != suggerimenti_ && aggiorna_suggerimenti_)
        invia_({{"jsonrpc", "2.0"}, {"id", "scenario_tool-" + std::to_string(prossimo_id_++)},
                {"method", "workspace/inlayHint/refresh"}});
}

// --- documents

void server::programma(const documento& d, orologio::time_point t) {
    // The document waits for its newest change; the others of its folder,
    // whose pair it may be, are due no later than t.
    dovute_[d.uri] = t;
    for (const auto* a : documenti_.aperti()) {
        if (a->uri == d.uri || !d.percorso || !a->percorso || a->cartella != d.cartella) continue;
        const auto i = dovute_.find(a->uri);
        if (i == dovute_.end() || t < i->second) dovute_[a->uri] = t;
    }
}

void server::aperto(const json& p) {
    const json& td = p.at("textDocument");
    const std::string uri = td.at("uri").get<std::string>();
    documenti_.apri(uri, td.at("text").get<std::string>(), td.value("version", std::int64_t{0}));
    documenti_.confronta_disco(uri);
    programma(*documenti_.trova(uri), adesso_);
}

void server::cambiato(const json& p) {
    const json& td = p.at("textDocument");
    const std::string uri = td.at("uri").get<std::string>();
    const json& modifiche = p.at("contentChanges");
    if (!modifiche.is_array() || modifiche.empty()) return;
    // The changes in order, each on the text the one before left: a range
    // replaced, or (without a range) the whole text. Nothing is kept of a
    // list that cannot be taken whole.
    const documento* d = documenti_.trova(uri);
    std::optional<std::string> testo;
    if (d) testo = d->utf8;
    for (const json& m : modifiche) {
        std::string nuovo = m.at("text").get<std::string>();
        const auto r = m.find("range");
        if (r == m.end()) testo = std::move(nuovo);
        else if (testo) testo = sostituisci(*testo, intervallo_di(*r), nuovo);
        else return;  // a range in a document never opened
    }
    documenti_.cambia(uri, *testo, td.value("version", std::int64_t{0}));
    programma(*documenti_.trova(uri), adesso_ + opzioni_.quiete);
}

void server::salvato(const json& p) {
    const std::string uri = p.at("textDocument").at("uri").get<std::string>();
    documenti_.confronta_disco(uri);
    if (const auto* d = documenti_.trova(uri)) programma(*d, adesso_);
}

void server::chiuso(const json& p) {
    const std::string uri = p.at("textDocument").at("uri").get<std::string>();
    const auto* d = documenti_.trova(uri);
    if (!d) return;
    const documento copia = *d;
    documenti_.chiudi(uri);
    dovute_.erase(uri);
    const auto vuoto = [&](const std::string& u) {
        invia_({{"jsonrpc", "2.0"},
                {"method", "textDocument/publishDiagnostics"},
                {"params", {{"uri", u}, {"diagnostics", json::array()}}}});
    };
    vuoto(uri);
    for (auto i = pubblicati_chiusi_.begin(); i != pubblicati_chiusi_.end();) {
        if (i->second == uri && !documenti_.trova(i->first)) {
            vuoto(i->first);
            i = pubblicati_chiusi_.erase(i);
        } else {
            ++i;
        }
    }
    // The file's disk text now counts for the others of its folder.
    programma(copia, adesso_);
    dovute_.erase(uri);
}

std::optional<orologio::time_point> server::scadenza() const {
    std::optional<orologio::time_point> r;
    for (const auto& [uri, t] : dovute_)
        if (!r || t < *r) r = t;
    return r;
}

void server::pubblica(orologio::time_point adesso) {
    std::vector<std::string> dovuti;
    for (const auto& [uri, t] : dovute_)
        if (t <= adesso) dovuti.push_back(uri);
    // A line description and its train file open together are one pair:
    // checked once for both.
    std::map<std::string, std::vector<strumento::problema>> fatti;
    for (const auto& uri : dovuti) {
        dovute_.erase(uri);
        const auto* d = documenti_.trova(uri);
        if (!d) continue;
        const coppia c = documenti_.coppia_di(*d);
        const auto& l = c.scenario.linea;
        const auto& t = c.scenario.treno;
        const std::string chiave = (l.presente ? l.uri : "") + '\n' + (t.presente ? t.uri : "");
        auto [dove, nuova] = fatti.try_emplace(chiave);
        std::vector<strumento::problema>& problemi = dove->second;
        if (nuova) {
            try {
                problemi = problemi_coppia(c);
            } catch (const std::exception& e) {
                // check never throws on any bytes (its fuzz target says so); if
                // it did, the author hears of it rather than the server ending.
                strumento::problema p;
                p.file = c.ruolo;
                p.messaggio = std::string("the check failed: ") + e.what();
                p.regola = "internal";
                problemi.push_back(std::move(p));
            }
        }
        json lista = diagnostiche(problemi, c.scenario, c.ruolo, d->testo.fuori);
        if (d->utf8_su_disco)
            if (auto u = diagnostica_utf8_su_disco(d->testo.byte); !u.is_null()) lista.push_back(std::move(u));
        if (!c.manca.empty()) lista.push_back(diagnostica_senza_coppia(c.manca));
        invia_({{"jsonrpc", "2.0"},
                {"method", "textDocument/publishDiagnostics"},
                {"params", {{"uri", d->uri}, {"version", d->versione}, {"diagnostics", std::move(lista)}}}});
        // The other file of the pair, when it is only on disk: its problems
        // (the line's objects it meets) are shown too.
        const quale_file altro = c.ruolo == quale_file::linea ? quale_file::treno : quale_file::linea;
        const auto& f = c.scenario.di(altro);
        if (f.presente && !documenti_.trova(f.uri)) {
            invia_({{"jsonrpc", "2.0"},
                    {"method", "textDocument/publishDiagnostics"},
                    {"params", {{"uri", f.uri}, {"diagnostics", diagnostiche(problemi, c.scenario, altro, {})}}}});
            pubblicati_chiusi_[f.uri] = d->uri;
        }
    }
}

// --- the answers of lsp/funzioni.h

const documento& server::documento_di(const json& p) const {
    const std::string uri = p.at("textDocument").at("uri").get<std::string>();
    const auto* d = documenti_.trova(uri);
    if (!d) throw errore_rpc(codice_rpc::parametri_non_validi, "the document is not open");
    return *d;
}

std::optional<posizione> server::posizione_in(const json& p) const {
    const posizione q = posizione_di(p.at("position"));
    return nel_testo(documento_di(p).testo.byte, q);
}

json server::su_hover(const json& p) {
    const auto q = posizione_in(p);
    if (!q) return nullptr;
    const coppia c = documenti_.coppia_di(documento_di(p));
    return hover(c.scenario, c.ruolo, *q);
}

json server::su_suggerimenti(const json& p) {
    const coppia c = documenti_.coppia_di(documento_di(p));
    if (!suggerimenti_) return json::array();
    const intervallo r = intervallo_di(p.at("range"));
    return suggerimenti(c.scenario, c.ruolo, r.inizio.riga, r.fine.riga);
}

json server::su_completamento(const json& p) {
    const auto q = posizione_in(p);
    if (!q) return json::array();
    const coppia c = documenti_.coppia_di(documento_di(p));
    return completamento(c.scenario, c.ruolo, *q);
}

json server::su_definizione(const json& p) {
    const auto q = posizione_in(p);
    if (!q) return nullptr;
    const coppia c = documenti_.coppia_di(documento_di(p));
    return definizione(c.scenario, c.ruolo, *q);
}

json server::su_simboli(const json& p) {
    const coppia c = documenti_.coppia_di(documento_di(p));
    return simboli(c.scenario, c.ruolo);
}

json server::su_azioni(const json& p) {
    const coppia c = documenti_.coppia_di(documento_di(p));
    return azioni(c.scenario, c.ruolo, intervallo_di(p.at("range")));
}

json server::su_formattazione(const json& p) {
    const coppia c = documenti_.coppia_di(documento_di(p));
    return formattazione(c.scenario, c.ruolo);
}

// The one command: the driver's documents of the pair of the document given
// as its argument, by URI. The author hears the outcome as a message too.
json server::su_comando(const json& p) {
    const std::string comando = p.at("command").get<std::string>();
    if (comando != comando_documenti)
        throw errore_rpc(codice_rpc::parametri_non_validi, "no command \"" + comando + "\"");
    const auto& argomenti = p.at("arguments");
    if (!argomenti.is_array() || argomenti.empty() || !argomenti[0].is_string())
        throw errore_rpc(codice_rpc::parametri_non_validi, "give the URI of an open file of the pair as the argument");
    const auto* d = documenti_.trova(argomenti[0].get<std::string>());
    if (!d) throw errore_rpc(codice_rpc::parametri_non_validi, "no open document " + argomenti[0].get<std::string>());
    const auto e = scrivi_documenti_macchinista(documenti_.coppia_di(*d).scenario);
    invia_({{"jsonrpc", "2.0"},
            {"method", "window/showMessage"},
            {"params", {{"type", e.scritti ? 3 : 1}, {"message", e.messaggio}}}});
    if (!e.scritti) throw errore_rpc(codice_rpc::richiesta_fallita, e.messaggio);
    return {{"written", e.file}, {"warnings", e.avvisi}, {"message", e.messaggio}};
}

// --- the loop

namespace {

// What the reading thread and the serving loop share, kept alive by both:
// when the client is gone the reader may still be blocked in a read of an
// input nobody closes, and outlives servi().
struct ingresso {
    std::mutex mutex;
    std::condition_variable arrivato;
    std::deque<messaggio_letto> coda;
    bool letto_tutto = false;  // the reader has returned
    bool abbandonato = false;  // servi() has returned: nothing more is queued
};

// Reads until the end of the input, exit, or servi() leaving.
void leggi_ingresso(std::istream& in, const std::shared_ptr<ingresso>& i) {
    lettore_messaggi l(in);
    for (;;) {
        messaggio_letto m = l.leggi();
        const bool ultimo = m.tipo == messaggio_letto::esito::fine ||
                            (m.tipo == messaggio_letto::esito::messaggio && m.corpo.value("method", json()) == "exit");
        {
            std::lock_guard k(i->mutex);
            if (i->abbandonato) return;
            i->coda.push_back(std::move(m));
            i->letto_tutto = ultimo;
        }
        i->arrivato.notify_one();
        if (ultimo) return;
    }
}

// A cancel that arrived with the request, or while the batch before it was
// answered, reaches it before its turn.
void annulla_in(server& s, const std::deque<messaggio_letto>& messaggi) {
    for (const auto& m : messaggi)
        if (m.tipo == messaggio_letto::esito::messaggio && m.corpo.value("method", json()) == "$/cancelRequest")
            if (const auto p = m.corpo.find("params"); p != m.corpo.end() && p->is_object() && p->contains("id"))
                s.annulla(p->at("id"));
}

}  // namespace

int servi(std::istream& in, std::ostream& out, const opzioni_server& o) {
    // A read of std::cin flushes std::cout first, from the reading thread
    // while this one writes: the output is this thread's alone.
    in.tie(nullptr);
    const auto condiviso = std::make_shared<ingresso>();
    ingresso& i = *condiviso;
    std::thread lettore(leggi_ingresso, std::ref(in), condiviso);

    server s([&](const json& m) { scrivi_messaggio(out, m); }, o);
    // A failed write is a client gone: nobody reads the answers any more.
    while (!s.finito() && out) {
        std::deque<messaggio_letto> lotto;
        {
            std::unique_lock k(i.mutex);
            const auto pronto = [&] { return !i.coda.empty(); };
            if (const auto t = s.scadenza()) i.arrivato.wait_until(k, *t, pronto);
            else i.arrivato.wait(k, pronto);
            lotto.swap(i.coda);
        }
        annulla_in(s, lotto);
        for (const auto& m : lotto) {
            if (m.tipo == messaggio_letto::esito::messaggio && m.corpo.contains("id") && m.corpo.contains("method")) {
                std::lock_guard k(i.mutex);
                annulla_in(s, i.coda);
            }
            s.ricevi(m, orologio::now());
            if (s.finito() || !out) break;
        }
        s.dimentica_annullati();
        if (!out) break;
        bool altro_in_coda = false;
        {
            std::lock_guard k(i.mutex);
            altro_in_coda = !i.coda.empty();
        }
        // Newer text may be waiting: the check runs on it, not on this.
        if (!altro_in_coda && !s.finito()) s.pubblica(orologio::now());
    }
    bool letto_tutto = false;
    {
        std::lock_guard k(i.mutex);
        i.abbandonato = true;
        letto_tutto = i.letto_tutto;
    }
    // After exit or the end of the input the reader has returned or is about
    // to. Otherwise it may wait for input that never comes: it is left to
    // the process's end, holding what it shares.
    if (letto_tutto) lettore.join();
    else lettore.detach();
    return out ? s.stato_uscita() : 1;
}

}  // namespace lsp
