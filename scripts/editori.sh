#!/usr/bin/env bash
# make editors: the grammars written from the readers' keyword tables, the VS
# Code extension packed, and the editors' files gathered in DEST.
#   scripts/editori.sh BUILD_DIR DEST [SCENARIO_TOOL]
# SCENARIO_TOOL: a program to bundle in the .vsix (see vsix.sh).
set -euo pipefail
build="$1"
dest="$2"
radice="$(cd "$(dirname "$0")/.." && pwd)"
"$build/genera_editori" "$radice/editors"
mkdir -p "$dest"
bash "$radice/scripts/vsix.sh" "$dest/scenario-files.vsix" "${3:-}"
rm -rf "$dest/vim" "$dest/notepad++"
cp -r "$radice/editors/vim" "$dest/vim"
mkdir -p "$dest/notepad++"
cp "$radice/editors/notepad++/scenario.udl.xml" "$radice/editors/notepad++/LSP.md" "$dest/notepad++/"
echo "wrote $dest: scenario-files.vsix, vim/, notepad++/"
