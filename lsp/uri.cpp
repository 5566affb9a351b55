#include "lsp/uri.h"

#include <cctype>

namespace lsp {

namespace {

int cifra_esadecimale(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> senza_escape(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            r.push_back(s[i]);
            continue;
        }
        if (i + 2 >= s.size()) return std::nullopt;
        const int a = cifra_esadecimale(s[i + 1]);
        const int b = cifra_esadecimale(s[i + 2]);
        if (a < 0 || b < 0) return std::nullopt;
        r.push_back(static_cast<char>(a * 16 + b));
        i += 2;
    }
    return r;
}

bool lettera(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

std::string con_escape(std::string_view s) {
    static constexpr char cifre[] = "0123456789ABCDEF";
    std::string r;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (std::isalnum(b) && b < 0x80) r.push_back(c);
        else if (c == '-' || c == '.' || c == '_' || c == '~' || c == '/') r.push_back(c);
        else {
            r.push_back('%');
            r.push_back(cifre[b >> 4]);
            r.push_back(cifre[b & 0xF]);
        }
    }
    return r;
}

}  // namespace

std::optional<std::string> percorso_da_uri(std::string_view uri, stile_percorso stile) {
    constexpr std::string_view schema = "file://";
    if (uri.size() < schema.size()) return std::nullopt;
    for (std::size_t i = 0; i < schema.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(uri[i])) != schema[i]) return std::nullopt;
    std::string_view resto = uri.substr(schema.size());
    // A query or a fragment is no part of a file's name.
    resto = resto.substr(0, resto.find_first_of("?#"));
    const auto barra = resto.find('/');
    const std::string_view host = resto.substr(0, barra);
    std::string_view via = barra == std::string_view::npos ? std::string_view() : resto.substr(barra);
    auto p = senza_escape(via);
    if (!p || p->empty()) return std::nullopt;
    if (stile == stile_percorso::posix) return p;
    if (!host.empty() && host != "localhost") {
        const auto h = senza_escape(host);
        if (!h) return std::nullopt;
        return "//" + *h + *p;
    }
    // "/C:/dir" is the drive's path "C:/dir".
    if (p->size() >= 3 && (*p)[0] == '/' && lettera((*p)[1]) && (*p)[2] == ':') p->erase(0, 1);
    return p;
}

std::string uri_da_percorso(std::string_view percorso, stile_percorso stile) {
    std::string p(percorso);
    if (stile == stile_percorso::windows) {
        for (auto& c : p)
            if (c == '\\') c = '/';
        if (p.size() >= 2 && p[0] == '/' && p[1] == '/') {
            const auto fine_host = p.find('/', 2);
            const std::string host = p.substr(2, fine_host - 2);
            return "file://" + con_escape(host) +
                   (fine_host == std::string::npos ? "/" : con_escape(p.substr(fine_host)));
        }
        if (p.size() >= 2 && lettera(p[0]) && p[1] == ':') return "file:///" + p.substr(0, 2) + con_escape(p.substr(2));
    }
    return "file://" + con_escape(p);
}

std::string uri_accanto(std::string_view uri, std::string_view nome) {
    const auto barra = uri.rfind('/');
    const std::string_view cartella = barra == std::string_view::npos ? std::string_view() : uri.substr(0, barra + 1);
    return std::string(cartella) + con_escape(nome);
}

std::string nome_da_uri(std::string_view uri) {
    uri = uri.substr(0, uri.find_first_of("?#"));
    const auto barra = uri.rfind('/');
    const std::string_view ultimo = barra == std::string_view::npos ? uri : uri.substr(barra + 1);
    const auto n = senza_escape(ultimo);
    return n ? *n : std::string(ultimo);
}

}  // namespace lsp
