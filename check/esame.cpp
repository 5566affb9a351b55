#include "check/esame.h"

#include <algorithm>

#include "check/file_interi.h"
#include "check/regole.h"
#include "check/regole_ferrovia.h"

namespace strumento {

std::vector<problema> esamina(const std::string& linea, const std::string& treno, const identificativi& id,
                              std::span<const std::string> spente) {
    return esamina(compila_in_memoria(linea, treno, id), linea, treno, spente);
}

std::vector<problema> esamina(const compilazione_in_memoria& c, const std::string& linea, const std::string& treno,
                              std::span<const std::string> spente) {
    auto problemi = c.problemi;
    const auto accesa = [&](const problema& a) {
        return std::find(spente.begin(), spente.end(), a.regola) == spente.end();
    };
    for (auto& a : avvisi(linea, treno))
        if (accesa(a)) problemi.push_back(std::move(a));
    for (auto& a : avvisi_ferrovia(c, linea, treno))
        if (accesa(a)) problemi.push_back(std::move(a));
    problemi_file_interi(linea, treno, problemi);
    return problemi;
}

}  // namespace strumento
