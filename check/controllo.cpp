#include "check/controllo.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "memory_compile/errori.h"

namespace strumento {

namespace {

// Rows of a file whose first field holds a keyword of the line description,
// and those holding one of the train file. Each line is looked at once, up
// to its first comma within it.
std::pair<int, int> righe_per_lettore(const std::string& testo) {
    std::pair<int, int> conta{0, 0};
    const std::string_view t(testo);
    std::size_t inizio = 0;
    while (inizio < t.size()) {
        std::size_t fine = t.find_first_of("\r\n", inizio);
        if (fine == std::string_view::npos) fine = t.size();
        const std::string_view riga = t.substr(inizio, fine - inizio);
        const std::string_view campo = riga.substr(0, std::min(riga.find(','), riga.size()));
        if (di_una_voce(quale_file::linea, campo)) ++conta.first;
        if (di_una_voce(quale_file::treno, campo)) ++conta.second;
        inizio = fine + 1;
    }
    return conta;
}

}  // namespace

std::vector<problema> errori_di_compilazione(const std::string& linea, const std::string& treno,
                                             const identificativi& id, giri_controllo giri) {
    return compila_in_memoria(linea, treno, id, {.giri = giri}).problemi;
}

bool sembrano_scambiati(const std::string& linea, const std::string& treno) {
    const auto [linea_l, linea_t] = righe_per_lettore(linea);
    const auto [treno_l, treno_t] = righe_per_lettore(treno);
    return linea_t > linea_l && treno_l > treno_t;
}

}  // namespace strumento
