#include "lsp/comune.h"

#include <algorithm>
#include <exception>
#include <mutex>

#include "check/righe_file.h"
#include "compiler/driver.h"
#include "compiler/ingressi.h"
#include "model/nomi_file.h"
#include "text/visibile.h"

namespace lsp::comune {

file_letto leggi(const std::string& testo, quale_file f) {
    std::vector<strumento::problema> scartati;
    return {testo::dividi_righe(testo), ri::leggi_righe(f, testo, scartati)};
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

std::string_view riga_di(const std::string& testo, const file_letto& l, int n) {
    if (n < 1 || n > static_cast<int>(l.righe.size())) return {};
    const auto& r = l.righe[static_cast<std::size_t>(n - 1)];
    return std::string_view(testo).substr(r.inizio, r.fine - r.inizio);
}

ri::zona zona_di(const file_letto& l, quale_file f, int n) {
    if (l.lette.riga_generale == 0 || n <= l.lette.riga_generale) return ri::zona::preambolo;
    if (f == quale_file::treno) return ri::zona::treno;
    // Any header closes the general block.
    for (const auto& h : l.lette.intestazioni)
        if (h.riga > l.lette.riga_generale && h.riga < n) return ri::zona::corpo;
    return ri::zona::generale;
}

std::pair<int, int> campo_chiave(std::string_view riga) {
    std::size_t da = 0;
    while (da < riga.size() && ri::spazio(riga[da])) ++da;
    std::size_t a = std::min(riga.find(',', da), riga.size());
    while (a > da && ri::spazio(riga[a - 1])) --a;
    return {static_cast<int>(da), static_cast<int>(a)};
}

al_punto cosa_sta(const std::string& testo, const file_letto& l, posizione p) {
    const int n = p.riga + 1;
    const int c = p.colonna + 1;  // the values' columns count from 1
    for (const auto& r : l.lette.righe) {
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

namespace {

constexpr std::string_view linea_in_memoria = "lsp";
constexpr std::string_view treno_in_memoria = "1";

// Watches a compile for the cells each row took.
class osservatore final : public modello::osservatore_compilazione {
public:
    explicit osservatore(std::string nome_linea) : nome_linea_(std::move(nome_linea)) {}
    void inizia_file(const std::string& nome) override {
        file_ = nome == nome_linea_ ? quale_file::linea : quale_file::treno;
    }
    void posato(int riga, std::int64_t cella, modello::oggetto_posato cosa, std::int32_t, std::string_view) override {
        oggetti.push_back({file_, riga, cella, cosa});
    }
    void fermata(const modello::fermata_lettore& f) override {
        if (f.riga_voce > 0) fermate.push_back({file_, f.riga_voce, std::max(f.riga_voce, f.riga_ultima)});
    }
    std::vector<oggetto> oggetti;
    struct righe_ferme {
        quale_file file;
        int da, a;
    };
    std::vector<righe_ferme> fermate;

private:
    std::string nome_linea_;
    quale_file file_ = quale_file::linea;
};

}  // namespace

std::shared_ptr<const compilato> compila(const scenario_aperto& s) {
    static std::mutex guardia;
    static std::string linea_ultima, treno_ultimo;
    static std::shared_ptr<const compilato> ultimo;
    const std::string linea = s.linea.presente ? s.linea.testo : std::string();
    const std::string treno = s.treno.presente ? s.treno.testo : std::string();
    {
        const std::lock_guard<std::mutex> l(guardia);
        if (ultimo && linea == linea_ultima && treno == treno_ultimo) return ultimo;
    }
    auto c = std::make_shared<compilato>();
    // As check does, the rows a reader stopped at become comment rows and the
    // pair is compiled again, so that the rows after them are read too.
    strumento::righe_file testi[] = {strumento::righe_file(linea), strumento::righe_file(treno)};
    for (int giro = 0; giro < 50; ++giro) {
        modello::Modello m;
        // The identifiers only name the files in memory; the cells do not depend on them.
        m.nome_linea = std::string(linea_in_memoria);
        m.numero_treno = std::string(treno_in_memoria);
        osservatore o(modello::nome_file_linea(m));
        m.osservatore = &o;
        compilatore::ingressi_in_memoria in;
        in.metti(modello::nome_file_linea(m), testi[0].testo());
        in.metti(modello::nome_file_treno(m), testi[1].testo());
        bool tolta = false;
        try {
            compilatore::azzera_tabella(m);
            compilatore::memorizza_dati(m, in);
            for (const auto& f : o.fermate) tolta = testi[f.file == quale_file::linea ? 0 : 1].togli(f.da, f.a) || tolta;
            if (!tolta && !m.percorso.empty()) compilatore::completa_e_timbra(m);
        } catch (const std::exception&) {
            // What was placed before the failure is still worth telling.
        }
        if (tolta) continue;
        c->oggetti = std::move(o.oggetti);
        c->percorso = std::move(m.percorso);
        break;
    }
    const std::lock_guard<std::mutex> l(guardia);
    linea_ultima = linea;
    treno_ultimo = treno;
    ultimo = c;
    return c;
}

riferimento::trovati voci_di(std::string_view campo, quale_file f) {
    auto t = riferimento::cerca(campo);
    const auto file = f == quale_file::linea ? riferimento::file_testo::linea : riferimento::file_testo::treno;
    std::erase_if(t.parole, [&](const riferimento::parola* p) { return p->file != file; });
    std::erase_if(t.sezioni, [&](const riferimento::sezione* h) { return h->file != file; });
    return t;
}

}  // namespace lsp::comune
