#include "check/regole_ferrovia.h"

#include "check/regole_ferrovia_interne.h"
#include "check/regole_ferrovia_luoghi.h"

namespace strumento {

namespace {

// Each family of rules in a file of its own; a family adds its problems to
// the list it is given.
using famiglia = void (*)(const regole_ferrovia::coppia_compilata&, std::vector<problema>&);

const std::vector<famiglia> famiglie = {
    regole_ferrovia::regole_progressive,
    regole_ferrovia::regole_ripetizione,
    regole_ferrovia::regole_curve,
    regole_ferrovia::regole_cartelli,
    regole_ferrovia::avvisi_stazioni,
    regole_ferrovia::avvisi_rallentamenti,
    regole_ferrovia::avvisi_segnali,
    regole_ferrovia::regole_orario,
};

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
