// The field stream both input files are read with. A file is a sequence of
// comma-separated fields, never whole lines:
//
//   - a line ends at CR LF, a lone LF or a lone CR; blanks are space and tab,
//     and blanks before a field are skipped (a line end is never skipped);
//   - a text field runs to the next comma or line end, which is consumed with
//     it; trailing blanks are dropped, inner blanks kept. When its first
//     character is a double quote, the value runs to the next quote on the
//     same line, and the rest of the line up to and including the next comma
//     or line end is skipped;
//   - a numeric field is an optional sign and decimal digits (none reads 0);
//     it ends at a comma, a line end or a blank. After a blank, further blanks
//     and then one comma or one line end are consumed too. Anything between
//     the number and the field's end is skipped ("12.5" reads 12).
//
// Reading a field when no byte is left, or a number that does not fit its
// target type, throws errore_lettura: a run-time failure of the reader.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace testo {

class errore_lettura : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    // A field the stream could not read: its text as it stands in the file
    // (none when the file ended before it), why, and its line.
    struct campo_non_letto {
        std::optional<std::string> testo;
        std::string perche;
        int riga = 0;
    };
    errore_lettura(const std::string& messaggio, campo_non_letto c)
        : std::runtime_error(messaggio), campo_(std::move(c)) {}
    const std::optional<campo_non_letto>& campo() const { return campo_; }

private:
    std::optional<campo_non_letto> campo_;
};

// A reader's failure on a cell outside the route grid, cells 0 to ultima. The
// cell is named by its index and its own metre, index × 50, as the tools name
// cells: "the signal falls in cell -1 (m -50), outside the route grid (cells 0
// to 340)".
inline errore_lettura fuori_dalla_griglia(std::string_view cosa, std::int64_t cella, std::int64_t ultima) {
    std::string m = "the ";
    m.append(cosa).append(" falls in cell ").append(std::to_string(cella)).append(" (m ");
    m.append(std::to_string(cella * 50)).append("), outside the route grid (cells 0 to ");
    m.append(std::to_string(ultima)).append(")");
    return errore_lettura(m);
}

class flusso_campi {
public:
    // The whole content of the file, as bytes of the Windows-1252 code page.
    explicit flusso_campi(std::string contenuto);

    // True when no byte is left.
    bool fine() const { return pos_ >= testo_.size(); }

    // A text field, converted to UTF-8.
    std::string leggi_testo();

    std::int32_t leggi_long();
    std::int16_t leggi_integer();
    std::uint8_t leggi_byte();

    // Line (from 1) on which the last field read began.
    int riga_campo() const { return riga_campo_; }

    // Fields begun so far, for a reader to tell which value of a row failed.
    int campi_letti() const { return campi_letti_; }

    // Byte offset of the next byte to read, for tools that map fields back
    // to their place in the text.
    std::size_t posizione() const { return pos_; }

    // The last numeric field begun, as it stands in the text (byte offsets):
    // where it begins after the blanks, whether a sign leads, where its
    // digits run, and where the characters the number skips end (at its
    // comma, line end or blank). "12.5" has digits [0, 2) and ends at 4.
    struct numero_scritto {
        std::size_t inizio = 0;
        bool segno = false;
        std::size_t cifre_da = 0;
        std::size_t cifre_a = 0;
        std::size_t fine_campo = 0;
        bool ha_cifre() const { return cifre_a > cifre_da; }
    };
    const numero_scritto& ultimo_numero() const { return numero_; }

private:
    bool a_capo(std::size_t p) const { return p < testo_.size() && (testo_[p] == '\r' || testo_[p] == '\n'); }
    bool virgola_o_capo(std::size_t p) const { return p < testo_.size() && (testo_[p] == ',' || a_capo(p)); }
    void salta_spazi();
    void consuma_capo();
    void inizia_campo();
    std::int64_t leggi_numero();
    [[noreturn]] void fuori_intervallo(const char* tipo, const char* intervallo) const;

    std::string testo_;
    std::size_t pos_ = 0;
    int riga_ = 1;
    int riga_campo_ = 0;
    int campi_letti_ = 0;
    numero_scritto numero_;
};

}  // namespace testo
