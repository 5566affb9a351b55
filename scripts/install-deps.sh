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
)

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
