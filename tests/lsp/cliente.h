// A language client over pipes, as an editor is one: it starts the server,
// writes framed messages to its input and reads framed messages from its
// output, each wait bounded so that a server that hangs fails the test
// instead of stopping it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace test_lsp {

using nlohmann::json;
using std::chrono::milliseconds;

class cliente {
public:
    explicit cliente(std::vector<std::string> argv) {
        int ingresso[2];
        int uscita[2];
        if (::pipe(ingresso) != 0 || ::pipe(uscita) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(ingresso[0], 0);
            ::dup2(uscita[1], 1);
            ::close(ingresso[1]);
            ::close(uscita[0]);
            std::vector<char*> args;
            for (auto& a : argv) args.push_back(a.data());
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
        ::close(ingresso[0]);
        ::close(uscita[1]);
        scrivi_ = ingresso[1];
        leggi_ = uscita[0];
        ::signal(SIGPIPE, SIG_IGN);
    }
    ~cliente() {
        chiudi_ingresso();
        if (leggi_ >= 0) ::close(leggi_);
        if (pid_ > 0 && !uscito_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    cliente(const cliente&) = delete;
    cliente& operator=(const cliente&) = delete;

    void invia_grezzo(const std::string& byte) {
        std::size_t fatto = 0;
        while (fatto < byte.size()) {
            const auto n = ::write(scrivi_, byte.data() + fatto, byte.size() - fatto);
            if (n <= 0) return;  // the server is gone: the reads will tell
            fatto += static_cast<std::size_t>(n);
        }
    }
    void invia(const json& m) {
        const std::string corpo = m.dump();
        invia_grezzo("Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo);
    }
    void richiesta(int id, const std::string& metodo, const json& params = json::object()) {
        invia({{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", params}});
    }
    void notifica(const std::string& metodo, const json& params = json::object()) {
        invia({{"jsonrpc", "2.0"}, {"method", metodo}, {"params", params}});
    }
    void chiudi_ingresso() {
        if (scrivi_ >= 0) ::close(scrivi_);
        scrivi_ = -1;
    }

    // The client stops reading: the server's next write fails.
    void chiudi_uscita() {
        if (leggi_ >= 0) ::close(leggi_);
        leggi_ = -1;
        chiuso_ = true;
    }

    // The next message, or none when the wait runs out or the output ends.
    std::optional<json> ricevi(milliseconds attesa) {
        const auto fine = std::chrono::steady_clock::now() + attesa;
        for (;;) {
            if (auto m = estrai()) return m;
            const auto resta = std::chrono::duration_cast<milliseconds>(fine - std::chrono::steady_clock::now());
            if (resta.count() <= 0 || chiuso_) return std::nullopt;
            pollfd p{leggi_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(resta.count())) <= 0) continue;
            char b[65536];
            const auto n = ::read(leggi_, b, sizeof b);
            if (n <= 0) chiuso_ = true;
            else buffer_.append(b, static_cast<std::size_t>(n));
        }
    }

    // The first message that satisfies the test; those before it are kept
    // in passati.
    std::optional<json> attendi(const std::function<bool(const json&)>& test, milliseconds attesa) {
        const auto fine = std::chrono::steady_clock::now() + attesa;
        for (;;) {
            const auto resta = std::chrono::duration_cast<milliseconds>(fine - std::chrono::steady_clock::now());
            if (resta.count() <= 0) return std::nullopt;
            auto m = ricevi(resta);
            if (!m) return std::nullopt;
            if (test(*m)) return m;
            passati.push_back(std::move(*m));
        }
    }
    std::optional<json> risposta(const json& id, milliseconds attesa) {
        return attendi([&](const json& m) { return m.contains("id") && m["id"] == id && !m.contains("method"); },
                       attesa);
    }
    std::optional<json> diagnostiche(const std::string& uri, milliseconds attesa) {
        return attendi(
            [&](const json& m) {
                return m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri;
            },
            attesa);
    }

    // The exit status, or none when it has not ended within the wait.
    std::optional<int> stato_uscita(milliseconds attesa) {
        const auto fine = std::chrono::steady_clock::now() + attesa;
        for (;;) {
            int st = 0;
            const pid_t r = ::waitpid(pid_, &st, WNOHANG);
            if (r == pid_) {
                uscito_ = true;
                return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
            }
            if (std::chrono::steady_clock::now() > fine) return std::nullopt;
            ::usleep(10000);
        }
    }

    // Everything left on the output once it has ended.
    std::string resto() {
        while (!chiuso_) ricevi(milliseconds(100));
        return buffer_;
    }

    std::vector<json> passati;

private:
    // One whole framed message from the buffer.
    std::optional<json> estrai() {
        const auto fine_testa = buffer_.find("\r\n\r\n");
        if (fine_testa == std::string::npos) return std::nullopt;
        const std::string testa = buffer_.substr(0, fine_testa);
        const auto cl = testa.find("Content-Length: ");
        if (cl == std::string::npos) throw std::runtime_error("a message without Content-Length: " + testa);
        const std::size_t n = std::stoul(testa.substr(cl + 16));
        if (buffer_.size() < fine_testa + 4 + n) return std::nullopt;
        json m = json::parse(buffer_.substr(fine_testa + 4, n));
        buffer_.erase(0, fine_testa + 4 + n);
        return m;
    }

    pid_t pid_ = -1;
    int scrivi_ = -1;
    int leggi_ = -1;
    bool chiuso_ = false;
    bool uscito_ = false;
    std::string buffer_;
};

}  // namespace test_lsp
