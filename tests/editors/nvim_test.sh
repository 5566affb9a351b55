#!/usr/bin/env bash
# Neovim headless with editors/vim on its runtimepath and nothing else of
# the user's: nvim_test.lua, or the one named third (nvim_lsp_test.lua).
# 77 (skipped) without nvim.
#   nvim_test.sh SCENARIO_TOOL SOURCE_DIR [TEST.lua]
set -euo pipefail
if ! command -v nvim >/dev/null 2>&1; then
  echo "nvim not installed: skipped" >&2
  exit 77
fi
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
"$1" emit "$lavoro/builtin" >/dev/null
SCENARIO_TOOL="$1" SOURCE_DIR="$2" WORKDIR="$lavoro" \
  nvim --headless -u NONE -i NONE -n --cmd "set runtimepath^=$2/editors/vim" \
  --cmd 'filetype plugin on' --cmd 'syntax on' -c "luafile $2/tests/editors/${3:-nvim_test.lua}" </dev/null
