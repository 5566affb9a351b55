#include "memory_compile/problema.h"

#include <algorithm>

namespace strumento {

void ordina(std::vector<problema>& p) {
    std::stable_sort(p.begin(), p.end(), [](const problema& a, const problema& b) {
        if (a.file != b.file) return a.file == quale_file::linea;
        if (a.riga != b.riga) return a.riga < b.riga;
        return a.livello == gravita::errore && b.livello == gravita::avviso;
    });
}

}  // namespace strumento
