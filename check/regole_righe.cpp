#include "check/regole_interne.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "line_reader/lettore_linea.h"
#include "reference/riferimento.h"
#include "text/flusso_campi.h"
#include "text/parole.h"
#include "text/testo_1252.h"
#include "train_reader/lettore_treno.h"

namespace strumento::regole_interne {

namespace {

namespace rf = riferimento;
using testo::flusso_campi;

const rf::parola* voce_di_riferimento(rf::file_testo f, std::string_view prima, std::string_view seconda) {
    for (const auto& p : rf::parole())
        if (p.file == f && p.prima == prima && p.seconda == seconda) return &p;
    return nullptr;
}

// Both readers' entries, each with its values from the reference, in the
// order the readers try them.
const std::vector<voce_nota>& voci_note() {
    static const std::vector<voce_nota> voci = [] {
        std::vector<voce_nota> v;
        const auto linea = lettura::parole_linea();
        for (std::size_t i = 0; i < linea.size(); ++i) {
            const auto* r = voce_di_riferimento(rf::file_testo::linea, linea[i].prima, linea[i].seconda);
            if (r)
                v.push_back({quale_file::linea, i,
                             linea[i].blocco == lettura::blocco_linea::generale ? zona::generale : zona::corpo, r});
        }
        const auto treno = lettura::parole_treno();
        for (std::size_t i = 0; i < treno.size(); ++i) {
            const auto* r = voce_di_riferimento(rf::file_testo::treno, treno[i].prima, treno[i].seconda);
            if (r) v.push_back({quale_file::treno, i, zona::treno, r});
        }
        return v;
    }();
    return voci;
}

std::vector<const voce_nota*> voci_che_riconoscono(std::string_view campo, quale_file f, std::optional<zona> z) {
    std::vector<const voce_nota*> r;
    for (const auto& v : voci_note())
        if (v.file == f && (!z || v.blocco == *z) && v.riconosce(campo)) r.push_back(&v);
    return r;
}

bool a_capo(char c) { return c == '\r' || c == '\n'; }
bool cifra(char c) { return c >= '0' && c <= '9'; }

std::string minuscole(std::string_view s) {
    std::string r(s);
    for (auto& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

// Lower case, blanks trimmed, inner runs of blanks as one space.
std::string normalizzata(std::string_view s) {
    std::string r;
    for (char c : minuscole(s)) {
        if (spazio(c)) {
            if (!r.empty() && r.back() != ' ') r += ' ';
        } else {
            r += c;
        }
    }
    while (!r.empty() && r.back() == ' ') r.pop_back();
    return r;
}

// The keyword field of an example row: up to its first comma.
std::string_view parola_esempio(std::string_view esempio) { return esempio.substr(0, esempio.find(',')); }

// The spellings the format's own files use for an entry. The curve's class and
// side and the repetition's number of codes are written into the keyword
// itself, so those come in several forms.
bool grafia_nota(const voce_nota& v, const std::string& campo) {
    const std::string argomento = normalizzata(v.argomento());
    if (campo == argomento || campo == normalizzata(parola_esempio(v.rif->esempio))) return true;
    if (argomento == "curva")
        return campo.size() == 7 && campo.starts_with("curva") && (campo[5] == 's' || campo[5] == 'd') &&
               campo[6] >= '1' && campo[6] <= '6';
    if (argomento == "ripetizione segnali")
        return campo == "ripetizione segnali 4 codici" || campo == "ripetizione segnali 9 codici";
    return false;
}

std::vector<std::string> parole_di(std::string_view s) {
    std::vector<std::string> r;
    std::string p;
    for (char c : minuscole(s)) {
        if (std::isalpha(static_cast<unsigned char>(c))) {
            p += c;
        } else if (!p.empty()) {
            r.push_back(p);
            p.clear();
        }
    }
    if (!p.empty()) r.push_back(p);
    return r;
}

// Each entry's two spellings, its example's keyword and its name, as
// normalizzata makes them, in the order of voci_note().
const std::vector<std::pair<quale_file, std::string>>& grafie_note() {
    static const std::vector<std::pair<quale_file, std::string>> grafie = [] {
        std::vector<std::pair<quale_file, std::string>> g;
        for (const auto& v : voci_note())
            for (std::string_view grafia : {parola_esempio(v.rif->esempio), v.argomento()})
                g.emplace_back(v.file, normalizzata(grafia));
        return g;
    }();
    return grafie;
}

// The closest spelling of a keyword of the file, when one is close enough to
// be a likely slip: few letters apart, or a shared word of four letters or more.
std::optional<std::string> suggerimento(std::string_view campo, quale_file f) {
    if (campo.size() > 80) return std::nullopt;
    const std::string c = normalizzata(campo);
    std::optional<std::string> migliore;
    std::size_t minima = std::numeric_limits<std::size_t>::max();
    for (const auto& [file, g] : grafie_note()) {
        if (file != f) continue;
        // Two texts are at least as far apart as their lengths: a spelling
        // that could not come close enough is not measured.
        const std::size_t soglia = std::max<std::size_t>(2, g.size() / 2);
        const std::size_t scarto = c.size() > g.size() ? c.size() - g.size() : g.size() - c.size();
        if (scarto > soglia || scarto >= minima) continue;
        const std::size_t d = rf::distanza(c, g, std::min(soglia, minima - 1));
        if (d < minima && d <= soglia) minima = d, migliore = g;
    }
    if (migliore) return migliore;
    const auto parole = parole_di(campo);
    for (const auto& v : voci_note()) {
        if (v.file != f) continue;
        for (const auto& p : parole_di(v.argomento()))
            if (p.size() >= 4 && std::find(parole.begin(), parole.end(), p) != parole.end())
                return normalizzata(v.argomento());
    }
    return std::nullopt;
}

std::string nome_file(quale_file f) { return f == quale_file::linea ? "the line description" : "the train file"; }

bool campo_di_testo(const rf::campo& c) { return c.lettura == "Windows-1252"; }

// Entries whose keyword field itself carries a value, told as the reader
// takes it from the field.
struct dato_nella_parola {
    std::string_view argomento;
    std::string (*descrivi)(std::string_view campo);
};

constexpr dato_nella_parola dati_nella_parola[] = {
    {"curva",
     [](std::string_view campo) -> std::string {
         std::string s = testo::contiene_i(campo, "s") ? "a curve to the left" : "a curve to the right";
         for (char c = '1'; c <= '6'; ++c)
             if (campo.find(c) != std::string_view::npos) return s + " of class " + c;
         return s + " with no class digit 1 to 6 (status 103)";
     }},
    {"ripetizione segnali",
     [](std::string_view campo) -> std::string {
         if (campo.find('4') != std::string_view::npos) return "the cab-signal repetition with 4 codes";
         if (campo.find('9') != std::string_view::npos) return "the cab-signal repetition with 9 codes";
         return "the cab-signal repetition with neither 4 nor 9 codes (status 5)";
     }},
};

// What a row becomes as the reader reads it: the entry, what it is, and its
// values under the reference's names, "'velocita', the speed limit from a
// position on (position=9000, speed limit=90)".
std::string come_letta(const riga_voce& r, std::string_view campo) {
    std::string s = tra_apici(r.argomento()) + ", ";
    const auto dato = std::find_if(std::begin(dati_nella_parola), std::end(dati_nella_parola),
                                   [&](const dato_nella_parola& d) { return d.argomento == r.argomento(); });
    s += dato != std::end(dati_nella_parola) ? dato->descrivi(campo) : std::string(r.voce->rif->cosa);
    const auto campi = r.voce->rif->campi;
    for (std::size_t i = 0; i < r.valori.size() && i < campi.size(); ++i) {
        s += i == 0 ? " (" : ", ";
        s.append(campi[i].nome).append("=");
        s += campo_di_testo(campi[i]) ? tra_apici(r.valori[i].testo) : std::to_string(r.valori[i].numero);
    }
    if (!r.valori.empty()) s += ")";
    return s;
}

// Reads one file line by line and reports the rules that look at single rows:
// keywords, headers, comments, field counts and number formats.
class lettura_righe {
public:
    lettura_righe(quale_file f, const std::string& byte, std::vector<problema>& p)
        : f_(f), byte_(byte), righe_(dividi_righe(byte)), p_(p) {}

    file_letto leggi();

private:
    void avvisa(std::string_view regola, int riga, int colonna, std::optional<std::int64_t> metro, std::string testo) {
        problema x{.file = f_, .riga = riga, .colonna = colonna, .livello = gravita::avviso, .codice = std::nullopt,
                   .regola = std::string(regola), .metro = metro, .messaggio = std::move(testo), .correlati = {}};
        p_.push_back(std::move(x));
    }
    // The last warning's one fix: the keyword field of line i written as testo.
    void correggi_parola(std::size_t i, std::string testo) {
        const std::string_view riga = std::string_view(byte_).substr(righe_[i].inizio, righe_[i].fine - righe_[i].inizio);
        std::size_t da = 0;
        while (da < riga.size() && spazio(riga[da])) ++da;
        std::size_t a = std::min(riga.find(',', da), riga.size());
        while (a > da && spazio(riga[a - 1])) --a;
        p_.back().rimedio = correzione{righe_[i].numero, static_cast<int>(da) + 1, static_cast<int>(a) + 1,
                                       std::move(testo)};
    }
    std::string testo_riga(std::size_t i) const {
        return byte_.substr(righe_[i].inizio, righe_[i].dopo - righe_[i].inizio);
    }
    // The text fields of line i, as the stream would read them one by one.
    std::vector<std::string> campi_di_testo(std::size_t i) const;
    bool numerica(std::size_t i) const;
    std::string prese_dopo(std::size_t a, const std::vector<const voce_nota*>& voci, std::size_t letti) const;
    std::string diventa(std::size_t i, std::size_t k, std::string_view campo,
                        const std::vector<const voce_nota*>& voci) const;
    void commento(std::size_t i, zona z);
    void intestazione(std::size_t i, const std::string& campo, zona z);
    void parola_ignota(std::size_t i, const std::string& campo, zona z);
    void riga(std::size_t da, std::size_t a, const std::string& campo, const std::vector<const voce_nota*>& voci);
    bool rimanda_al_vuoto(const std::vector<riga_voce>& lette, int riga, int colonna, std::optional<int> virgola,
                          std::string coda);
    std::string danno_del_vuoto(std::size_t indice, std::size_t campo) const;

    // A row with an empty value: told once every row of the file is read,
    // since what the driver meets runs up to the next row of its keyword.
    struct vuoto_in_sospeso {
        std::size_t indice;  // in lette_
        std::size_t campo;
        int riga, colonna;
        std::optional<int> virgola;  // the line a final comma ends, when that made the value
        std::string coda;            // what else the row's reading did
    };
    std::vector<vuoto_in_sospeso> sospesi_;

    quale_file f_;
    const std::string& byte_;
    std::vector<riga_testo> righe_;
    std::vector<problema>& p_;
    std::vector<riga_voce> lette_;
    int saltati_ = 0;  // comment fields skipped since the last field tested as a keyword
    int riga_generale_ = 0;
    std::vector<intestazione_letta> intestazioni_;
};

std::vector<std::string> lettura_righe::campi_di_testo(std::size_t i) const {
    std::vector<std::string> r;
    flusso_campi f(testo_riga(i));
    while (!f.fine()) r.push_back(f.leggi_testo());
    return r;
}

// A line that begins with a number: by the author's intent the rest of the
// row above it, never a row of its own.
bool lettura_righe::numerica(std::size_t i) const {
    std::size_t k = righe_[i].inizio;
    const std::size_t fine = righe_[i].fine;
    while (k < fine && spazio(byte_[k])) ++k;
    if (k < fine && (byte_[k] == '+' || byte_[k] == '-')) ++k;
    return k < fine && cifra(byte_[k]);
}

// A line as the report quotes it: its text, cut when long.
std::string citata(std::string_view riga) {
    std::string t = testo::da_cp1252(riga);
    while (!t.empty() && spazio(t.back())) t.pop_back();
    if (t.size() > 40) {
        // Cut on a whole UTF-8 character.
        std::size_t n = 37;
        while (n > 0 && (static_cast<unsigned char>(t[n]) & 0xC0) == 0x80) --n;
        t.resize(n);
        while (!t.empty() && spazio(t.back())) t.pop_back();
        t += "...";
    }
    return tra_apici(t);
}

// Where a row cut short takes its missing values, from line a on, as the
// reader takes them: the rows of those lines are read as values and lost.
std::string lettura_righe::prese_dopo(std::size_t a, const std::vector<const voce_nota*>& voci,
                                      std::size_t letti) const {
    // Each field ends at most one line further on, so the missing values lie
    // within as many lines as there are of them.
    std::size_t mancano = 0;
    for (const auto* v : voci) mancano += v->rif->campi.size();
    mancano -= letti;
    const std::size_t ultima = std::min(a + mancano, righe_.size()) - 1;
    const std::size_t base = righe_[a].inizio;
    flusso_campi f(byte_.substr(base, righe_[ultima].dopo - base));
    std::vector<std::size_t> toccate;  // lines the missing values come from
    bool finito = false;
    std::size_t k = 0;
    for (const auto* v : voci)
        for (const auto& c : v->rif->campi) {
            if (k++ < letti || finito) continue;
            try {
                if (campo_di_testo(c)) f.leggi_testo(); else f.leggi_long();
            } catch (const testo::errore_lettura&) {
                finito = true;
                continue;
            }
            const std::size_t riga = a + static_cast<std::size_t>(f.riga_campo() - 1);
            if (toccate.empty() || toccate.back() != riga) toccate.push_back(riga);
        }
    std::vector<std::size_t> perse;
    for (const std::size_t r : toccate) {
        const auto campi = campi_di_testo(r);
        if (!campi.empty() && !voci_che_riconoscono(campi.front(), f_, std::nullopt).empty()) perse.push_back(r);
    }
    std::string m = toccate.empty() ? "the lines after it"
                                    : "line " + std::to_string(righe_[toccate.front()].numero) +
                                          (toccate.size() > 1 ? " and after" : "");
    for (std::size_t i = 0; i < perse.size(); ++i) {
        const auto& r = righe_[perse[i]];
        m += i == 0 ? ": the row at line " : "; the row at line ";
        m += std::to_string(r.numero) + ", " + citata(std::string_view(byte_).substr(r.inizio, r.fine - r.inizio)) +
             ", is read as its values and is lost";
    }
    if (finito) m += "; the file ends before the row has them all";
    return m;
}

// What field k of line i, read as a keyword field where the author meant
// none, becomes: its entries with the values the reader takes for them from
// the fields after it.
std::string lettura_righe::diventa(std::size_t i, std::size_t k, std::string_view campo,
                                   const std::vector<const voce_nota*>& voci) const {
    flusso_campi riga(testo_riga(i));
    for (std::size_t n = 0; n <= k && !riga.fine(); ++n) riga.leggi_testo();
    const std::size_t da = righe_[i].inizio + riga.posizione();
    // The last field of the file is dropped unread: nothing to tell of it.
    if (da >= byte_.size()) {
        std::string m;
        for (std::size_t n = 0; n < voci.size(); ++n) m += (n == 0 ? "" : " and then ") + tra_apici(voci[n]->argomento());
        return m;
    }
    std::size_t servono = 0;
    for (const auto* v : voci) servono += v->rif->campi.size();
    // As many lines as values at most, as for a row cut short.
    const std::size_t ultima = std::min(i + servono, righe_.size() - 1);
    flusso_campi f(byte_.substr(da, std::max(righe_[ultima].dopo, da) - da));
    std::string m;
    bool finito = false;
    for (std::size_t n = 0; n < voci.size(); ++n) {
        riga_voce r{voci[n], righe_[i].numero, {}};
        for (const auto& c : voci[n]->rif->campi) {
            if (finito) break;
            try {
                valore x;
                if (campo_di_testo(c)) x.testo = f.leggi_testo(); else x.numero = f.leggi_long();
                r.valori.push_back(std::move(x));
            } catch (const testo::errore_lettura&) {
                finito = true;
            }
        }
        m += (n == 0 ? "" : " and then ") + come_letta(r, campo);
    }
    return finito ? m + ", the file ending before all its values" : m;
}

file_letto lettura_righe::leggi() {
    zona z = zona::preambolo;
    std::size_t i = 0;
    while (i < righe_.size()) {
        const auto campi = campi_di_testo(i);
        const std::string campo = campi.empty() ? std::string() : campi.front();
        if (z == zona::preambolo) {
            // Everything up to the field holding [generale] is skipped.
            if (std::any_of(campi.begin(), campi.end(), [](const auto& c) { return testo::contiene_i(c, "[generale]"); })) {
                z = f_ == quale_file::linea ? zona::generale : zona::treno;
                riga_generale_ = righe_[i].numero;
            } else if (!testo::contiene(campo, "-") && !voci_che_riconoscono(campo, f_, std::nullopt).empty()) {
                avvisa(nome_blocco, righe_[i].numero, 1, std::nullopt,
                       tra_apici(campo) + " stands before [generale]: everything before it is skipped");
            }
            ++i;
            continue;
        }
        if (testo::contiene(campo, "-")) {
            commento(i, z);
            ++i;
            continue;
        }
        saltati_ = 0;
        if (normalizzata(campo).empty()) {
            ++i;
            continue;
        }
        if (testo::intestazione(campo)) {
            intestazioni_.push_back({righe_[i].numero, campo});
            intestazione(i, campo, z);
            // Any header closes the general block.
            if (z == zona::generale) z = zona::corpo;
            ++i;
            continue;
        }
        const auto voci = voci_che_riconoscono(campo, f_, z);
        if (voci.empty()) {
            parola_ignota(i, campo, z);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < righe_.size() && numerica(j)) ++j;
        riga(i, j, campo, voci);
        i = j;
    }
    for (const auto& v : sospesi_) {
        const std::string perche = v.virgola ? "the comma that ends line " + std::to_string(*v.virgola) +
                                                   " adds an empty value, which reads as 0"
                                             : std::string("an empty field reads as 0");
        avvisa(nome_campi, v.riga, v.colonna, lette_[v.indice].metro(),
               danno_del_vuoto(v.indice, v.campo) + ": " + perche + (v.coda.empty() ? "" : "; " + v.coda));
    }
    return {f_, std::move(lette_), riga_generale_, std::move(intestazioni_)};
}

// The first empty value of the rows just read, if any, is told at the end of
// the file's reading, with what else the row's reading did (coda) at the
// place given (0: at the empty value).
bool lettura_righe::rimanda_al_vuoto(const std::vector<riga_voce>& lette, int riga, int colonna,
                                     std::optional<int> virgola, std::string coda) {
    for (std::size_t k = 0; k < lette.size(); ++k)
        for (std::size_t i = 0; i < lette[k].valori.size(); ++i) {
            const valore& x = lette[k].valori[i];
            if (!x.vuoto || lette[k].voce->rif->campi[i].vuoto_ammesso) continue;
            sospesi_.push_back({lette_.size() + k, i, riga > 0 ? riga : x.riga, riga > 0 ? colonna : x.colonna,
                                virgola, std::move(coda)});
            return true;
        }
    return false;
}

// What the driver meets for an empty value read as 0: a speed limit or an
// adhesion of 0 up to the next row of the keyword, or the value as 0.
std::string lettura_righe::danno_del_vuoto(std::size_t indice, std::size_t campo) const {
    const riga_voce& r = lette_[indice];
    const std::string_view a = r.argomento();
    if ((a == "velocita" || a == "aderenza") && campo == 1) {
        std::string fino = "to the end of the line";
        for (std::size_t k = indice + 1; k < lette_.size(); ++k)
            if (lette_[k].argomento() == a) {
                fino = "to " + km(lette_[k].n(0));
                break;
            }
        return (a == "velocita" ? "the train is limited to 0 km/h from " : "the adhesion is 0 from ") + km(r.n(0)) +
               " " + fino;
    }
    if (campo == 0 && r.metro()) return "the " + tra_apici(a) + " row is placed at km 0.000";
    std::string s = tra_apici(a) + " " + std::string(r.voce->rif->campi[campo].nome) + " is 0";
    if (const auto m = r.metro()) s += " at " + km(*m);
    return s;
}

// A comment field is skipped and the next field read in its place, at most a
// few times in a row (2; 10 in the general block): the field after those, and
// a field after a comma on a comment line that holds no "-", is tested as a
// keyword field.
void lettura_righe::commento(std::size_t i, zona z) {
    const int limite = z == zona::generale ? 10 : 2;
    bool primo = true;
    const auto campi = campi_di_testo(i);
    for (std::size_t k = 0; k < campi.size(); ++k) {
        const std::string& campo = campi[k];
        const bool terzo = saltati_ >= limite;
        if (testo::contiene(campo, "-") && !terzo) {
            ++saltati_;
        } else {
            saltati_ = 0;
            const auto voci = voci_che_riconoscono(campo, f_, z);
            if (!voci.empty()) {
                const std::string perche = primo || terzo
                    ? "comment field " + tra_apici(campo) + " follows " + std::to_string(limite) +
                          " comment fields in a row, so it is tested as a keyword field"
                    : "the comment's text after a comma, " + tra_apici(campo) + ", is tested as a keyword field";
                avvisa(nome_commento, righe_[i].numero, 1, std::nullopt,
                       perche + ": it is read as " + diventa(i, k, campo, voci) +
                           ", taking its values from the fields after it");
            }
        }
        primo = false;
    }
}

void lettura_righe::intestazione(std::size_t i, const std::string& campo, zona z) {
    const std::string scritta = normalizzata(campo);
    std::vector<std::string> note;
    for (const auto& s : rf::sezioni())
        if ((s.file == rf::file_testo::linea) == (f_ == quale_file::linea)) note.emplace_back(s.intestazione);
    if (std::find(note.begin(), note.end(), scritta) != note.end()) return;
    const auto voci = voci_che_riconoscono(campo, f_, z);
    std::string m = "unknown header " + tra_apici(campo);
    const bool dell_altro = std::any_of(rf::sezioni().begin(), rf::sezioni().end(), [&](const rf::sezione& s) {
        return (s.file == rf::file_testo::linea) != (f_ == quale_file::linea) && s.intestazione == scritta;
    });
    if (voci.empty() && dell_altro) {
        m = tra_apici(campo) + " is a header of " + nome_file(f_ == quale_file::linea ? quale_file::treno : quale_file::linea) +
            ", not of " + nome_file(f_) + ": only a heading, the reader gives it no meaning";
    } else if (!voci.empty()) {
        m += ": it holds the keyword " + tra_apici(voci.front()->rif->prima) + ", so it is read as " +
             diventa(i, 0, campo, voci) + ", taking its values from the lines after it";
    } else {
        m += ": only a heading, the reader gives it no meaning";
        std::string vicina;
        std::size_t minima = std::numeric_limits<std::size_t>::max();
        for (const auto& n : note) {
            const auto d = rf::distanza(scritta, n);
            if (d < minima) minima = d, vicina = n;
        }
        if (!vicina.empty() && minima <= std::max<std::size_t>(2, vicina.size() / 3)) {
            m += " (did you mean " + tra_apici(vicina) + "?)";
            avvisa(nome_intestazione, righe_[i].numero, 1, std::nullopt, m);
            correggi_parola(i, vicina);
            return;
        }
    }
    avvisa(nome_intestazione, righe_[i].numero, 1, std::nullopt, m);
}

void lettura_righe::parola_ignota(std::size_t i, const std::string& campo, zona z) {
    const int n = righe_[i].numero;
    if (numerica(i)) {
        avvisa(nome_parola_ignota, n, 1, std::nullopt,
               "a line of numbers that continues no row: its fields are read as keyword fields and skipped");
        return;
    }
    // The entry exists, in the other block of the line description.
    if (z == zona::generale || z == zona::corpo) {
        const auto altrove = voci_che_riconoscono(campo, f_, z == zona::generale ? zona::corpo : zona::generale);
        if (!altrove.empty()) {
            avvisa(nome_blocco, n, 1, std::nullopt,
                   z == zona::generale
                       ? tra_apici(campo) + " stands in the general block, where only general entries are read: "
                                            "the row is skipped (put it after the header that closes the block)"
                       : tra_apici(campo) + " is a general entry, read only between [generale] and the next "
                                            "header: the row is skipped");
            return;
        }
    }
    // A keyword of the other file: a row in the wrong file, not a slip of a
    // keyword of this one.
    const quale_file altro = f_ == quale_file::linea ? quale_file::treno : quale_file::linea;
    if (const auto d_altro = voci_che_riconoscono(campo, altro, std::nullopt); !d_altro.empty()) {
        const voce_nota& v = *d_altro.front();
        const std::string chi = grafia_nota(v, normalizzata(campo))
            ? tra_apici(campo) + " is a keyword of " + nome_file(altro)
            : tra_apici(campo) + " is the keyword " + tra_apici(v.argomento()) + " of " + nome_file(altro);
        avvisa(nome_parola_ignota, n, 1, std::nullopt, chi + ", not of " + nome_file(f_) + ": the row is skipped");
        return;
    }
    std::string m = "unknown keyword " + tra_apici(campo) + ": the row is skipped";
    const auto s = suggerimento(campo, f_);
    if (s) m += " (did you mean " + tra_apici(*s) + "?)";
    avvisa(nome_parola_ignota, n, 1, std::nullopt, m);
    if (s) correggi_parola(i, *s);
}

// A row made of line da and the lines of numbers after it, up to a: its
// values read as the reader reads them, field-count and number-format on the
// way, and the row kept for the rules on values when it is complete.
void lettura_righe::riga(std::size_t da, std::size_t a, const std::string& campo,
                         const std::vector<const voce_nota*>& voci) {
    const int n = righe_[da].numero;
    const std::size_t base = righe_[da].inizio;
    const std::string finestra = byte_.substr(base, righe_[a - 1].dopo - base);
    // Line and column of an offset in the window.
    auto dove = [&](std::size_t o) {
        std::size_t k = da;
        while (k + 1 < a && righe_[k + 1].inizio - base <= o) ++k;
        return std::pair<int, int>{righe_[k].numero, static_cast<int>(o - (righe_[k].inizio - base)) + 1};
    };
    auto primo_non_bianco = [&](std::size_t o) {
        while (o < finestra.size() && spazio(finestra[o])) ++o;
        return o;
    };

    // The spelling warning comes first; what the row becomes is told once its
    // values are read, at whichever point the reading of the row ends.
    const std::string scritta = normalizzata(campo);
    std::optional<std::size_t> grafia;
    if (!std::any_of(voci.begin(), voci.end(), [&](const voce_nota* v) { return grafia_nota(*v, scritta); }) ||
        voci.size() > 1) {
        grafia = p_.size();
        avvisa(nome_grafia, n, 1, std::nullopt, tra_apici(campo) + " holds more than the keyword: it is read as ");
        // One entry whose keyword carries no value of its own: its plain
        // spelling reads the same.
        const auto argomento = voci.front()->argomento();
        if (voci.size() == 1 && std::none_of(std::begin(dati_nella_parola), std::end(dati_nella_parola),
                                             [&](const dato_nella_parola& d) { return d.argomento == argomento; }))
            correggi_parola(da, std::string(parola_esempio(voci.front()->rif->esempio)));
    }
    std::vector<riga_voce> lette;
    const auto completa_grafia = [&](const riga_voce* parziale) {
        if (!grafia) return;
        std::vector<const riga_voce*> tutte;
        for (const auto& r : lette) tutte.push_back(&r);
        if (parziale) tutte.push_back(parziale);
        std::string& m = p_[*grafia].messaggio;
        for (std::size_t k = 0; k < voci.size(); ++k) {
            m += k == 0 ? "" : k + 1 == voci.size() ? " and then " : ", ";
            if (k < tutte.size()) m += come_letta(*tutte[k], campo);
            else m += tra_apici(voci[k]->argomento());
        }
        if (voci.size() > 1) m += ", each taking its own values";
    };

    flusso_campi f(finestra);
    f.leggi_testo();
    std::size_t richiesti = 0;
    for (const auto* v : voci) richiesti += v->rif->campi.size();
    std::size_t letti = 0;
    bool ultimo_testo = false;
    bool salta_formato = false;
    // Words read where numbers belong: in a row cut short they only follow
    // from the shift, which field-count explains.
    std::vector<std::size_t> parole_come_numeri;
    std::optional<int> riga_virgola_finale;
    for (const auto* v : voci) {
        riga_voce r{v, n, {}};
        for (const auto& c : v->rif->campi) {
            if (f.fine()) {
                const std::string nome(v->argomento());
                std::string m = tra_apici(nome) + " reads " + std::to_string(richiesti) + " values, the row holds " +
                                std::to_string(letti) + ": ";
                const std::size_t mancano = richiesti - letti;
                const std::string altri = mancano == 1 ? "the last one" : "the other " + std::to_string(mancano);
                m += a < righe_.size() ? altri + (mancano == 1 ? " is" : " are") + " taken from " +
                                             prese_dopo(a, voci, letti)
                                       : "the file ends before " + altri;
                for (auto k = parole_come_numeri.rbegin(); k != parole_come_numeri.rend(); ++k)
                    p_.erase(p_.begin() + static_cast<std::ptrdiff_t>(*k));
                completa_grafia(&r);
                avvisa(nome_campi, n, 1, r.metro(), m);
                return;
            }
            const std::size_t prima = f.posizione();
            const std::size_t inizio = primo_non_bianco(prima);
            valore x;
            std::tie(x.riga, x.colonna) = dove(inizio);
            ultimo_testo = campo_di_testo(c);
            if (ultimo_testo) {
                x.testo = f.leggi_testo();
                // The text ends before the comma or line end the stream consumed, its blanks dropped.
                std::size_t e = f.posizione();
                while (e > inizio && a_capo(finestra[e - 1])) --e;
                if (e == f.posizione() && e > inizio && finestra[e - 1] == ',') --e;
                while (e > inizio && spazio(finestra[e - 1])) --e;
                x.colonna_fine = x.colonna + static_cast<int>(e - inizio);
            } else {
                try {
                    x.numero = f.leggi_long();
                } catch (const testo::errore_lettura&) {
                    completa_grafia(&r);
                    return;  // too large for the reader: the compile fails on it
                }
                const std::size_t dopo = f.posizione();
                // The field as the stream read it: sign and digits, then what it skipped.
                const auto& numero = f.ultimo_numero();
                const bool segno = numero.segno;
                const bool cifre = numero.ha_cifre();
                const std::size_t k = numero.cifre_a;
                const std::size_t fine_campo = numero.fine_campo;
                x.colonna_fine = x.colonna + static_cast<int>(fine_campo - inizio);
                x.vuoto = !cifre && !segno && fine_campo == inizio;
                const std::string scritto = testo::da_cp1252(std::string_view(finestra).substr(inizio, fine_campo - inizio));
                const std::string letto = std::to_string(x.numero);
                if (fine_campo > k || (segno && !cifre)) {
                    if (!cifre && !salta_formato) parole_come_numeri.push_back(p_.size());
                    if (!salta_formato) {
                        avvisa(nome_formato, x.riga, x.colonna, r.metro(),
                               tra_apici(scritto) + " is not a whole number: it is read as " + letto);
                        if (cifre) p_.back().rimedio = correzione{x.riga, x.colonna, x.colonna_fine, letto};
                    }
                    salta_formato = false;
                } else if (inizio < dopo && a_capo(finestra[inizio]) &&
                           dopo < finestra.size()) {
                    // An empty value at a line end that a further line continues: a comma ended the line.
                    if (!riga_virgola_finale) riga_virgola_finale = x.riga;
                    salta_formato = false;
                } else {
                    salta_formato = false;
                    // A number ended by a blank, followed on the same line by a word: "30 km".
                    std::size_t q = fine_campo;
                    while (q < dopo && spazio(finestra[q])) ++q;
                    if (cifre && q == dopo && q > fine_campo && dopo < finestra.size() && !a_capo(finestra[dopo]) &&
                        finestra[dopo] != ',' && !cifra(finestra[dopo]) && finestra[dopo] != '+' &&
                        finestra[dopo] != '-') {
                        std::size_t w = dopo;
                        while (w < finestra.size() && finestra[w] != ',' && !a_capo(finestra[w]) && !spazio(finestra[w]))
                            ++w;
                        const std::string parola = testo::da_cp1252(std::string_view(finestra).substr(dopo, w - dopo));
                        avvisa(nome_formato, x.riga, x.colonna, r.metro(),
                               tra_apici(scritto + " " + parola) + " is read as " + letto + ", and " +
                                   tra_apici(parola) + " as a field of its own");
                        salta_formato = true;
                    }
                }
            }
            r.valori.push_back(std::move(x));
            ++letti;
        }
        lette.push_back(std::move(r));
    }
    completa_grafia(nullptr);

    // What is left on the row's lines is read as the next keyword field.
    std::size_t resto = primo_non_bianco(f.posizione());
    while (resto < finestra.size() && (a_capo(finestra[resto]) || spazio(finestra[resto]))) ++resto;
    if (resto < finestra.size() && !lette.empty() && !lette.back().valori.empty()) {
        std::size_t w = resto;
        while (w < finestra.size() && finestra[w] != ',' && !a_capo(finestra[w])) ++w;
        std::string piu = testo::da_cp1252(std::string_view(finestra).substr(resto, w - resto));
        while (!piu.empty() && spazio(piu.back())) piu.pop_back();
        const auto [riga_piu, colonna_piu] = dove(resto);
        const valore& ultimo = lette.back().valori.back();
        std::string m;
        if (ultimo_testo && f.posizione() > 0 && finestra[f.posizione() - 1] == ',') {
            m = "the " + std::string(lette.back().voce->rif->campi.back().nome) + " is cut at the comma: it is stored "
                "as " + tra_apici(ultimo.testo) + " and " + tra_apici(piu) +
                " is read as the next keyword field (write a text with a comma in double quotes)";
        } else {
            m = "the row holds more than the " + std::to_string(richiesti) + " values " +
                tra_apici(voci.front()->argomento()) + " reads: " + tra_apici(piu) +
                " is read as the next keyword field";
        }
        if (!rimanda_al_vuoto(lette, riga_piu, colonna_piu, riga_virgola_finale, m)) {
            // An empty value that is a way to write its field: only the shift it made.
            if (riga_virgola_finale)
                m += " (the comma that ends line " + std::to_string(*riga_virgola_finale) +
                     " adds an empty value, read as 0)";
            avvisa(nome_campi, riga_piu, colonna_piu, lette.front().metro(), m);
        }
    } else {
        rimanda_al_vuoto(lette, 0, 0, riga_virgola_finale, {});
    }
    for (auto& r : lette) lette_.push_back(std::move(r));
}

}  // namespace

}  // namespace strumento::regole_interne

namespace strumento::righe_lette {

bool voce_nota::riconosce(std::string_view campo) const {
    return file == quale_file::linea ? lettura::riconosce(lettura::parole_linea()[indice], campo)
                                     : lettura::riconosce(lettura::parole_treno()[indice], campo);
}

file_letto leggi_righe(quale_file f, const std::string& byte, std::vector<problema>& p) {
    return regole_interne::lettura_righe(f, byte, p).leggi();
}

file_letto leggi_righe(quale_file f, const std::string& byte) {
    std::vector<problema> scartati;
    return leggi_righe(f, byte, scartati);
}

}  // namespace strumento::righe_lette
