# Writes USCITA, a header that holds files as byte arrays in the program:
# PEZZI is NAME=FILE|NAME=FILE..., and each NAME() returns its file's bytes;
# a NAME given several times returns its files' bytes joined in that order.
# Run as a script (cmake -P) at build time, so it serves every build, the
# MinGW cross build too.
set(testo "// Made by cmake/incorpora.cmake at build time; do not edit.\n#pragma once\n\n#include <string_view>\n\nnamespace ${SPAZIO} {\n")
string(REPLACE "|" ";" pezzi "${PEZZI}")
set(nomi "")
foreach(pezzo ${pezzi})
  string(REGEX MATCH "^([^=]+)=(.*)$" _ "${pezzo}")
  set(nome "${CMAKE_MATCH_1}")
  file(READ "${CMAKE_MATCH_2}" esadecimale HEX)
  list(FIND nomi "${nome}" gia)
  if(gia EQUAL -1)
    list(APPEND nomi "${nome}")
    set(esadecimale_${nome} "")
  endif()
  string(APPEND esadecimale_${nome} "${esadecimale}")
endforeach()
foreach(nome ${nomi})
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," byte "${esadecimale_${nome}}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n" byte "${byte}")
  string(APPEND testo "\ninline constexpr unsigned char ${nome}_byte[] = {\n${byte}};\n")
  string(APPEND testo "inline std::string_view ${nome}() {\n    return {reinterpret_cast<const char*>(${nome}_byte), sizeof ${nome}_byte};\n}\n")
endforeach()
string(APPEND testo "\n}  // namespace ${SPAZIO}\n")
file(WRITE "${USCITA}" "${testo}")
