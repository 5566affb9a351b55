#include "check/regole.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "check/regole_interne.h"
#include "text/testo_1252.h"

namespace strumento {

namespace {

using namespace regole_interne;

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
    // A byte-order mark alone is harmless: it stands before [generale] with
    // what the readers skip.
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    bool multibyte = false;
    const std::string_view dopo_bom = std::string_view(byte).substr(byte.starts_with(bom) ? bom.size() : 0);
    if (!utf8_valido(dopo_bom, multibyte) || !multibyte) return;
    for (const auto& r : dividi_righe(byte)) {
        const std::string_view riga = std::string_view(byte).substr(r.inizio, r.fine - r.inizio);
        const auto salta = r.inizio == 0 && riga.starts_with(bom) ? bom.size() : 0;
        const auto alto = std::find_if(riga.begin() + static_cast<std::ptrdiff_t>(salta), riga.end(),
                                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
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


}  // namespace

std::vector<problema> avvisi(const std::string& linea, const std::string& treno) {
    std::vector<problema> p;
    testo_utf8(quale_file::linea, linea, p);
    testo_utf8(quale_file::treno, treno, p);
    const file_letto l = regole_interne::leggi_righe(quale_file::linea, linea, p);
    const file_letto t = regole_interne::leggi_righe(quale_file::treno, treno, p);
    regole_interne::avvisi_valori(l, t, p);
    regole_interne::avvisi_ambiti(l, t, p);
    ordina(p);
    return p;
}

}  // namespace strumento
