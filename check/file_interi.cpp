#include "check/file_interi.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

#include "model/codici.h"
#include "reference/riferimento.h"
#include "text/flusso_campi.h"
#include "text/parole.h"

namespace strumento {

namespace {

namespace codice = modello::codice;

std::string_view descrivi(codifica c) {
    return c == codifica::utf16le ? "UTF-16 (little-endian)" : "UTF-16 (big-endian)";
}

// chi: "the file", "the train file", ...
std::string testo_codifica(std::string_view chi, codifica c) {
    return std::string(chi) + " is saved as " + std::string(descrivi(c)) +
           ": the readers take it byte by byte as Windows-1252 and find none of its rows; save it as Windows-1252 "
           "(\"ANSI\" in Windows editors)";
}

// The line and text of the first field that pred accepts, reading the bytes
// as the readers do.
template <class P>
std::optional<std::pair<int, std::string>> primo_campo(const std::string& byte, P pred) {
    testo::flusso_campi f(byte);
    try {
        while (!f.fine()) {
            std::string campo = f.leggi_testo();
            if (pred(campo)) return std::pair{f.riga_campo(), std::move(campo)};
        }
    } catch (const testo::errore_lettura&) {
    }
    return std::nullopt;
}

// A header a few letters from [generale] ("[general]", "[ generale ]"),
// named where the author probably meant it.
std::optional<std::pair<int, std::string>> quasi_generale(const std::string& byte) {
    return primo_campo(byte, [](const std::string& campo) {
        if (!testo::intestazione(campo)) return false;
        std::string piano;
        for (const char c : campo)
            if (c != ' ' && c != '\t') piano += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return riferimento::distanza(piano, "[generale]") <= 3;
    });
}

std::string testo_generale(quale_file qf, const std::string& byte) {
    std::string t = qf == quale_file::treno ? "the train file has no [generale]: none of its rows is read"
                                            : "the line description has no [generale]: none of its rows is read";
    if (const auto h = quasi_generale(byte))
        t += " (line " + std::to_string(h->first) + " holds '" + h->second + "', which is not [generale])";
    else
        t += "; write [generale] on a line of its own before the first row";
    return t;
}

}  // namespace

codifica riconosci_codifica(std::string_view b) {
    if (b.starts_with("\xFF\xFE")) return codifica::utf16le;
    if (b.starts_with("\xFE\xFF")) return codifica::utf16be;
    // Without a mark: the zero bytes of text in Latin letters stand at odd
    // offsets (little-endian) or even ones, and a Windows-1252 file has none.
    const std::size_t n = std::min<std::size_t>(b.size(), 4096) & ~std::size_t{1};
    if (n < 4) return codifica::windows_1252;
    std::size_t zeri_pari = 0, zeri_dispari = 0;
    for (std::size_t i = 0; i < n; i += 2) {
        zeri_pari += b[i] == '\0';
        zeri_dispari += b[i + 1] == '\0';
    }
    const std::size_t coppie = n / 2;
    if (zeri_dispari * 10 >= coppie * 7 && zeri_pari * 10 < coppie) return codifica::utf16le;
    if (zeri_pari * 10 >= coppie * 7 && zeri_dispari * 10 < coppie) return codifica::utf16be;
    return codifica::windows_1252;
}

std::optional<int> riga_generale(const std::string& byte) {
    const auto h = primo_campo(byte, [](const std::string& campo) { return testo::contiene_i(campo, "[generale]"); });
    return h ? std::optional<int>(h->first) : std::nullopt;
}

void problemi_file_interi(const std::string& linea, const std::string& treno, std::vector<problema>& p) {
    auto errore = [](quale_file qf, std::string_view regola, std::string testo) {
        return problema{.file = qf, .riga = 1, .colonna = 1, .livello = gravita::errore, .codice = std::nullopt,
                        .regola = std::string(regola), .metro = std::nullopt, .messaggio = std::move(testo),
                        .correlati = {}};
    };
    for (const auto qf : {quale_file::linea, quale_file::treno}) {
        const std::string& byte = qf == quale_file::linea ? linea : treno;
        const codifica c = riconosci_codifica(byte);
        if (c != codifica::windows_1252) {
            std::erase_if(p, [&](const problema& x) { return x.file == qf; });
            p.push_back(errore(qf, errore_codifica, testo_codifica("the file", c)));
            continue;
        }
        if (riga_generale(byte)) continue;
        std::erase_if(p, [&](const problema& x) { return x.file == qf && x.regola == "wrong-block"; });
        if (qf == quale_file::treno) {
            p.push_back(errore(qf, errore_generale, testo_generale(qf, byte)));
            continue;
        }
        // The compiler's 102 comes at the file's end, where it stopped looking.
        for (auto& x : p)
            if (x.file == qf && x.codice == codice::generale_mancante) {
                x.riga = 1;
                x.colonna = 1;
                x.messaggio = testo_generale(qf, byte);
            }
    }
    ordina(p);
}

std::vector<std::string> note_file_interi(const std::string& linea, const std::string& treno) {
    std::vector<std::string> note;
    for (const auto qf : {quale_file::linea, quale_file::treno}) {
        const std::string& byte = qf == quale_file::linea ? linea : treno;
        const std::string_view chi = qf == quale_file::linea ? "the line description" : "the train file";
        const codifica c = riconosci_codifica(byte);
        if (c != codifica::windows_1252)
            note.push_back(testo_codifica(chi, c));
        else if (!riga_generale(byte))
            note.push_back(testo_generale(qf, byte));
    }
    return note;
}

}  // namespace strumento
