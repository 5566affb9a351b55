# The libraries of the tool's parts: CLI11, nlohmann-json and, on Linux, cairo.
if(WIN32)
  # CLI11 and nlohmann-json are header-only: the build machine's copies serve,
  # through a folder that holds links to their two folders and nothing else
  # (the system's include folder as a whole is Linux's).
  set(terzi ${PROJECT_BINARY_DIR}/terzi)
  file(MAKE_DIRECTORY ${terzi})
  foreach(cartella CLI nlohmann)
    if(NOT EXISTS ${terzi}/${cartella})
      file(CREATE_LINK /usr/include/${cartella} ${terzi}/${cartella} SYMBOLIC)
    endif()
  endforeach()
  add_library(terzi_header INTERFACE)
  target_include_directories(terzi_header SYSTEM INTERFACE ${terzi})
  add_library(CLI11::CLI11 ALIAS terzi_header)
  add_library(nlohmann_json::nlohmann_json ALIAS terzi_header)
else()
  find_package(CLI11 CONFIG REQUIRED)
  find_package(nlohmann_json REQUIRED)
  find_package(PkgConfig REQUIRED)
  # fontconfig too: the tool hands its font caches back before it ends.
  pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET GLOBAL cairo fontconfig)
endif()

