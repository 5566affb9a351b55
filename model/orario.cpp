#include "model/orario.h"

namespace modello::orario {

namespace {

// Appended, not added: an operator+ on a literal trips a false GCC 12 warning.
void parte(std::string& s, std::int64_t x, bool due_cifre) {
    if (due_cifre && x >= 0 && x < 10) s += '0';
    s += std::to_string(x);
}

}  // namespace

std::string scritta(std::int64_t ore, std::int64_t minuti, std::int64_t sec, ore_scritte ore_come) {
    std::string s;
    parte(s, ore, ore_come == ore_scritte::due_cifre);
    s += ':';
    parte(s, minuti, true);
    s += ':';
    parte(s, sec, true);
    return s;
}

std::string scritta(std::int64_t t, ore_scritte ore_come) {
    return scritta(ore_di(t), minuti_di(t), secondi_di(t), ore_come);
}

}  // namespace modello::orario
