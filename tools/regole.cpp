#include "tools/regole.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <limits>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "line_reader/lettore_linea.h"
#include "model/conversione.h"
#include "model/modello.h"
#include "model/posizioni.h"
#include "text/flusso_campi.h"
#include "text/parole.h"
#include "text/testo_1252.h"
#include "tools/riferimento.h"
#include "train_reader/lettore_treno.h"

namespace strumento {

namespace {

namespace rf = riferimento;
using testo::flusso_campi;

constexpr std::string_view nome_parola_ignota = "unknown-keyword";
constexpr std::string_view nome_grafia = "keyword-spelling";
constexpr std::string_view nome_blocco = "wrong-block";
constexpr std::string_view nome_intestazione = "unknown-header";
constexpr std::string_view nome_commento = "comment-keyword";
constexpr std::string_view nome_campi = "field-count";
constexpr std::string_view nome_formato = "number-format";
constexpr std::string_view nome_utf8 = "utf8-text";
constexpr std::string_view nome_oltre_fine = "beyond-line-end";
constexpr std::string_view nome_fuori_griglia = "off-grid-position";
constexpr std::string_view nome_ordine = "out-of-order";
constexpr std::string_view nome_montagne = "mountain-overlap";
constexpr std::string_view nome_indicatore = "indicator-speed";
constexpr std::string_view nome_velocita = "speed-rounded";
constexpr std::string_view nome_ristretto = "value-narrowed";
constexpr std::string_view nome_orari = "times-backwards";

// Where in a file a line stands: the readers look for different keywords
// before [generale], in the line description's general block and body, and in
// the train file after [generale].
enum class zona : std::uint8_t { preambolo, generale, corpo, treno };

// One keyword entry of a reader, with its reference entry (its values).
struct voce_nota {
    quale_file file;
    std::size_t indice;  // in parole_linea() or parole_treno()
    zona blocco;
    const rf::parola* rif;

