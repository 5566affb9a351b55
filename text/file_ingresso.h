// An input file as the readers take it: its bytes, the name the place where
// a reading stopped gives it, and what to do when the reader is done with it.
// The readers never open or delete a file themselves; whoever hands them one
// decides what being done with it means (the compile driver deletes it from
// the run's folder).
#pragma once

#include <functional>
#include <string>

namespace testo {

struct file_ingresso {
    std::string nome;
    std::string contenuto;  // bytes of the Windows-1252 code page
    // Called once, where the reader's reading of the file ends: at its end,
    // or where a code stops it. Not called when the reading fails.
    std::function<void()> chiuso = [] {};
};

}  // namespace testo
