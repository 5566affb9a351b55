#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Idempotent: a second run installs nothing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libfltk1.3-dev libx11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  libcairo2-dev fonts-dejavu-core
  xvfb xauth xdotool x11-utils
  clang libclang-rt-14-dev
  neovim nodejs python3 chromium
)
# The editors' files and their tests (make editors) and the browser tests of
# scenario_tool view drive npm's packages from node; Debian's nodejs comes
# without npm, other builds of it bring their own.
if ! command -v npm >/dev/null 2>&1; then
  packages+=(npm)
fi
# `install-deps.sh windows`: what the Windows build and its tests need on top:
# the cross compiler, GoogleTest's sources, Wine and zip.
if [ "${1:-}" = "windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix googletest wine64 zip)
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
