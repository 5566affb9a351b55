// The builder run as a user runs it: a copy of the executable in a folder of
// its own, no display.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

#include "tests/cartella_temporanea.h"
#include "tests/processo.h"

namespace {

namespace fs = std::filesystem;

fs::path copia_eseguibile(const fs::path& dir) {
    const fs::path exe = dir / "scenario_builder";
    fs::copy_file(SCENARIO_BUILDER_PATH, exe);
    return exe;
}

std::map<std::string, std::string> contenuti(const fs::path& dir) {
    std::map<std::string, std::string> m;
    for (const auto& nome : test_util::elenco(dir))
        if (nome != "scenario_builder") m[nome] = test_util::leggi(dir / nome);
    return m;
}

TEST(Esecuzione, SenzaSchermoScriveNellaCartellaDellEseguibileEFinisceConZero) {
    test_util::CartellaTemporanea dir;
    test_util::CartellaTemporanea altrove;
    const fs::path exe = copia_eseguibile(dir.percorso());
    // Started from another current folder: the files still go beside the executable.
    const fs::path prima = fs::current_path();
    fs::current_path(altrove.percorso());
    const auto esito = test_util::esegui({exe.string()});
    fs::current_path(prima);

    EXPECT_EQ(esito.stato, 0) << esito.errori;
    EXPECT_EQ(esito.errori, "Attendere\n");
    EXPECT_TRUE(test_util::elenco(altrove.percorso()).empty());
    const auto primi = contenuti(dir.percorso());
    std::vector<std::string> nomi;
    for (const auto& [nome, testo] : primi) nomi.push_back(nome);
    // The three documents and the three compiled files; both input files were
    // read and deleted.
    EXPECT_EQ(nomi, (std::vector<std::string>{"Valdora_Sarenta_731.dat", "Valdora_Sarenta_731.sim",
                                              "Valdora_Sarenta_731_note.txt", "Valdora_Sarenta_731_rallentamenti.txt",
                                              "Valdora_Sarenta_731_scheda_treno.txt", "Valdora_Sarenta_linea.dat"}));

    // A second run gives the same bytes, also over longer earlier files.
    for (const auto& [nome, testo] : primi) test_util::scrivi(dir.percorso() / nome, testo + std::string(3000, '#'));
    const auto di_nuovo = test_util::esegui({exe.string()});
    EXPECT_EQ(di_nuovo.stato, 0) << di_nuovo.errori;
    EXPECT_EQ(contenuti(dir.percorso()), primi);
}

// Several builders started together in one folder, as a double double-click
// does: they take turns, so each finds its own input files, ends with 0, and
// the folder holds the six files of a single run, byte for byte, and nothing
// else.
TEST(Esecuzione, BuilderAvviatiInsiemeNellaStessaCartellaFannoATurno) {
    test_util::CartellaTemporanea solo;
    const auto esito_solo = test_util::esegui({copia_eseguibile(solo.percorso()).string()});
    ASSERT_EQ(esito_solo.stato, 0) << esito_solo.errori;
    const auto attesi = contenuti(solo.percorso());
    ASSERT_EQ(attesi.size(), 6u);

    test_util::CartellaTemporanea dir;
    const fs::path exe = copia_eseguibile(dir.percorso());
    constexpr int quanti = 8;
    std::vector<pid_t> figli;
    for (int i = 0; i < quanti; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int nulla = ::open("/dev/null", O_WRONLY);
            ::dup2(nulla, 2);
            ::unsetenv("DISPLAY");
            ::execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        figli.push_back(pid);
    }
    for (const pid_t pid : figli) {
        int st = 0;
        ::waitpid(pid, &st, 0);
        EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << "status " << st;
    }
    EXPECT_EQ(contenuti(dir.percorso()), attesi);
    EXPECT_EQ(test_util::elenco(dir.percorso()).size(), attesi.size() + 1) << "nothing but the executable beside them";
}

TEST(Esecuzione, CartellaNonScrivibileFinisceConDueEUnaRigaDiRapporto) {
    test_util::CartellaTemporanea dir;
    const fs::path exe = copia_eseguibile(dir.percorso());
    test_util::scrivi(dir.percorso() / "Valdora_Sarenta_linea.txt", "vecchio");
    fs::permissions(dir.percorso(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    std::vector<std::string> prefisso;
    if (::geteuid() == 0) {
        // Root writes anywhere: run as an unprivileged user to meet the read-only folder.
        fs::permissions(dir.percorso(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
        prefisso = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    }
    const auto esito = test_util::esegui({exe.string()}, "", prefisso);
    EXPECT_EQ(esito.stato, 2) << esito.errori;
    // "Attendere", then exactly one line that names the file it could not write.
    const auto righe = esito.errori.substr(esito.errori.find('\n') + 1);
    EXPECT_EQ(std::count(righe.begin(), righe.end(), '\n'), 1) << righe;
    EXPECT_NE(righe.find("Valdora_Sarenta_linea.txt"), std::string::npos) << righe;
    EXPECT_EQ(test_util::leggi(dir.percorso() / "Valdora_Sarenta_linea.txt"), "vecchio");
    EXPECT_EQ(test_util::elenco(dir.percorso()),
              (std::vector<std::string>{"Valdora_Sarenta_linea.txt", "scenario_builder"}));
}

// Each of the six files read-only in turn (no write permission for the
// user): the run stops before its first file, with status 2 and one line
// naming that file, and every file keeps its earlier bytes. The same file
// writable by its owner alone is replaced as usual.
TEST(Esecuzione, UnFileDiSolaLetturaFermaLaCorsaPrimaDiTutto) {
    test_util::CartellaTemporanea dir;
    const fs::path exe = copia_eseguibile(dir.percorso());
    ASSERT_EQ(test_util::esegui({exe.string()}).stato, 0);
    std::map<std::string, std::string> prima;
    for (const auto& [nome, testo] : contenuti(dir.percorso())) {
        prima[nome] = "prima " + nome;
        test_util::scrivi(dir.percorso() / nome, prima[nome]);
    }
    ASSERT_EQ(prima.size(), 6u);
    for (const auto& [nome, _] : prima) {
        SCOPED_TRACE(nome);
        const fs::path f = dir.percorso() / nome;
        fs::permissions(f, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const auto esito = test_util::esegui({exe.string()});
        EXPECT_EQ(esito.stato, 2) << esito.errori;
        const auto righe = esito.errori.substr(esito.errori.find('\n') + 1);
        EXPECT_EQ(std::count(righe.begin(), righe.end(), '\n'), 1) << righe;
        EXPECT_TRUE(righe.starts_with("scenario_builder: cannot replace " + f.string() + ", which is read-only"))
            << righe;
        EXPECT_EQ(contenuti(dir.percorso()), prima);
        fs::permissions(f, fs::perms::owner_read | fs::perms::owner_write);
    }
    const auto esito = test_util::esegui({exe.string()});
    EXPECT_EQ(esito.stato, 0) << esito.errori;
    const auto dopo = contenuti(dir.percorso());
    ASSERT_EQ(dopo.size(), 6u);
    for (const auto& [nome, testo] : dopo) EXPECT_NE(testo, prima[nome]) << nome;
}

}  // namespace
