// Standard input and output carrying bytes as they are, for a protocol over
// pipes: Windows would turn LF into CR LF and stop reading at a Ctrl-Z; a
// POSIX process would end at a write to a pipe whose reader has gone, where a
// failed write is enough to stop.
#pragma once

namespace piattaforma {

void stdio_binario();

}  // namespace piattaforma
