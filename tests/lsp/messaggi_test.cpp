// The framed message reader on the slips a client or a broken pipe makes:
// each is told as the JSON-RPC error to answer, and the next message is
// still read.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "lsp/messaggi.h"

namespace {

using lsp::lettore_messaggi;
using lsp::messaggio_letto;
using esito = messaggio_letto::esito;
namespace codice = lsp::codice_rpc;

std::string framed(const std::string& corpo) {
    return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

const std::string ping = R"({"jsonrpc":"2.0","id":7,"method":"ping"})";

// The headers of ping with its Content-Length line widened by blanks to n
// bytes, its CR included.
std::string lunghezza_larga(std::size_t n) {
    const std::string numero = std::to_string(ping.size());
    const std::string inizio = "Content-Length:";
    return inizio + std::string(n - inizio.size() - numero.size() - 1, ' ') + numero + "\r\n\r\n";
}

struct atteso {
    esito tipo;
    int codice = 0;  // for errors
};

std::vector<atteso> leggi_tutto(std::istream& in) {
    lettore_messaggi l(in);
    std::vector<atteso> r;
    for (int i = 0; i < 20; ++i) {
        const auto m = l.leggi();
        r.push_back({m.tipo, m.codice});
        if (m.tipo == esito::fine) break;
    }
    return r;
}

bool operator==(const atteso& a, const atteso& b) { return a.tipo == b.tipo && a.codice == b.codice; }

void PrintTo(const atteso& a, std::ostream* os) {
    *os << (a.tipo == esito::messaggio ? "message"
            : a.tipo == esito::errore  ? "error "
                                       : "end")
        << (a.codice ? std::to_string(a.codice) : "");
}

const atteso messaggio{esito::messaggio};
const atteso fine{esito::fine};
atteso errore(int c) { return {esito::errore, c}; }

TEST(LettoreMessaggi, OgniScivolataEUnErroreELaLetturaProsegue) {
    struct caso {
        const char* nome;
        std::string ingresso;
        std::vector<atteso> attesi;
    };
    const std::string risposta = R"({"jsonrpc":"2.0","id":1,"result":null})";
    const caso casi[] = {
        {"two messages back to back", framed(ping) + framed(ping), {messaggio, messaggio, fine}},
        {"headers in any case, Content-Type ignored",
         "content-LENGTH:" + std::to_string(ping.size()) +
             "\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n" + ping,
         {messaggio, fine}},
        {"bare LF line ends", "Content-Length: " + std::to_string(ping.size()) + "\n\n" + ping, {messaggio, fine}},
        {"a client's response", framed(risposta), {messaggio, fine}},
        {"no Content-Length",
         "Content-Type: x\r\n\r\n" + framed(ping),
         {errore(codice::errore_analisi), messaggio, fine}},
        {"a length that is not a number",
         "Content-Length: 12a\r\n\r\n" + framed(ping),
         {errore(codice::errore_analisi), messaggio, fine}},
        {"a negative length",
         "Content-Length: -3\r\n\r\n" + framed(ping),
         {errore(codice::errore_analisi), messaggio, fine}},
        {"a length past any integer",
         "Content-Length: 99999999999999999999999\r\n\r\n" + framed(ping),
         {errore(codice::errore_analisi), messaggio, fine}},
        {"a body that is not JSON",
         framed("{\"jsonrpc\":") + framed(ping),
         {errore(codice::errore_analisi), messaggio, fine}},
        {"a body that is not UTF-8",
         framed("{\"jsonrpc\":\"2.0\",\"method\":\"\xff\"}") + framed(ping),
         {errore(codice::errore_analisi), messaggio, fine}},
        {"a batch (an array)",
         framed("[" + ping + "]") + framed(ping),
         {errore(codice::richiesta_non_valida), messaggio, fine}},
        {"no jsonrpc version", framed(R"({"id":1,"method":"x"})"), {errore(codice::richiesta_non_valida), fine}},
        {"a method that is not a string",
         framed(R"({"jsonrpc":"2.0","id":1,"method":3})"),
         {errore(codice::richiesta_non_valida), fine}},
        {"an id that is an object",
         framed(R"({"jsonrpc":"2.0","id":{},"method":"x"})"),
         {errore(codice::richiesta_non_valida), fine}},
        {"neither method nor result",
         framed(R"({"jsonrpc":"2.0","id":1})"),
         {errore(codice::richiesta_non_valida), fine}},
        // The rest of the body is read as headers until the next Content-Length.
        {"a length given short",
         "Content-Length: 10\r\n\r\n" + ping + framed(ping),
         {errore(codice::errore_analisi), messaggio, fine}},
        {"the input ends inside a body", "Content-Length: 100\r\n\r\n" + ping, {errore(codice::errore_analisi), fine}},
        {"the input ends inside the headers", "Content-Length: 100\r\n", {fine}},
        {"a header line past the limit",
         std::string(lsp::limite_intestazione * 3, 'h') + "\r\n" + framed(ping),
         {messaggio, fine}},
        // The limit counts a header line's bytes with its CR.
        {"a Content-Length line exactly at the limit", lunghezza_larga(lsp::limite_intestazione) + ping,
         {messaggio, fine}},
        {"a Content-Length line one byte past the limit", lunghezza_larga(lsp::limite_intestazione + 1) + ping,
         {errore(codice::errore_analisi), fine}},
        {"blank lines between messages",
         "\r\n\r\n" + framed(ping) + "\r\n" + framed(ping),
         {messaggio, messaggio, fine}},
        {"nothing at all", "", {fine}},
    };
    for (const auto& c : casi) {
        std::istringstream in(c.ingresso);
        EXPECT_EQ(leggi_tutto(in), c.attesi) << c.nome;
    }
}

TEST(LettoreMessaggi, UnErroreConIdValidoLoRiporta) {
    std::istringstream in(framed(R"({"jsonrpc":"1.0","id":"a","method":"x"})"));
    lettore_messaggi l(in);
    const auto m = l.leggi();
    EXPECT_EQ(m.tipo, esito::errore);
    EXPECT_EQ(m.id, "a");
}

// A text, n bytes of 'x', then another text, made as they are read: a
// message over the limit goes by without the reader or the test holding it.
class flusso_lungo : public std::streambuf {
public:
    flusso_lungo(std::string prima, std::size_t n, std::string dopo)
        : prima_(std::move(prima)), resta_(n), dopo_(std::move(dopo)) {}

protected:
    int_type underflow() override {
        if (fase_ == 0) {
            fase_ = 1;
            setg(prima_.data(), prima_.data(), prima_.data() + prima_.size());
            return traits_type::to_int_type(prima_[0]);
        }
        if (resta_ > 0) {
            const std::size_t k = std::min(resta_, pezzo_.size());
            resta_ -= k;
            setg(pezzo_.data(), pezzo_.data(), pezzo_.data() + k);
            return traits_type::to_int_type(pezzo_[0]);
        }
        if (fase_ == 1) {
            fase_ = 2;
            setg(dopo_.data(), dopo_.data(), dopo_.data() + dopo_.size());
            return traits_type::to_int_type(dopo_[0]);
        }
        return traits_type::eof();
    }

private:
    std::string prima_;
    std::size_t resta_;
    std::string dopo_;
    std::string pezzo_ = std::string(1 << 16, 'x');
    int fase_ = 0;
};

TEST(LettoreMessaggi, UnMessaggioOltreIlLimiteESaltatoEIlSeguenteLetto) {
    const std::size_t n = lsp::limite_messaggio + 1;
    flusso_lungo flusso("Content-Length: " + std::to_string(n) + "\r\n\r\n", n, framed(ping));
    std::istream in(&flusso);
    EXPECT_EQ(leggi_tutto(in), (std::vector<atteso>{errore(codice::richiesta_non_valida), messaggio, fine}));
}

// At the limit the body is read (and is no JSON); one byte over, skipped unread.
TEST(LettoreMessaggi, UnMessaggioAlLimiteELetto) {
    const std::size_t n = lsp::limite_messaggio;
    flusso_lungo flusso("Content-Length: " + std::to_string(n) + "\r\n\r\n", n, framed(ping));
    std::istream in(&flusso);
    EXPECT_EQ(leggi_tutto(in), (std::vector<atteso>{errore(codice::errore_analisi), messaggio, fine}));
}

TEST(ScriviMessaggio, LaLunghezzaContaIByteNonICaratteri) {
    std::ostringstream out;
    lsp::scrivi_messaggio(out, {{"t", "città"}});
    const std::string corpo = R"({"t":"città"})";
    EXPECT_EQ(out.str(), "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo);
    EXPECT_EQ(corpo.size(), 14u);
}

}  // namespace
