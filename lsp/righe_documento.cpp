#include "lsp/righe_documento.h"

#include <algorithm>

#include "text/visibile.h"

namespace lsp::righe_documento {

documento_letto leggi(const std::string& testo, quale_file f) {
    return {testo::dividi_righe(testo), rl::leggi_righe(f, testo)};
}

json punto(int riga, int colonna) { return {{"line", riga}, {"character", colonna}}; }

json intervallo_json(int riga, int colonna, int riga_fine, int colonna_fine) {
    return {{"start", punto(riga, colonna)}, {"end", punto(riga_fine, colonna_fine)}};
}

std::string mostra(std::string_view byte) { return testo::visibile_1252(byte); }

std::string in_markdown(std::string_view utf8) {
    std::string r;
    for (char c : testo::visibile(utf8)) {
        if (std::string_view("\\`*_{}[]()<>#+-.!|~&").find(c) != std::string_view::npos) r += '\\';
        r += c;
    }
    return r;
}

std::string_view riga_di(const std::string& testo, const documento_letto& l, int n) {
    if (n < 1 || n > static_cast<int>(l.linee.size())) return {};
    const auto& r = l.linee[static_cast<std::size_t>(n - 1)];
    return std::string_view(testo).substr(r.inizio, r.fine - r.inizio);
}

rl::zona zona_di(const documento_letto& l, quale_file f, int n) {
    if (l.voci.riga_generale == 0 || n <= l.voci.riga_generale) return rl::zona::preambolo;
    if (f == quale_file::treno) return rl::zona::treno;
    // Any header closes the general block.
    for (const auto& h : l.voci.intestazioni)
        if (h.riga > l.voci.riga_generale && h.riga < n) return rl::zona::corpo;
    return rl::zona::generale;
}

std::pair<int, int> campo_chiave(std::string_view riga) {
    std::size_t da = 0;
    while (da < riga.size() && rl::spazio(riga[da])) ++da;
    std::size_t a = std::min(riga.find(',', da), riga.size());
    while (a > da && rl::spazio(riga[a - 1])) --a;
    return {static_cast<int>(da), static_cast<int>(a)};
}

al_punto cosa_sta(const std::string& testo, const documento_letto& l, posizione p) {
    const int n = p.riga + 1;
    const int c = p.colonna + 1;  // the values' columns count from 1
    for (const auto& r : l.voci.righe) {
        for (std::size_t i = 0; i < r.valori.size(); ++i) {
            const auto& v = r.valori[i];
            if (v.riga == n && c >= v.colonna && c <= std::max(v.colonna_fine, v.colonna + 1)) return {&r, i};
        }
        if (r.riga == n) {
            const auto [da, a] = campo_chiave(riga_di(testo, l, n));
            if (p.colonna >= da && p.colonna <= a) return {&r, std::nullopt};
        }
    }
    return {};
}

riferimento::trovati voci_di(std::string_view campo, quale_file f) {
    auto t = riferimento::cerca_campo(campo);
    const auto file = f == quale_file::linea ? riferimento::file_testo::linea : riferimento::file_testo::treno;
    std::erase_if(t.parole, [&](const riferimento::parola* p) { return p->file != file; });
    std::erase_if(t.sezioni, [&](const riferimento::sezione* h) { return h->file != file; });
    return t;
}

}  // namespace lsp::righe_documento
