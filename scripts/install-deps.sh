#!/usr/bin/env bash
# Installs the Debian packages a goal needs, only those that are missing.
# Idempotent: a second run installs nothing. Uses sudo when not root.
#
#   scripts/install-deps.sh [--list] [SET...]
#
#   run      building the builder and the tool, and running them (make run,
#            make build)
#   test     run's, and what the tests need: GoogleTest, an X server and
#            xdotool, Neovim, node and npm, python3, chromium (make test,
#            make sanitize)
#   fuzz     run's, and clang with its fuzzer runtime (make fuzz)
#   bench    run's, and what the benchmark drives: python3, node and npm,
#            chromium (make bench)
#   editors  run's, and node and npm to pack the VS Code extension (make editors)
#   windows  the cross compiler, GoogleTest's sources, Wine and zip (make windows)
#
# Without a set: every set but windows. --list prints the packages of the
# sets, one a line, and installs nothing.
set -euo pipefail

run=(
  build-essential cmake pkg-config
  libfltk1.3-dev libx11-dev
  libcli11-dev nlohmann-json3-dev
  libcairo2-dev fonts-dejavu-core
)
# The editors' files and their tests and the browser tests of scenario_tool
# view drive npm's packages from node; Debian's nodejs comes without npm,
# other builds of it bring their own.
node=(nodejs)
if ! command -v npm >/dev/null 2>&1; then
  node+=(npm)
fi
test=(libgtest-dev libgmock-dev xvfb xauth xdotool x11-utils neovim python3 chromium "${node[@]}")
fuzz=(clang libclang-rt-14-dev)
bench=(python3 chromium "${node[@]}")
editors=("${node[@]}")
windows=(g++-mingw-w64-x86-64-posix googletest wine64 zip)

elenco=0
if [ "${1:-}" = "--list" ]; then
  elenco=1
  shift
fi
insiemi=("$@")
[ ${#insiemi[@]} -gt 0 ] || insiemi=(run test fuzz bench editors)

packages=()
for insieme in "${insiemi[@]}"; do
  case "$insieme" in
    run) ;;
    test) packages+=("${test[@]}") ;;
    fuzz) packages+=("${fuzz[@]}") ;;
    bench) packages+=("${bench[@]}") ;;
    editors) packages+=("${editors[@]}") ;;
    windows) packages+=("${windows[@]}") ;;
    *)
      echo "install-deps: no set '$insieme' (run, test, fuzz, bench, editors, windows)" >&2
      exit 64
      ;;
  esac
done
# Every set builds with run's (the Windows build too: cmake drives it, and it
# reads CLI11's and nlohmann-json's headers from this machine), each package
# named once.
mapfile -t packages < <(printf '%s\n' "${run[@]}" "${packages[@]}" | awk '!seen[$0]++')

if [ "$elenco" = 1 ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

# Elsewhere than Debian the libraries must already be there: say so and let
# CMake tell what it cannot find.
if ! command -v apt-get >/dev/null 2>&1 || ! command -v dpkg-query >/dev/null 2>&1; then
  echo "install-deps: no apt on this machine; not installing anything (the build needs the libraries listed in $0)" >&2
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
echo "installing: ${missing[*]}"
if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
