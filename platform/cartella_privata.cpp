#include "platform/cartella_privata.h"

#include <cstdint>
#include <system_error>
#include <vector>

#include "platform/elenco_cartella.h"
#include "platform/file_sistema.h"

namespace piattaforma::dettaglio {

using piattaforma::elenco_cartella;

namespace fs = std::filesystem;

void togli_cartelle_abbandonate(const fs::path& dentro, const std::string& prefisso) {
    std::error_code err;
    std::vector<fs::path> abbandonate;
    for (const auto& voce : elenco_cartella(dentro, err)) {
        const std::u8string nome = voce.nome.u8string();
        if (nome.size() < prefisso.size() + 8 ||
            nome.compare(0, prefisso.size(), reinterpret_cast<const char8_t*>(prefisso.data()), prefisso.size()) != 0)
            continue;
        // PREFIX, digits, '~', six characters.
        const std::size_t tilde = nome.size() - 7;
        if (nome[tilde] != u8'~' || tilde == prefisso.size() || tilde - prefisso.size() > 19) continue;
        std::uint64_t processo = 0;
        bool cifre = true;
        for (std::size_t k = prefisso.size(); k < tilde && cifre; ++k) {
            cifre = nome[k] >= u8'0' && nome[k] <= u8'9';
            processo = processo * 10 + static_cast<std::uint64_t>(nome[k] - u8'0');
        }
        if (!cifre || !voce.cartella || processo == sistema::id_processo() || sistema::processo_vivo(processo)) continue;
        abbandonate.push_back(dentro / voce.nome);
    }
    for (const auto& a : abbandonate) togli_tutto(a);
}

}  // namespace piattaforma::dettaglio
