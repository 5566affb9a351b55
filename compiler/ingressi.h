// Where the compile driver takes its two input files from, by name: the
// run's folder, or memory for a tool that compiles the same texts again and
// again. Deleting a file read is the driver's, whatever the source.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace compilatore {

class ingressi {
public:
    virtual ~ingressi() = default;
    // The whole content of the named file; nullopt when there is no such
    // file. Throws when it is there but cannot be read.
    virtual std::optional<std::string> leggi(const std::string& nome) = 0;
    // The file has been read and goes. Throws when it cannot be deleted.
    virtual void elimina(const std::string& nome) = 0;
};

// The files of a folder (only regular files count as there).
class ingressi_cartella final : public ingressi {
public:
    explicit ingressi_cartella(std::filesystem::path cartella) : cartella_(std::move(cartella)) {}
    std::optional<std::string> leggi(const std::string& nome) override;
    void elimina(const std::string& nome) override;

private:
    std::filesystem::path cartella_;
};

// Files held in memory, by name. Deleting one takes it away.
class ingressi_in_memoria final : public ingressi {
public:
    void metti(const std::string& nome, std::string contenuto) { file_[nome] = std::move(contenuto); }
    bool presente(const std::string& nome) const { return file_.contains(nome); }
    std::optional<std::string> leggi(const std::string& nome) override {
        const auto f = file_.find(nome);
        if (f == file_.end()) return std::nullopt;
        return f->second;
    }
    void elimina(const std::string& nome) override { file_.erase(nome); }

private:
    std::map<std::string, std::string> file_;
};

}  // namespace compilatore
