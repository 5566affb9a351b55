#include "lsp/messaggi.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>
#include <string_view>

namespace lsp {

namespace {

std::string minuscolo(std::string_view s) {
    std::string r(s);
    for (auto& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

std::string_view senza_spazi(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

constexpr std::string_view nome_lunghezza = "content-length";

// The value of a Content-Length header: digits only, no sign, no overflow.
std::optional<std::size_t> lunghezza(std::string_view valore) {
    valore = senza_spazi(valore);
    if (valore.empty() || valore.size() > 18) return std::nullopt;
    std::size_t n = 0;
    const auto [fine, err] = std::from_chars(valore.data(), valore.data() + valore.size(), n);
    if (err != std::errc() || fine != valore.data() + valore.size()) return std::nullopt;
    return n;
}

messaggio_letto errore(int codice, std::string testo, nlohmann::json id = nullptr) {
    messaggio_letto m;
    m.tipo = messaggio_letto::esito::errore;
    m.codice = codice;
    m.testo = std::move(testo);
    m.id = std::move(id);
    return m;
}

// An id JSON-RPC allows: a number or a string.
bool id_valido(const nlohmann::json& id) { return id.is_string() || id.is_number_integer() || id.is_number_unsigned(); }

// The body as JSON-RPC takes it: an object, version 2.0, a method that is a
// string or else a response (id and result or error).
messaggio_letto valuta(std::string_view corpo) {
    nlohmann::json j = nlohmann::json::parse(corpo.begin(), corpo.end(), nullptr, false);
    if (j.is_discarded()) return errore(codice_rpc::errore_analisi, "the message is not JSON");
    if (!j.is_object()) return errore(codice_rpc::richiesta_non_valida, "a message must be a JSON object");
    nlohmann::json id = nullptr;
    if (const auto i = j.find("id"); i != j.end() && id_valido(*i)) id = *i;
    const auto v = j.find("jsonrpc");
    if (v == j.end() || *v != "2.0") return errore(codice_rpc::richiesta_non_valida, "\"jsonrpc\" must be \"2.0\"", id);
    const auto m = j.find("method");
    if (m != j.end()) {
        if (!m->is_string()) return errore(codice_rpc::richiesta_non_valida, "\"method\" must be a string", id);
        if (const auto i = j.find("id"); i != j.end() && !id_valido(*i))
            return errore(codice_rpc::richiesta_non_valida, "\"id\" must be a number or a string");
    } else if (!j.contains("id") || !(j.contains("result") || j.contains("error"))) {
        return errore(codice_rpc::richiesta_non_valida, "a message needs a \"method\", or an \"id\" and a result",
                      id);
    }
    messaggio_letto r;
    r.tipo = messaggio_letto::esito::messaggio;
    r.corpo = std::move(j);
    return r;
}

}  // namespace

bool lettore_messaggi::riga(std::string& r, bool& troppo_lunga) {
    r.clear();
    troppo_lunga = false;
    for (;;) {
        const auto c = in_.get();
        if (c == std::char_traits<char>::eof()) return !r.empty() || troppo_lunga;
        if (c == '\n') {
            if (!r.empty() && r.back() == '\r') r.pop_back();
            return true;
        }
        if (troppo_lunga) continue;
        r.push_back(static_cast<char>(c));
        if (r.size() > limite_intestazione) {
            troppo_lunga = true;
            r.clear();
        }
    }
}

messaggio_letto lettore_messaggi::leggi() {
    {
        std::optional<std::size_t> n;
        bool lunghezza_errata = false;
        bool qualcosa = false;  // a line of the block held anything
        std::string r;
        bool troppo_lunga = false;
        bool chiuso = false;
        while (riga(r, troppo_lunga)) {
            if (r.empty() && !troppo_lunga) {
                if (qualcosa) {
                    chiuso = true;
                    break;
                }
                continue;  // blank lines between messages
            }
            qualcosa = true;
            // A header may follow the rest of a body whose length was given
            // short: the reader takes up again at "Content-Length".
            const std::string basso = minuscolo(r);
            const auto dove = basso.find(nome_lunghezza);
            if (dove == std::string::npos) continue;  // Content-Type and any other header
            std::string_view resto = std::string_view(r).substr(dove + nome_lunghezza.size());
            resto = senza_spazi(resto);
            if (resto.empty() || resto.front() != ':') {
                lunghezza_errata = true;
                continue;
            }
            n = lunghezza(resto.substr(1));
            if (!n) lunghezza_errata = true;
        }
        if (!chiuso) {
            // End of input in the middle of a header block: nothing to answer
            // that a client would still read.
            messaggio_letto fine;
            fine.tipo = messaggio_letto::esito::fine;
            return fine;
        }
        if (!n) {
            return errore(codice_rpc::errore_analisi, lunghezza_errata ? "the Content-Length header is not a number"
                                                                       : "a message without a Content-Length header");
        }
        if (*n > limite_messaggio) {
            // Skipped in pieces: nothing of it is kept.
            std::array<char, 65536> pezzo{};
            std::size_t resta = *n;
            while (resta > 0 && in_) {
                const auto k = std::min(resta, pezzo.size());
                in_.read(pezzo.data(), static_cast<std::streamsize>(k));
                resta -= static_cast<std::size_t>(in_.gcount());
            }
            return errore(codice_rpc::richiesta_non_valida,
                          "a message of " + std::to_string(*n) + " bytes, over the limit of " +
                              std::to_string(limite_messaggio) + ": skipped");
        }
        std::string corpo(*n, '\0');
        in_.read(corpo.data(), static_cast<std::streamsize>(*n));
        const auto letti = static_cast<std::size_t>(in_.gcount());
        if (letti < *n) {
            return errore(codice_rpc::errore_analisi, "the input ended " + std::to_string(*n - letti) +
                                                          " bytes before the end of the message");
        }
        return valuta(corpo);
    }
}

std::string testo_json(const nlohmann::json& m) {
    return m.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void scrivi_messaggio(std::ostream& out, const nlohmann::json& m) {
    const std::string corpo = testo_json(m);
    out << "Content-Length: " << corpo.size() << "\r\n\r\n" << corpo;
    out.flush();
}

}  // namespace lsp
