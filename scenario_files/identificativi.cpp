#include "scenario_files/identificativi.h"

#include <algorithm>

namespace strumento {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view suffisso_linea = "_linea.txt";
constexpr std::string_view suffisso_treno = "-.txt";

}  // namespace

std::optional<std::string> linea_dal_nome(const fs::path& file) {
    const std::string n = file.filename().string();
    if (n.size() <= suffisso_linea.size() || !n.ends_with(suffisso_linea)) return std::nullopt;
    return n.substr(0, n.size() - suffisso_linea.size());
}

std::optional<identificativi> treno_dal_nome(const fs::path& file, const std::optional<std::string>& linea) {
    const std::string n = file.filename().string();
    if (!n.ends_with(suffisso_treno)) return std::nullopt;
    const std::string base = n.substr(0, n.size() - suffisso_treno.size());
    if (linea) {
        const std::string prefisso = *linea + "_";
        if (base.size() <= prefisso.size() || !base.starts_with(prefisso)) return std::nullopt;
        return identificativi{*linea, base.substr(prefisso.size())};
    }
    const auto trattino = base.rfind('_');
    if (trattino == std::string::npos || trattino == 0 || trattino + 1 == base.size()) return std::nullopt;
    return identificativi{base.substr(0, trattino), base.substr(trattino + 1)};
}

void controlla_identificativo(const std::string& valore, const std::string& nome) {
    if (valore.empty()) throw errore_uso(nome + " is empty");
    // Both folder separators, whatever the system: the compiled files travel
    // to Windows. Control characters make no name anyone can type.
    const bool fuori = std::any_of(valore.begin(), valore.end(), [](char c) {
        return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
    });
    if (fuori) throw errore_uso(nome + " \"" + valore + "\" cannot be part of a file name");
}

identificativi scegli_identificativi(const fs::path& file_linea, const fs::path& file_treno,
                                     const std::optional<std::string>& linea, const std::optional<std::string>& treno) {
    identificativi id;
    const auto da_file_linea = linea_dal_nome(file_linea);
    if (da_file_linea && linea && *da_file_linea != *linea)
        throw errore_uso("--linea " + *linea + " contradicts the line file's name " + file_linea.filename().string());
    if (da_file_linea) {
        id.linea = *da_file_linea;
    } else if (linea) {
        id.linea = *linea;
    } else if (const auto da_treno = treno_dal_nome(file_treno, std::nullopt)) {
        id.linea = da_treno->linea;
    } else {
        throw errore_uso("the line identifier is missing: name the line file ID_linea.txt or give --linea ID");
    }
    controlla_identificativo(id.linea, "the line identifier");

    const auto da_file_treno = treno_dal_nome(file_treno, id.linea);
    if (da_file_treno && treno && da_file_treno->treno != *treno)
        throw errore_uso("--treno " + *treno + " contradicts the train file's name " + file_treno.filename().string());
    if (da_file_treno) {
        id.treno = da_file_treno->treno;
    } else if (treno) {
        id.treno = *treno;
    } else {
        throw errore_uso("the train number is missing: name the train file " + id.linea +
                         "_N-.txt or give --treno N");
    }
    controlla_identificativo(id.treno, "the train number");
    return id;
}

}  // namespace strumento
