#include "check/regole_ferrovia.h"

#include "check/regole_ferrovia_interne.h"

namespace strumento {

namespace {

// Each family of rules in a file of its own; a family adds its problems to
// the list it is given.
using famiglia = void (*)(const regole_ferrovia::coppia_compilata&, std::vector<problema>&);

const std::vector<famiglia> famiglie = {regole_ferrovia::regole_orario};

}  // namespace

std::vector<problema> avvisi_ferrovia(const compilazione_in_memoria& c, const std::string& linea,
                                      const std::string& treno) {
    const regole_ferrovia::coppia_compilata coppia{c, linea, treno};
    std::vector<problema> p;
    for (const famiglia f : famiglie) f(coppia, p);
    ordina(p);
    return p;
}

}  // namespace strumento
