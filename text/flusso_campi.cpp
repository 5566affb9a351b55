#include "text/flusso_campi.h"

#include <limits>

#include "text/testo_1252.h"

namespace testo {

namespace {
bool spazio(char c) { return c == ' ' || c == '\t'; }
bool cifra(char c) { return c >= '0' && c <= '9'; }
}  // namespace

flusso_campi::flusso_campi(std::string contenuto) : testo_(std::move(contenuto)) {}

void flusso_campi::salta_spazi() {
    while (pos_ < testo_.size() && spazio(testo_[pos_])) ++pos_;
}

// Consumes one line end (CR LF counts as one) at the current position.
void flusso_campi::consuma_capo() {
    if (pos_ < testo_.size() && testo_[pos_] == '\r') {
        ++pos_;
        if (pos_ < testo_.size() && testo_[pos_] == '\n') ++pos_;
        ++riga_;
    } else if (pos_ < testo_.size() && testo_[pos_] == '\n') {
        ++pos_;
        ++riga_;
    }
}

void flusso_campi::inizia_campo() {
    ++campi_letti_;
    if (fine())
        throw errore_lettura("read past the end of the file", {std::nullopt, "the file ends before it", riga_});
    salta_spazi();
    riga_campo_ = riga_;
}

std::string flusso_campi::leggi_testo() {
    inizia_campo();
    std::string valore;
    if (pos_ < testo_.size() && testo_[pos_] == '"') {
        ++pos_;
        const std::size_t inizio = pos_;
        while (pos_ < testo_.size() && testo_[pos_] != '"' && !a_capo(pos_)) ++pos_;
        valore = testo_.substr(inizio, pos_ - inizio);
        while (pos_ < testo_.size() && !virgola_o_capo(pos_)) ++pos_;
    } else {
        const std::size_t inizio = pos_;
        while (pos_ < testo_.size() && !virgola_o_capo(pos_)) ++pos_;
        std::size_t fine_valore = pos_;
        while (fine_valore > inizio && spazio(testo_[fine_valore - 1])) --fine_valore;
        valore = testo_.substr(inizio, fine_valore - inizio);
    }
    if (pos_ < testo_.size() && testo_[pos_] == ',') ++pos_; else consuma_capo();
    return testo::da_cp1252(valore);
}

std::int64_t flusso_campi::leggi_numero() {
    inizia_campo();
    numero_ = {};
    numero_.inizio = pos_;
    bool negativo = false;
    if (pos_ < testo_.size() && (testo_[pos_] == '+' || testo_[pos_] == '-')) {
        negativo = testo_[pos_] == '-';
        numero_.segno = true;
        ++pos_;
    }
    numero_.cifre_da = pos_;
    // Accumulated as a negative number so that the lowest Long fits too.
    std::int64_t valore = 0;
    bool troppo = false;
    while (pos_ < testo_.size() && cifra(testo_[pos_])) {
        if (!troppo) {
            valore = valore * 10 - (testo_[pos_] - '0');
            troppo = valore < -2147483648LL - 1;
        }
        ++pos_;
    }
    numero_.cifre_a = pos_;
    while (pos_ < testo_.size() && !virgola_o_capo(pos_) && !spazio(testo_[pos_])) ++pos_;
    numero_.fine_campo = pos_;
    if (pos_ < testo_.size() && spazio(testo_[pos_])) {
        salta_spazi();
        if (pos_ < testo_.size() && testo_[pos_] == ',') ++pos_; else consuma_capo();
    } else if (pos_ < testo_.size() && testo_[pos_] == ',') {
        ++pos_;
    } else {
        consuma_capo();
    }
    if (!negativo) valore = -valore;
    if (troppo || valore < std::numeric_limits<std::int32_t>::min() || valore > std::numeric_limits<std::int32_t>::max())
        fuori_intervallo("Long", "-2147483648 to 2147483647");
    return valore;
}

// The number just read does not fit its type: the error carries the field's
// text as written, up to its comma, line end or blank.
void flusso_campi::fuori_intervallo(const char* tipo, const char* intervallo) const {
    const std::string perche = std::string("out of the ") + tipo + " range (" + intervallo + ")";
    throw errore_lettura("number " + perche + " on line " + std::to_string(riga_campo_),
                         {testo::da_cp1252(testo_.substr(numero_.inizio, numero_.fine_campo - numero_.inizio)), perche,
                          riga_campo_});
}

std::int32_t flusso_campi::leggi_long() { return static_cast<std::int32_t>(leggi_numero()); }

std::int16_t flusso_campi::leggi_integer() {
    const std::int64_t v = leggi_numero();
    if (v < -32768 || v > 32767) fuori_intervallo("Integer", "-32768 to 32767");
    return static_cast<std::int16_t>(v);
}

std::uint8_t flusso_campi::leggi_byte() {
    const std::int64_t v = leggi_numero();
    if (v < 0 || v > 255) fuori_intervallo("Byte", "0 to 255");
    return static_cast<std::uint8_t>(v);
}

}  // namespace testo
