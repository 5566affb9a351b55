#include "documents/documenti.h"

#include <string_view>

#include "scenario_text/emettitore.h"

namespace strumento::documenti {

std::string byte_documento(const documento& d) {
    const std::vector<std::string_view> righe(d.righe.begin(), d.righe.end());
    return testi_scenario::testo_file(righe);
}

}  // namespace strumento::documenti
