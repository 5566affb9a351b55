#include "tools/regole.h"

namespace strumento {

std::span<const regola_avviso> regole_avviso() { return {}; }

bool regola_esiste(std::string_view) { return false; }

std::vector<problema> avvisi(const std::string&, const std::string&) { return {}; }

}  // namespace strumento
