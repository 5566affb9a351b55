// scenario_tool check on a pair of files (split as for fuzz_compilatore): the
// repeated compiles, the whole-file findings and every warning rule, whatever
// the bytes. Each problem stands on a line of its file, an error carries a
// known code or the name of one of check's own errors, a warning a known rule.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <algorithm>

#include "check/controllo.h"
#include "check/file_interi.h"
#include "check/regole.h"
#include "model/codici.h"

namespace {

// Lines as the readers count them: a CR LF, a lone CR or a lone LF ends one.
int righe(std::string_view t) {
    int n = 1;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
        if (t[i] == '\r' || t[i] == '\n') ++n;
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
    const std::string_view tutto(reinterpret_cast<const char*>(dati), n);
    constexpr std::string_view separatore = "\n====\n";
    const auto taglio = tutto.find(separatore);
    const std::string linea(tutto.substr(0, taglio));
    const std::string treno(taglio == std::string_view::npos ? "" : tutto.substr(taglio + separatore.size()));
    auto problemi = strumento::errori_di_compilazione(linea, treno, {"F", "1"});
    for (auto& a : strumento::avvisi(linea, treno)) problemi.push_back(std::move(a));
    strumento::problemi_file_interi(linea, treno, problemi);
    const auto errore_del_controllo = [](const std::string& nome) {
        const auto e = strumento::errori_controllo();
        return std::any_of(e.begin(), e.end(), [&](const auto& x) { return x.nome == nome; });
    };
    const auto fuori = [&](strumento::quale_file f, int riga) {
        return riga < 1 || riga > righe(f == strumento::quale_file::linea ? linea : treno);
    };
    for (const auto& p : problemi) {
        if (fuori(p.file, p.riga) || p.messaggio.empty()) std::abort();
        if (p.livello == strumento::gravita::errore && !(p.codice && modello::codice_noto(*p.codice)) &&
            !(!p.codice && errore_del_controllo(p.regola)))
            std::abort();
        if (p.livello == strumento::gravita::avviso && !strumento::regola_esiste(p.regola)) std::abort();
        for (const auto& r : p.correlati)
            if (fuori(r.file, r.riga)) std::abort();
    }
    return 0;
}
