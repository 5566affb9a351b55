#!/usr/bin/env bash
# Neovim headless against scenario_tool lsp on the fixture pair; 77 (skipped)
# when nvim is not installed. Usage: esegui.sh SCENARIO_TOOL FIXTURES_DIR
set -euo pipefail
command -v nvim >/dev/null 2>&1 || { echo "nvim not installed: skipped"; exit 77; }
# The fixtures are edited in a copy: nothing is ever written to the originals.
copia=$(mktemp -d)
trap 'rm -rf "$copia"' EXIT
cp "$2"/prova_linea.txt "$2"/prova_1-.txt "$copia"/
export SCENARIO_TOOL="$1" FIXTURES_DIR="$copia"
timeout 60 nvim --headless --clean -n -c "luafile $(dirname "$0")/prova.lua"
