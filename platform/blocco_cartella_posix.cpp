#include "platform/blocco_cartella.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace piattaforma {

// An exclusive flock on the folder itself: no lock file to create or leave
// behind, and the system drops it when the process ends, even by a crash.
// The lock belongs to the folder's inode, not to the path that opened it, so
// runs that reach the folder by two spellings (a symbolic link, a bind
// mount) take turns all the same.
blocco_cartella::blocco_cartella(const std::filesystem::path& cartella) {
    const int fd = ::open(cartella.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    int esito;
    do {
        esito = ::flock(fd, LOCK_EX);
    } while (esito != 0 && errno == EINTR);
    if (esito != 0) {
        ::close(fd);
        return;
    }
    maniglia_ = fd;
}

blocco_cartella::~blocco_cartella() {
    if (tenuto()) ::close(static_cast<int>(maniglia_));
}

}  // namespace piattaforma
