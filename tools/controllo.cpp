#include "tools/controllo.h"

namespace strumento {

std::vector<problema> errori_di_compilazione(const std::string&, const std::string&, const identificativi&) {
    return {};
}

}  // namespace strumento
