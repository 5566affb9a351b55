#include "platform/avanzi.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace piattaforma {

namespace {

struct identita {
    dev_t dispositivo;
    ino_t nodo;
    bool operator==(const identita&) const = default;
};

// The lock files this process holds. Where the file system carries flock
// as a record lock (NFS), a second open of one of them in this process would
// take the lock again, and closing that would let the first holder's go: so
// this process never opens them again.
struct tenute {
    std::mutex m;
    std::vector<identita> file;
};

tenute& di_questo_processo() {
    static tenute t;
    return t;
}

bool tenuta_qui(const identita& id) {
    auto& t = di_questo_processo();
    const std::lock_guard<std::mutex> g(t.m);
    return std::find(t.file.begin(), t.file.end(), id) != t.file.end();
}

void registra(const identita& id, bool tenuta) {
    auto& t = di_questo_processo();
    const std::lock_guard<std::mutex> g(t.m);
    if (tenuta) t.file.push_back(id);
    else if (const auto i = std::find(t.file.begin(), t.file.end(), id); i != t.file.end()) t.file.erase(i);
}

std::optional<identita> identita_di(const std::filesystem::path& file) {
    struct stat s {};
    if (::lstat(file.c_str(), &s) != 0) return std::nullopt;
    return identita{s.st_dev, s.st_ino};
}

std::optional<identita> identita_di(int fd) {
    struct stat s {};
    if (::fstat(fd, &s) != 0) return std::nullopt;
    return identita{s.st_dev, s.st_ino};
}

// Opens the lock file, creating it when missing; creato tells which. -1 when
// it can be neither opened nor created.
int apri(const std::filesystem::path& file, bool& creato) {
    for (;;) {
        creato = false;
        int fd = ::open(file.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT) return fd;
        fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            creato = fd >= 0;
            return fd;
        }
    }
}

}  // namespace

presa_file::presa_file(const std::filesystem::path& file, bool attendi) : file_(file) {
    for (;;) {
        if (const auto prima = identita_di(file); prima && tenuta_qui(*prima)) {
            esito_ = stato::altrui;
            return;
        }
        bool creato = false;
        const int fd = apri(file, creato);
        if (fd < 0) return;
        int esito;
        do {
            esito = ::flock(fd, LOCK_EX | (attendi ? 0 : LOCK_NB));
        } while (esito != 0 && errno == EINTR);
        if (esito != 0) {
            const bool altrui = errno == EWOULDBLOCK;
            // A file made for nothing: the file system has no locks to give.
            if (!altrui && creato) ::unlink(file.c_str());
            ::close(fd);
            esito_ = altrui ? stato::altrui : stato::senza;
            return;
        }
        const auto tenuto = identita_di(fd);
        if (tenuto && tenuto == identita_di(file)) {
            registra(*tenuto, true);
            maniglia_ = fd;
            esito_ = stato::tenuta;
            return;
        }
        // Its holder removed it while this waited: the lock is on a file no
        // one else will find.
        ::close(fd);
    }
}

presa_file::presa_file(presa_file&& altra) noexcept
    : file_(std::move(altra.file_)), maniglia_(std::exchange(altra.maniglia_, -1)), esito_(altra.esito_) {}

presa_file::~presa_file() {
    if (maniglia_ < 0) return;
    const int fd = static_cast<int>(maniglia_);
    ::unlink(file_.c_str());
    if (const auto id = identita_di(fd)) registra(*id, false);
    ::close(fd);
}

}  // namespace piattaforma