    bool riconosce(std::string_view campo) const {
        return file == quale_file::linea ? lettura::riconosce(lettura::parole_linea()[indice], campo)
                                         : lettura::riconosce(lettura::parole_treno()[indice], campo);
    }
    std::string_view argomento() const { return rif->argomento; }
};

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

bool spazio(char c) { return c == ' ' || c == '\t'; }
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

std::string tra_apici(std::string_view s) { return "'" + std::string(s) + "'"; }

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

std::size_t distanza(std::string_view a, std::string_view b) {
    std::vector<std::size_t> riga(b.size() + 1);
    std::iota(riga.begin(), riga.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonale = riga[0];
        riga[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t sopra = riga[j];
            riga[j] = std::min({riga[j] + 1, riga[j - 1] + 1, diagonale + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonale = sopra;
        }
    }
    return riga[b.size()];
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

// The closest spelling of a keyword of the file, when one is close enough to
// be a likely slip: few letters apart, or a shared word of four letters or more.
std::optional<std::string> suggerimento(std::string_view campo, quale_file f) {
    if (campo.size() > 80) return std::nullopt;
    const std::string c = normalizzata(campo);
    std::optional<std::string> migliore;
    std::size_t minima = std::numeric_limits<std::size_t>::max();
    for (const auto& v : voci_note()) {
        if (v.file != f) continue;
        for (std::string_view grafia : {parola_esempio(v.rif->esempio), v.argomento()}) {
            const std::string g = normalizzata(grafia);
            const std::size_t d = distanza(c, g);
            if (d < minima && d <= std::max<std::size_t>(2, g.size() / 2)) minima = d, migliore = g;
        }
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

// One line of a file, as the field stream counts lines (CR LF, lone CR, lone LF).
struct riga_testo {
    int numero;
    std::size_t inizio;  // first byte
    std::size_t fine;    // the line end, or the end of the file
    std::size_t dopo;    // first byte after the line end
};

std::vector<riga_testo> dividi_righe(const std::string& t) {
    std::vector<riga_testo> r;
    std::size_t i = 0;
    int n = 1;
    while (i < t.size()) {
        std::size_t j = i;
        while (j < t.size() && !a_capo(t[j])) ++j;
        std::size_t k = j;
        if (k < t.size()) {
            if (t[k] == '\r' && k + 1 < t.size() && t[k + 1] == '\n') ++k;
            ++k;
        }
        r.push_back({n++, i, j, k});
        i = k;
    }
    return r;
}

// One value of a row as the reader reads it, and where it stands.
struct valore {
    std::int64_t numero = 0;
    std::string testo;  // text values, UTF-8
    int riga = 0;
    int colonna = 1;
};

// A row whose values were all read from its own lines.
struct riga_voce {
    const voce_nota* voce;
    int riga;
    std::vector<valore> valori;

    std::int64_t n(std::size_t i) const { return i < valori.size() ? valori[i].numero : 0; }
    std::string_view argomento() const { return voce->argomento(); }
    // A row that places something on the route: the body of the line
    // description, and the train file's rows that begin with a position.
    bool ha_posizione() const {
        if (voce->file == quale_file::linea) return voce->blocco == zona::corpo;
        return !voce->rif->campi.empty() && voce->rif->campi[0].unita == "m";
    }
    std::optional<std::int64_t> metro() const {
        if (ha_posizione() && !valori.empty()) return valori[0].numero;
        return std::nullopt;
    }
    // The index of the value the reference names so, or none.
    std::optional<std::size_t> indice(std::string_view nome) const {
        const auto campi = voce->rif->campi;
        for (std::size_t i = 0; i < campi.size() && i < valori.size(); ++i)
            if (campi[i].nome == nome) return i;
        return std::nullopt;
    }
};

bool campo_di_testo(const rf::campo& c) { return c.lettura == "Windows-1252"; }

struct file_letto {
    quale_file file;
    std::vector<riga_voce> righe;
};

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
    std::string testo_riga(std::size_t i) const {
        return byte_.substr(righe_[i].inizio, righe_[i].dopo - righe_[i].inizio);
    }
    // The text fields of line i, as the stream would read them one by one.
    std::vector<std::string> campi_di_testo(std::size_t i) const;
    bool numerica(std::size_t i) const;
    void commento(std::size_t i, zona z);
    void intestazione(std::size_t i, const std::string& campo, zona z);
    void parola_ignota(std::size_t i, const std::string& campo, zona z);
    void riga(std::size_t da, std::size_t a, const std::string& campo, const std::vector<const voce_nota*>& voci);

    quale_file f_;
    const std::string& byte_;
    std::vector<riga_testo> righe_;
    std::vector<problema>& p_;
    std::vector<riga_voce> lette_;
    int saltati_ = 0;  // comment fields skipped since the last field tested as a keyword
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
    return {f_, std::move(lette_)};
}

// A comment field is skipped and the next field read in its place, at most a
// few times in a row (2; 10 in the general block): the field after those, and
// a field after a comma on a comment line that holds no "-", is tested as a
// keyword field.
void lettura_righe::commento(std::size_t i, zona z) {
    const int limite = z == zona::generale ? 10 : 2;
    bool primo = true;
    for (const auto& campo : campi_di_testo(i)) {
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
                       perche + ": it is read as a " + tra_apici(voci.front()->argomento()) +
                           " row that takes its values from the fields after it");
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
    if (!voci.empty()) {
        m += ": it holds the keyword " + tra_apici(voci.front()->rif->prima) + ", so it is read as a " +
             tra_apici(voci.front()->argomento()) + " row that takes its values from the lines after it";
    } else {
        m += ": only a heading, the reader gives it no meaning";
        std::string vicina;
        std::size_t minima = std::numeric_limits<std::size_t>::max();
        for (const auto& n : note) {
            const auto d = distanza(scritta, n);
            if (d < minima) minima = d, vicina = n;
        }
        if (!vicina.empty() && minima <= std::max<std::size_t>(2, vicina.size() / 3))
            m += " (did you mean " + tra_apici(vicina) + "?)";
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
    std::string m = "unknown keyword " + tra_apici(campo) + ": the row is skipped";
    if (const auto s = suggerimento(campo, f_)) m += " (did you mean " + tra_apici(*s) + "?)";
    avvisa(nome_parola_ignota, n, 1, std::nullopt, m);
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

    const std::string scritta = normalizzata(campo);
    if (!std::any_of(voci.begin(), voci.end(), [&](const voce_nota* v) { return grafia_nota(*v, scritta); }) ||
        voci.size() > 1) {
        std::string m = tra_apici(campo) + " holds more than the keyword: it is read as ";
        for (std::size_t k = 0; k < voci.size(); ++k)
            m += (k == 0 ? "" : k + 1 == voci.size() ? " and then " : ", ") + tra_apici(voci[k]->argomento());
        if (voci.size() > 1) m += ", each taking its own values";
        avvisa(nome_grafia, n, 1, std::nullopt, m);
    }

    flusso_campi f(finestra);
    f.leggi_testo();
    std::vector<riga_voce> lette;
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
                m += a < righe_.size() ? altri + (mancano == 1 ? " is" : " are") +
                                             " taken from the next line, whose row is lost"
                                       : "the file ends before " + altri;
                for (auto k = parole_come_numeri.rbegin(); k != parole_come_numeri.rend(); ++k)
                    p_.erase(p_.begin() + static_cast<std::ptrdiff_t>(*k));
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
            } else {
                try {
                    x.numero = f.leggi_long();
                } catch (const testo::errore_lettura&) {
                    return;  // too large for the reader: the compile fails on it
                }
                const std::size_t dopo = f.posizione();
                // The field: sign and digits, then what the reader skips.
                std::size_t k = inizio;
                bool segno = false;
                if (k < dopo && (finestra[k] == '+' || finestra[k] == '-')) ++k, segno = true;
                const std::size_t cifre_da = k;
                while (k < dopo && cifra(finestra[k])) ++k;
                const bool cifre = k > cifre_da;
                std::size_t fine_campo = k;
                while (fine_campo < dopo && finestra[fine_campo] != ',' && !a_capo(finestra[fine_campo]) &&
                       !spazio(finestra[fine_campo]))
                    ++fine_campo;
                const std::string scritto = testo::da_cp1252(std::string_view(finestra).substr(inizio, fine_campo - inizio));
                const std::string letto = std::to_string(x.numero);
                if (fine_campo > k || (segno && !cifre)) {
                    if (!cifre && !salta_formato) parole_come_numeri.push_back(p_.size());
                    if (!salta_formato)
                        avvisa(nome_formato, x.riga, x.colonna, r.metro(),
                               tra_apici(scritto) + " is not a whole number: it is read as " + letto);
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
            if (riga_virgola_finale)
                m += " (the comma that ends line " + std::to_string(*riga_virgola_finale) +
                     " adds an empty value, read as 0)";
        }
        avvisa(nome_campi, riga_piu, colonna_piu, lette.front().metro(), m);
    }
    for (auto& r : lette) lette_.push_back(std::move(r));
}

// ---------------------------------------------------------------- rules on values

std::int64_t basso_16(std::int64_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v & 0xFFFF)); }
std::int64_t basso_8(std::int64_t v) { return static_cast<std::uint8_t>(v & 0xFF); }

std::string orario(std::int64_t h, std::int64_t m, std::int64_t s) {
    auto due = [](std::int64_t x) { return (x >= 0 && x < 10 ? "0" : "") + std::to_string(x); };
    return std::to_string(h) + ":" + due(m) + ":" + due(s);
}

class regole_valori {
public:
    regole_valori(const file_letto& linea, const file_letto& treno, std::vector<problema>& p)
        : linea_(linea), treno_(treno), p_(p) {}
    void applica();

private:
    void avvisa(std::string_view regola, const riga_voce& r, std::size_t campo, std::string testo,
                std::vector<rimando> correlati = {}) {
        const int riga = campo < r.valori.size() ? r.valori[campo].riga : r.riga;
        const int colonna = campo < r.valori.size() ? r.valori[campo].colonna : 1;
        p_.push_back(problema{.file = r.voce->file, .riga = riga, .colonna = colonna, .livello = gravita::avviso,
                              .codice = std::nullopt, .regola = std::string(regola), .metro = r.metro(),
                              .messaggio = std::move(testo), .correlati = std::move(correlati)});
    }
    void oltre_la_fine();
    void fuori_griglia(const riga_voce& r);
    void ordine();
    void curve();
    void montagne();
    void indicatore(const riga_voce& r);
    void ristretti(const riga_voce& r);
    void orari();

    const file_letto& linea_;
    const file_letto& treno_;
    std::vector<problema>& p_;
};

void regole_valori::applica() {
    oltre_la_fine();
    for (const file_letto* f : {&linea_, &treno_})
        for (const auto& r : f->righe) {
            fuori_griglia(r);
            indicatore(r);
            ristretti(r);
            if (r.argomento() == "velocita") {
                const std::int64_t v = r.n(1);
                const double quinto = modello::arrotonda(static_cast<double>(v) / 5.0);
                if (v % 5 != 0 && quinto >= 0 && quinto <= 255)
                    avvisa(nome_velocita, r, 1,
                           "speed limit " + std::to_string(v) + " km/h is kept in steps of 5 km/h: it reads " +
                               std::to_string(static_cast<std::int64_t>(quinto) * 5));
            }
        }
    ordine();
    curve();
    montagne();
    orari();
}

// The last length entry of the general block sets the route grid, whose cells
// run about 7 km past the line's end; rows placed there compile silently.
void regole_valori::oltre_la_fine() {
    const riga_voce* lunghezza = nullptr;
    for (const auto& r : linea_.righe)
        if (r.argomento() == "lunghezza percorso") lunghezza = &r;
    if (!lunghezza) return;
    const std::int64_t l = lunghezza->n(0);
    if (l < 1 || l > modello::lunghezza_massima) return;
    modello::Modello m;
    m.numero_celle = modello::a_long(static_cast<double>(l + modello::prolungamento_linea) / 50.0);
    const rimando al_lunghezza{quale_file::linea, lunghezza->riga, "the line's length, " + std::to_string(l) + " m"};
    for (const file_letto* f : {&linea_, &treno_})
        for (const auto& r : f->righe) {
            if (!r.ha_posizione()) continue;
            const std::int64_t p = r.n(0);
            // The reader's margin: a station's area reaches 800 m past its position.
            const int margine = r.argomento() == "stazione" ? 800 : 100;
            if (p > l && !modello::oltre_la_griglia(m, p, margine))
                avvisa(nome_oltre_fine, r, 0,
                       tra_apici(r.argomento()) + " at " + std::to_string(p) + " lies beyond the line's length, " +
                           std::to_string(l) + " m: it is compiled into the grid's extension past the end of the line",
                       {al_lunghezza});
        }
}

// Boards, signals and slowdowns stand in cell p / 50 + 1, a code point in
// cell p / 50, rounded with halves to even.
void regole_valori::fuori_griglia(const riga_voce& r) {
    const auto a = r.argomento();
    const bool codice = a == "abbattimento";
    if (!codice && a != "cartello_indicatore" && a != "indicatori_vmax" && a != "segnale" && a != "rallentamento")
        return;
    auto controlla = [&](std::int64_t p, const std::string& cosa) {
        if (p % 50 == 0) return;
        const std::int64_t c = modello::cella_di(static_cast<double>(p), codice ? 0.0 : 1.0);
        const std::int64_t metro = (codice ? c : c - 1) * 50;
        avvisa(nome_fuori_griglia, r, 0,
               cosa + " " + std::to_string(p) + " is not a multiple of 50: it lands in the cell of metre " +
                   std::to_string(metro));
    };
    controlla(r.n(0), tra_apici(a) + " position");
    if (a == "rallentamento") controlla(r.n(0) + r.n(2), "the slowdown's end, start plus length,");
}

// Gradient, speed and adhesion rows each lay the stretch before their own
// cell, so a row behind the last one leaves the earlier value a single cell.
void regole_valori::ordine() {
    for (const file_letto* f : {&linea_, &treno_})
        for (std::string_view tipo : {"pendenza", "velocita", "aderenza"}) {
            const riga_voce* massima = nullptr;
            for (const auto& r : f->righe) {
                if (r.argomento() != tipo) continue;
                if (massima && r.n(0) < massima->n(0)) {
                    avvisa(nome_ordine, r, 0,
                           tra_apici(tipo) + " at " + std::to_string(r.n(0)) + " comes after the row at " +
                               std::to_string(massima->n(0)) + ": rows are laid in file order, so the earlier "
                               "row's value holds for a single cell and this one takes over from there",
                           {{f->file, massima->riga, "the earlier row, at " + std::to_string(massima->n(0))}});
                } else if (!massima || r.n(0) > massima->n(0)) {
                    massima = &r;
                }
            }
        }
}

// The geometry is laid curve by curve up to each curve's end: a curve that
// starts inside track already laid turns only after it.
void regole_valori::curve() {
    std::int64_t posata = 1;
    const riga_voce* ultima = nullptr;
    for (const auto& r : linea_.righe) {
        if (r.argomento() != "curva") continue;
        const std::int64_t s = r.n(0);
        const std::int64_t e = s + r.n(1);
        if (ultima && s < posata) {
            const std::string dove = "the curve from " + std::to_string(ultima->n(0)) + " to " + std::to_string(posata);
            avvisa(nome_ordine, r, 0,
                   "curve from " + std::to_string(s) + " to " + std::to_string(e) + " starts inside track already "
                       "laid up to " + std::to_string(posata) + ": " +
                       (e <= posata ? std::string("it is not laid at all")
                                    : "it turns only from " + std::to_string(posata + 1) + " on"),
                   {{quale_file::linea, ultima->riga, dove}});
        }
        if (e > posata) {
            posata = e;
            ultima = &r;
        }
    }
}

void regole_valori::montagne() {
    std::vector<const riga_voce*> prima;
    for (const auto& r : linea_.righe) {
        if (r.argomento() != "montagna") continue;
        // The reader fails past its 80 stretches.
        if (prima.size() >= static_cast<std::size_t>(modello::massimo_montagne)) break;
        const std::int64_t s = r.n(0), e = r.n(1);
        for (auto it = prima.rbegin(); it != prima.rend(); ++it) {
            const std::int64_t s0 = (*it)->n(0), e0 = (*it)->n(1);
            if (s < e0 && s0 < e) {
                const std::string tratto = std::to_string(s0) + " to " + std::to_string(e0);
                avvisa(nome_montagne, r, 0,
                       "mountain stretch " + std::to_string(s) + " to " + std::to_string(e) +
                           " overlaps the earlier one, " + tratto + ": in the shared cells this row's type replaces "
                           "the earlier one's",
                       {{quale_file::linea, (*it)->riga, "the earlier mountain stretch, " + tratto}});
                break;
            }
        }
        prima.push_back(&r);
    }
}

// Each of the three values packs both sides: left / 5 in the hundreds, right
// / 5 below, rounded; it must read back as the speeds written.
void regole_valori::indicatore(const riga_voce& r) {
    if (r.argomento() != "indicatori_vmax" || r.valori.size() < 9) return;
    for (std::size_t k = 0; k < 3; ++k) {
        const std::int64_t sx = r.n(1 + k), dx = r.n(5 + k);
        const double v = modello::arrotonda(static_cast<double>(dx) / 5.0 + static_cast<double>(sx) * 20.0);
        if (v < -32768.0 || v > 32767.0) continue;  // the reader fails on it
        const auto p = static_cast<std::int64_t>(v);
        const std::int64_t sx_letta = p >= 0 ? p / 100 * 5 : -1;
        const std::int64_t dx_letta = p >= 0 ? p % 100 * 5 : -1;
        if (sx_letta == sx && dx_letta == dx) continue;
        std::string m = "speed indicator board speeds " + std::to_string(sx) + " and " + std::to_string(dx) +
                        " are packed as " + std::to_string(p);
        m += p >= 0 ? ", which reads back as " + std::to_string(sx_letta) + " and " + std::to_string(dx_letta) +
                          " km/h (speeds are kept in steps of 5, a right speed below 500)"
                    : ", which reads back as no speed";
        avvisa(nome_indicatore, r, sx % 5 != 0 || sx < 0 ? 1 + k : 5 + k, m);
    }
}

void regole_valori::ristretti(const riga_voce& r) {
    const auto a = r.argomento();
    const auto campi = r.voce->rif->campi;
    auto nome = [&](std::size_t i) { return std::string(campi[i].nome); };
    auto a_16 = [&](std::size_t i, std::int64_t v, const std::string& cosa) {
        if (basso_16(v) != v)
            avvisa(nome_ristretto, r, i,
                   cosa + " " + std::to_string(v) + " does not fit 16 bits: stored as " + std::to_string(basso_16(v)));
    };
    if (a == "aderenza") {
        const std::int64_t v = r.n(1);
        if (basso_8(v) != v)
            avvisa(nome_ristretto, r, 1,
                   "adhesion " + std::to_string(v) + " does not fit a byte: stored as " + std::to_string(basso_8(v)));
    } else if (a == "montagna") {
        const std::int64_t t = r.n(2);
        const std::int64_t tipo = t > 10 ? t - 10 : t;
        if (basso_8(tipo) != tipo)
            avvisa(nome_ristretto, r, 2,
                   "mountain type " + std::to_string(t) + (t > 10 ? " (" + std::to_string(tipo) + " with markers)" : "") +
                       " does not fit a byte: stored as " + std::to_string(basso_8(tipo)));
    } else if (a == "abbattimento") {
        if (r.n(1) >= 1) a_16(1, r.n(1), "code");
    } else if (a == "rallentamento") {
        a_16(1, r.n(1), "slowdown " + nome(1));
        a_16(3, r.n(3), "slowdown " + nome(3));
        if (r.n(5) != 0) a_16(5, r.n(5), "slowdown " + nome(5));
    } else if (a == "indicatori_vmax") {
        const std::int64_t v = r.n(4) * 10 + r.n(8);
        if (basso_16(v) != v)
            avvisa(nome_ristretto, r, 4,
                   "stripes " + std::to_string(r.n(4)) + " and " + std::to_string(r.n(8)) + " pack as " +
                       std::to_string(v) + ", which does not fit 16 bits: stored as " + std::to_string(basso_16(v)));
    } else if (a == "segnale" && r.valori.size() >= 11) {
        // Packed in decimal: left in the tens, right in the units; the two
        // kinds first as left × 3 + right.
        const std::int64_t sx = r.n(1), dx = r.n(6), rapp = r.n(5);
        const std::int64_t lati = sx * 3 + dx;
        auto sedici = [&](std::size_t i, std::int64_t v, const std::string& cosa) {
            if (basso_16(v) == v) return false;
            avvisa(nome_ristretto, r, i,
                   "signal " + cosa + " pack as " + std::to_string(v) + ", which does not fit 16 bits: stored as " +
                       std::to_string(basso_16(v)));
            return true;
        };
        auto trabocca = [&](std::size_t i, const std::string& cosa, std::int64_t v, std::int64_t base) {
            avvisa(nome_ristretto, r, i,
                   "signal " + cosa + " spills into its neighbour: stored as " + std::to_string(v) +
                       ", which reads back as " + std::to_string(v / base) + " and " + std::to_string(v % base));
        };
        if (dx < 0 || dx > 2)
            trabocca(6, "right kind " + std::to_string(dx) + " (left " + std::to_string(sx) + ")", lati, 3);
        sedici(5, rapp * 10 + lati,
               "rapp " + std::to_string(rapp) + " and kinds " + std::to_string(sx) + ", " + std::to_string(dx));
        for (std::size_t k = 0; k < 3; ++k) {
            const std::int64_t alto = r.n(2 + k), basso = r.n(7 + k);
            const std::string cosa = nome(2 + k) + " " + std::to_string(alto) + " and " + nome(7 + k) + " " +
                                     std::to_string(basso);
            if (!sedici(2 + k, alto * 10 + basso, cosa) && (basso < 0 || basso > 9))
                trabocca(7 + k, nome(7 + k) + " " + std::to_string(basso) + " (" + nome(2 + k) + " " +
                                    std::to_string(alto) + ")",
                         alto * 10 + basso, 10);
        }
        std::int64_t tempo = r.n(10);
        if (tempo >= 1 && tempo <= 100) tempo = 101;
        if (sx == 2 && basso_8(tempo) != tempo)
            avvisa(nome_ristretto, r, 10,
                   "signal time " + std::to_string(tempo) + " does not fit a byte: stored as " +
                       std::to_string(basso_8(tempo)));
    }
}

// Stations in file order, which is their order along the line; 0:00:00 is no
// time (a passing point).
void regole_valori::orari() {
    const riga_voce* precedente = nullptr;
    std::int64_t t0 = 0;
    for (const auto& r : treno_.righe) {
        if (r.argomento() != "stazione") continue;
        const auto ih = r.indice("hours"), im = r.indice("minutes"), is = r.indice("seconds"), in = r.indice("name");
        if (!ih || !im || !is) continue;
        const std::int64_t h = r.n(*ih), m = r.n(*im), s = r.n(*is);
        if (h == 0 && m == 0 && s == 0) continue;
        const std::int64_t t = (h * 60 + m) * 60 + s;
        const std::string nome = in ? r.valori[*in].testo : std::string();
        if (precedente && t < t0) {
            const auto& p = *precedente;
            const std::string prima = tra_apici(in ? p.valori[*in].testo : std::string()) + ", " +
                                      orario(p.n(*ih), p.n(*im), p.n(*is));
            avvisa(nome_orari, r, *ih,
                   "station " + tra_apici(nome) + " has the time " + orario(h, m, s) +
                       ", earlier than the station before it, " + prima,
                   {{quale_file::treno, p.riga, "the earlier station " + prima}});
        }
        precedente = &r;
        t0 = t;
    }
}

// A file that is valid UTF-8 and holds multi-byte sequences: written by an
// editor in UTF-8, read by the readers as Windows-1252.
bool utf8_valido(std::string_view s, bool& multibyte) {
    multibyte = false;
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        int seguito = 0;
        char32_t cp = 0, minimo = 0;
        if ((b & 0xE0) == 0xC0) seguito = 1, cp = b & 0x1F, minimo = 0x80;
        else if ((b & 0xF0) == 0xE0) seguito = 2, cp = b & 0x0F, minimo = 0x800;
        else if ((b & 0xF8) == 0xF0) seguito = 3, cp = b & 0x07, minimo = 0x10000;
        else return false;
        if (i + static_cast<std::size_t>(seguito) >= s.size()) return false;
        for (int k = 1; k <= seguito; ++k) {
            const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < minimo || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        multibyte = true;
        i += static_cast<std::size_t>(seguito) + 1;
    }
    return true;
}

void testo_utf8(quale_file f, const std::string& byte, std::vector<problema>& p) {
    bool multibyte = false;
    if (!utf8_valido(byte, multibyte) || !multibyte) return;
    for (const auto& r : dividi_righe(byte)) {
        const std::string_view riga = std::string_view(byte).substr(r.inizio, r.fine - r.inizio);
        const auto alto = std::find_if(riga.begin(), riga.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        if (alto == riga.end()) continue;
        // The comma-separated piece that holds the first accented letter.
        const auto o = static_cast<std::size_t>(alto - riga.begin());
        std::size_t da = riga.rfind(',', o);
        da = da == std::string_view::npos ? 0 : da + 1;
        std::size_t a = riga.find(',', o);
        if (a == std::string_view::npos) a = riga.size();
        while (da < a && spazio(riga[da])) ++da;
        while (a > da && spazio(riga[a - 1])) --a;
        const std::string_view pezzo = riga.substr(da, a - da);
        p.push_back(problema{.file = f, .riga = r.numero, .colonna = static_cast<int>(o) + 1,
                             .livello = gravita::avviso, .codice = std::nullopt, .regola = std::string(nome_utf8),
                             .metro = std::nullopt,
                             .messaggio = "the file is UTF-8 but is read as Windows-1252: " + tra_apici(pezzo) +
                                          " reads as " + tra_apici(testo::da_cp1252(pezzo)),
                             .correlati = {}});
        return;
    }
}

constexpr regola_avviso tabella_regole[] = {
    {nome_parola_ignota,
     "a row whose keyword field matches no keyword of its file: the reader skips it without a word",
     "pendenze,  2000,   6", quale_file::linea},
    {nome_grafia,
     "a keyword field that holds more than the keyword: it is read as the keyword it contains",
     "velocita massima,    9000,    90", quale_file::treno},
    {nome_blocco,
     "a keyword where its file does not look for it (before [generale], a general entry in the body of the line "
     "description, a body entry in its general block): the row is skipped",
     "lunghezza percorso,    15000", quale_file::linea},
    {nome_intestazione,
     "a [section] header the format does not have: only a heading, or read as a row when it holds a keyword",
     "[fermate]", quale_file::treno},
    {nome_commento,
     "comment text that the reader tests as a keyword field (after a comma, or a third comment field in a row) "
     "and that holds a keyword: it is read as a row",
     "- posizione, velocita", quale_file::treno},
    {nome_campi,
     "a row with fewer or more values than its keyword reads: missing ones come from the next line, extra ones "
     "are read as the next row, a comma cuts a name",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   0,  0, 0, 0, SAN LORENZO, BORGO", quale_file::treno},
    {nome_formato,
     "a number written with other characters (a decimal point, a unit, a colon): only its leading digits are read",
     "percentuale massa frenata,    87.5", quale_file::treno},
    {nome_utf8,
     "a file saved as UTF-8 with accented letters: it is read as Windows-1252, so its names come out garbled",
     "cartello_indicatore,  9000,   (Città)", quale_file::linea},
    {nome_oltre_fine,
     "an object placed beyond the line's length but inside the route grid's extension: compiled without a word, "
     "past the end of the line",
     "segnale,   12500,   2, 4, 1,  0, 0,    2,  3,1,0, 0", quale_file::treno},
    {nome_fuori_griglia,
     "a board, signal, code point or slowdown not on a 50 m mark: it lands in the nearest cell, up to 25 m away",
     "segnale,    3020,   2, 4, 1,  0, 0,    2,  3,1,0, 0", quale_file::treno},
    {nome_ordine,
     "gradient, speed, adhesion or curve rows out of position order: laid in file order, a row behind the ones "
     "before it spoils what they laid",
     "pendenza,  3000,   2", quale_file::linea},
    {nome_montagne,
     "mountain stretches that overlap: the later stretch's type replaces the earlier one's in the shared cells",
     "montagna,   2000,  3500,  1", quale_file::linea},
    {nome_indicatore,
     "a speed indicator board whose packed speeds read back as other speeds: not a multiple of 5 km/h, or a right "
     "speed above 495",
     "indicatori_vmax,  8000,  132,  150,  160,  0,  140,  150,  160,  0", quale_file::linea},
    {nome_velocita,
     "a speed limit that is not a multiple of 5 km/h: it is kept in steps of 5, rounded", "velocita,    9000,   132",
     quale_file::treno},
    {nome_ristretto,
     "a value that does not fit its field and is cut to its low bits (adhesion, mountain type, signal, slowdown, "
     "code point, stripes) or a digit that spills into its neighbour in a packed signal value",
     "aderenza,    6000,   300", quale_file::treno},
    {nome_orari,
     "a station's timetable time earlier than the time of a station before it along the line",
     "stazione,   10000,  12,  600,  0, 0, 0,  1,1,0,  4,1,1,   45,  7, 25, 0, BORGO", quale_file::treno},
};

}  // namespace

std::span<const regola_avviso> regole_avviso() { return tabella_regole; }

bool regola_esiste(std::string_view nome) {
    return std::any_of(std::begin(tabella_regole), std::end(tabella_regole),
                       [&](const regola_avviso& r) { return r.nome == nome; });
}

std::vector<problema> avvisi(const std::string& linea, const std::string& treno) {
    std::vector<problema> p;
    testo_utf8(quale_file::linea, linea, p);
    testo_utf8(quale_file::treno, treno, p);
    const file_letto l = lettura_righe(quale_file::linea, linea, p).leggi();
    const file_letto t = lettura_righe(quale_file::treno, treno, p).leggi();
    regole_valori(l, t, p).applica();
    ordina(p);
    return p;
}

}  // namespace strumento
