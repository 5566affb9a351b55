#include "lsp/documenti.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include "check/controllo.h"
#include "model/nomi_file.h"
#include "platform/elenco_cartella.h"
#include "platform/leggi_binario.h"
#include "scenario_files/identificativi.h"
#include "lsp/uri.h"

namespace lsp {

namespace {

using strumento::linea_dal_nome;
using strumento::treno_dal_nome;

std::string cartella_di(const std::string& percorso) {
    const auto barra = percorso.find_last_of(stile_nativo == stile_percorso::windows ? "/\\" : "/");
    return barra == std::string::npos ? std::string() : percorso.substr(0, barra);
}

std::string testo_utf8(const std::filesystem::path& p) {
    const std::u8string u = p.u8string();
    return std::string(u.begin(), u.end());
}

// The names of the files in a folder, in order; none when it cannot be read.
std::vector<std::string> nomi_in(const std::string& cartella) {
    std::vector<std::string> r;
    if (cartella.empty()) return r;
    std::error_code err;
    for (const auto& v : piattaforma::elenco_cartella(modello::percorso_utf8(cartella), err))
        if (v.file) r.push_back(testo_utf8(v.nome));
    std::sort(r.begin(), r.end());
    return r;
}

// A file named neither ID_linea.txt nor ID_N-.txt is taken for a line
// description unless more of its rows hold the train file's keywords: the
// check's own test, against one row that is surely a line description's.
bool sembra_treno(const std::string& testo) {
    static const std::string una_riga_di_linea = "lunghezza percorso, 1000\n";
    return strumento::sembrano_scambiati(testo, una_riga_di_linea);
}

}  // namespace

void documenti::apri(const std::string& uri, const std::string& utf8, std::int64_t versione) {
    documento d;
    d.uri = uri;
    d.percorso = percorso_da_uri(uri);
    if (d.percorso) d.cartella = cartella_di(*d.percorso);
    d.utf8 = utf8;
    d.testo = da_editore(utf8);
    d.versione = versione;
    d.uso = ++contatore_;
    aperti_[uri] = std::move(d);
}

void documenti::cambia(const std::string& uri, const std::string& utf8, std::int64_t versione) {
    const auto i = aperti_.find(uri);
    if (i == aperti_.end()) {
        apri(uri, utf8, versione);
        return;
    }
    i->second.utf8 = utf8;
    i->second.testo = da_editore(utf8);
    i->second.versione = versione;
    i->second.uso = ++contatore_;
}

void documenti::chiudi(const std::string& uri) { aperti_.erase(uri); }

void documenti::confronta_disco(const std::string& uri) {
    const auto i = aperti_.find(uri);
    if (i == aperti_.end()) return;
    documento& d = i->second;
    d.utf8_su_disco = false;
    if (!d.percorso) return;
    std::string disco;
    try {
        disco = piattaforma::leggi_binario(modello::percorso_utf8(*d.percorso));
    } catch (const std::exception&) {
        return;  // not saved yet
    }
    if (std::none_of(disco.begin(), disco.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return;
    const testo_convertito come_utf8 = da_editore(disco);
    // Bytes that are no UTF-8 come out as U+FFFD: such a file is not UTF-8.
    const bool valido = std::none_of(come_utf8.fuori.begin(), come_utf8.fuori.end(),
                                     [](const carattere_fuori& c) { return c.codice == 0xFFFD; });
    d.utf8_su_disco = valido && come_utf8.byte == d.testo.byte;
}

const documento* documenti::trova(const std::string& uri) const {
    const auto i = aperti_.find(uri);
    return i == aperti_.end() ? nullptr : &i->second;
}

std::vector<const documento*> documenti::aperti() const {
    std::vector<const documento*> r;
    for (const auto& [uri, d] : aperti_) r.push_back(&d);
    return r;
}

const documento* documenti::aperto_in(const std::string& cartella, const std::string& nome) const {
    for (const auto& [uri, d] : aperti_)
        if (d.percorso && d.cartella == cartella && nome_da_uri(uri) == nome) return &d;
    return nullptr;
}

file_aperto documenti::file_accanto(const documento& d, const std::string& nome) const {
    file_aperto f;
    f.nome = nome;
    if (const auto* a = aperto_in(d.cartella, nome)) {
        f.presente = true;
        f.uri = a->uri;
        f.testo = a->testo.byte;
        return f;
    }
    f.uri = uri_accanto(d.uri, nome);
    try {
        f.testo = piattaforma::leggi_binario(modello::percorso_utf8(d.cartella + "/" + nome));
        f.presente = true;
    } catch (const std::exception&) {
        // Gone between the listing and the reading, or unreadable: the
        // document is checked alone.
    }
    return f;
}

coppia documenti::coppia_di(const documento& d) const {
    coppia c;
    const std::string nome = nome_da_uri(d.uri);
    file_aperto io;
    io.presente = true;
    io.uri = d.uri;
    io.nome = nome;
    io.testo = d.testo.byte;

    // Every name the folder holds, open buffers not yet saved among them.
    std::vector<std::string> nomi;
    if (d.percorso) {
        nomi = nomi_in(d.cartella);
        for (const auto& [uri, a] : aperti_)
            if (a.percorso && a.cartella == d.cartella) nomi.push_back(nome_da_uri(uri));
        std::sort(nomi.begin(), nomi.end());
        nomi.erase(std::unique(nomi.begin(), nomi.end()), nomi.end());
    }

    if (const auto id = linea_dal_nome(modello::percorso_utf8(nome))) {
        c.ruolo = quale_file::linea;
        c.scenario.linea = io;
        // Of several train files of the line, the one the author last opened
        // or changed; with none open, the first by name.
        std::string scelto;
        std::uint64_t uso = 0;
        for (const auto& n : nomi) {
            if (!treno_dal_nome(modello::percorso_utf8(n), *id)) continue;
            const auto* a = aperto_in(d.cartella, n);
            const std::uint64_t u = a ? a->uso : 0;
            if (scelto.empty() || u > uso) scelto = n, uso = u;
        }
        if (!scelto.empty()) c.scenario.treno = file_accanto(d, scelto);
        if (!c.scenario.treno.presente)
            c.manca = "no train file " + *id + "_N-.txt beside this line description: its rows are checked alone, "
                      "without the train file's objects and the conflicts between the two files";
        return c;
    }

    // A train file: the line whose identifier its name begins with, the
    // longest when several do.
    std::string scelta;
    for (const auto& n : nomi) {
        const auto id = linea_dal_nome(modello::percorso_utf8(n));
        if (!id || !treno_dal_nome(modello::percorso_utf8(nome), *id)) continue;
        if (scelta.empty() || n.size() > scelta.size()) scelta = n;
    }
    const bool nome_di_treno = treno_dal_nome(modello::percorso_utf8(nome), std::nullopt).has_value();
    if (!nome_di_treno && scelta.empty()) {
        c.ruolo = sembra_treno(d.testo.byte) ? quale_file::treno : quale_file::linea;
        (c.ruolo == quale_file::linea ? c.scenario.linea : c.scenario.treno) = io;
        c.manca = std::string("the name follows neither ID_linea.txt nor ID_N-.txt, so no other file pairs with it: "
                              "it is checked alone, as a ") +
                  (c.ruolo == quale_file::linea ? "line description" : "train file");
        return c;
    }
    c.ruolo = quale_file::treno;
    c.scenario.treno = io;
    if (!scelta.empty()) c.scenario.linea = file_accanto(d, scelta);
    if (!c.scenario.linea.presente) {
        const auto id = treno_dal_nome(modello::percorso_utf8(nome), std::nullopt);
        c.manca = "no line description " + (id ? id->linea : std::string("ID")) +
                  "_linea.txt beside this train file: only its rows' own warnings are checked, not where its "
                  "objects fall on the line";
    }
    return c;
}

}  // namespace lsp
