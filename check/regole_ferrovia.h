// The rules on the railway the rows describe, not on their format: rows that
// each read well and that contradict one another, or ask of the train what
// the reference railway (the built-in scenario) never does. They read the
// pair as the compiler made it, from the compile in memory, and name the row
// that placed each object through its recorder.
#pragma once

#include <string>
#include <vector>

#include "check/problemi.h"
#include "memory_compile/compilazione.h"

namespace strumento {

// Every problem of these rules for the pair c was compiled from (its texts
// linea and treno), in check's order.
std::vector<problema> avvisi_ferrovia(const compilazione_in_memoria& c, const std::string& linea,
                                      const std::string& treno);

}  // namespace strumento
