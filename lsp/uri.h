// file:// URIs as editors send them, and the paths they name: percent
// escapes, and Windows drive letters (file:///C:/..., file:///c%3A/...).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lsp {

enum class stile_percorso { posix, windows };

#ifdef _WIN32
inline constexpr stile_percorso stile_nativo = stile_percorso::windows;
#else
inline constexpr stile_percorso stile_nativo = stile_percorso::posix;
#endif

// The path (UTF-8) of a file: URI; none for another scheme or a malformed
// escape. Windows: "C:/dir/f.txt", and a host becomes a UNC path.
std::optional<std::string> percorso_da_uri(std::string_view uri, stile_percorso stile = stile_nativo);

// The URI of a path (UTF-8): every byte but letters, digits, "-._~/" escaped;
// Windows backslashes become slashes, the drive letter keeps its colon.
std::string uri_da_percorso(std::string_view percorso, stile_percorso stile = stile_nativo);

// The URI of the file called nome (not escaped) in the same folder as uri,
// written as the editor wrote the folder.
std::string uri_accanto(std::string_view uri, std::string_view nome);

// The last segment of a URI, unescaped: the file's name.
std::string nome_da_uri(std::string_view uri);

}  // namespace lsp
