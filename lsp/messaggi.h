// The protocol's framing over a byte stream: a header block (lines ending in
// CR LF, one of them Content-Length), an empty line, then that many bytes of
// JSON. A reader that never gives up on a stream: whatever it cannot take is
// told as a JSON-RPC error to answer, and reading goes on at the next header.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

namespace lsp {

// JSON-RPC's and the protocol's error codes.
namespace codice_rpc {
inline constexpr int errore_analisi = -32700;
inline constexpr int richiesta_non_valida = -32600;
inline constexpr int metodo_ignoto = -32601;
inline constexpr int parametri_non_validi = -32602;
inline constexpr int errore_interno = -32603;
inline constexpr int non_inizializzato = -32002;
inline constexpr int richiesta_annullata = -32800;
inline constexpr int richiesta_fallita = -32803;  // valid, but it could not be done
}  // namespace codice_rpc

// A message body over this many bytes is skipped unread.
inline constexpr std::size_t limite_messaggio = std::size_t{64} << 20;
// A header line over this many bytes is not a header: skipped to its end.
inline constexpr std::size_t limite_intestazione = 8192;

struct messaggio_letto {
    enum class esito {
        messaggio,  // corpo holds a JSON object with "jsonrpc": "2.0"
        errore,     // answer with codice and testo (id null unless id is set)
        fine,       // end of input
    };
    esito tipo = esito::fine;
    nlohmann::json corpo;
    int codice = 0;
    std::string testo;
    nlohmann::json id;  // for an invalid request that still had a usable id
};

class lettore_messaggi {
public:
    explicit lettore_messaggi(std::istream& in) : in_(in) {}
    messaggio_letto leggi();

private:
    // One header line without its line end; false at end of input. A line
    // over the limit comes back empty with troppo_lunga set.
    bool riga(std::string& r, bool& troppo_lunga);
    std::istream& in_;
};

// The message framed, written and flushed.
void scrivi_messaggio(std::ostream& out, const nlohmann::json& m);

// The JSON text of a message as written: invalid UTF-8 in a string (text of
// a file never reaches here raw, but a name might) is replaced, not thrown.
std::string testo_json(const nlohmann::json& m);

}  // namespace lsp
