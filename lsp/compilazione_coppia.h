// The pair compiled in memory for the answers that tell what the compiler
// made of a row: the model, the row that placed each object, the errors.
#pragma once

#include <memory>

#include "lsp/documento.h"
#include "memory_compile/compilazione.h"

namespace lsp {

// The compile of the pair as it stands (a file the pair lacks counts as
// empty). The last pair's is kept: answers in a row on the same texts
// compile once.
std::shared_ptr<const strumento::compilazione_in_memoria> compilazione_coppia(const scenario_aperto& s);

}  // namespace lsp
