#include "platform/avanzi.h"

#include <algorithm>

namespace piattaforma::avanzi {

bool numero_processo(std::u8string_view testo) {
    return !testo.empty() && testo.size() <= 19 &&
           std::all_of(testo.begin(), testo.end(), [](char8_t c) { return c >= u8'0' && c <= u8'9'; });
}

bool togli_se_abbandonati(const std::filesystem::path& presa, const std::function<void()>& togli) {
    const presa_file p(presa, false);
    if (p.esito() != presa_file::stato::tenuta) return false;
    togli();
    return true;
}

}  // namespace piattaforma::avanzi
