#include "check/esame.h"

#include <algorithm>

#include "check/controllo.h"
#include "check/file_interi.h"
#include "check/regole.h"

namespace strumento {

std::vector<problema> esamina(const std::string& linea, const std::string& treno, const identificativi& id,
                              std::span<const std::string> spente) {
    auto problemi = errori_di_compilazione(linea, treno, id);
    for (auto& a : avvisi(linea, treno))
        if (std::find(spente.begin(), spente.end(), a.regola) == spente.end()) problemi.push_back(std::move(a));
    problemi_file_interi(linea, treno, problemi);
    return problemi;
}

}  // namespace strumento
