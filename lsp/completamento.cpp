// textDocument/completion: the keywords the reader looks for where the
// cursor stands, each a snippet with its values as named placeholders, and
// the file's headers.
#include <algorithm>
#include <string>
#include <vector>

#include "line_reader/lettore_linea.h"
#include "lsp/righe_documento.h"
#include "lsp/funzioni.h"
#include "train_reader/lettore_treno.h"

namespace lsp {

namespace {

using namespace righe_documento;
namespace rf = riferimento;

const rf::parola* voce(rf::file_testo f, std::string_view prima, std::string_view seconda) {
    for (const auto& p : rf::parole())
        if (p.file == f && p.prima == prima && p.seconda == seconda) return &p;
    return nullptr;
}

// The entries read in a block, in the reader's order, each once.
std::vector<const rf::parola*> voci_del_blocco(quale_file f, rl::zona z) {
    std::vector<const rf::parola*> v;
    auto aggiungi = [&](const rf::parola* p) {
        if (p && std::find(v.begin(), v.end(), p) == v.end()) v.push_back(p);
    };
    if (f == quale_file::treno) {
        for (const auto& p : lettura::parole_treno()) aggiungi(voce(rf::file_testo::treno, p.prima, p.seconda));
    } else {
        const auto blocco = z == rl::zona::generale ? lettura::blocco_linea::generale : lettura::blocco_linea::corpo;
        for (const auto& p : lettura::parole_linea())
            if (p.blocco == blocco) aggiungi(voce(rf::file_testo::linea, p.prima, p.seconda));
    }
    return v;
}

// A snippet's literal text: $, } and \ escaped.
std::string letterale(std::string_view s) {
    std::string r;
    for (char c : s) {
        if (c == '$' || c == '}' || c == '\\') r += '\\';
        r += c;
    }
    return r;
}

}  // namespace

nlohmann::json completamento(const scenario_aperto& s, quale_file f, posizione p) {
    const auto& byte = s.di(f).testo;
    const documento_letto l = leggi(byte, f);
    const std::string_view riga = riga_di(byte, l, p.riga + 1);
    // Only the keyword field: after a comma the cursor is among the values.
    const auto fino = riga.substr(0, std::min(riga.size(), static_cast<std::size_t>(std::max(p.colonna, 0))));
    if (fino.find(',') != std::string_view::npos) return json::array();
    const rl::zona z = zona_di(l, f, p.riga + 1);
    // Each item replaces what is typed of the keyword field so far, a "[" too.
    std::size_t da = 0;
    while (da < fino.size() && rl::spazio(fino[da])) ++da;
    const json sostituito = intervallo_json(p.riga, static_cast<int>(da), p.riga, static_cast<int>(fino.size()));
    const auto file = f == quale_file::linea ? rf::file_testo::linea : rf::file_testo::treno;
    json r = json::array();
    if (z != rl::zona::preambolo) {
        for (const auto* v : voci_del_blocco(f, z)) {
            const std::string parola(v->esempio.substr(0, v->esempio.find(',')));
            std::string snippet = letterale(parola);
            for (std::size_t i = 0; i < v->campi.size(); ++i)
                snippet += ", ${" + std::to_string(i + 1) + ":" + letterale(v->campi[i].nome) + "}";
            r.push_back({{"label", parola},
                         {"kind", 14},  // Keyword
                         {"detail", std::string(v->cosa)},
                         {"documentation", {{"kind", "markdown"}, {"value", rf::markdown(voci_di(v->argomento, f))}}},
                         {"insertText", snippet},
                         {"textEdit", {{"range", sostituito}, {"newText", snippet}}},
                         {"insertTextFormat", 2}});  // Snippet
        }
    }
    for (const auto& h : rf::sezioni()) {
        if (h.file != file) continue;
        // Before [generale] only [generale] itself means anything.
        if (z == rl::zona::preambolo && h.intestazione != "[generale]") continue;
        r.push_back({{"label", std::string(h.intestazione)},
                     {"kind", 22},  // Struct: a section
                     {"detail", std::string(h.significato)},
                     {"insertText", std::string(h.intestazione)},
                     {"textEdit", {{"range", sostituito}, {"newText", std::string(h.intestazione)}}},
                     {"insertTextFormat", 1}});
    }
    return r;
}

}  // namespace lsp
