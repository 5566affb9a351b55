#include "scenario_text/emettitore.h"

#include <string>

#include "platform/file_atomico.h"
#include "text/testo_1252.h"

namespace testi_scenario {

std::string testo_file(std::span<const std::string_view> righe) {
    std::string testo;
    for (std::string_view riga : righe) {
        if (riga == sentinella) break;
        testo += testo::a_cp1252(riga);
        testo += "\r\n";
    }
    return testo;
}

void scrivi_documento(const std::filesystem::path& file, std::span<const std::string_view> righe) {
    piattaforma::scrivi_file_atomico(file, testo_file(righe));
}

}  // namespace testi_scenario
