#!/usr/bin/env bash
# make editors: the grammars from the readers' keyword tables, the VS Code
# extension packed as a .vsix, and the editors' files gathered in DEST.
#
#   scripts/editori.sh BUILD_DIR DEST [SCENARIO_TOOL]
#
# With SCENARIO_TOOL the .vsix carries that program in its bin/ folder (the
# Windows zip's copy carries scenario_tool.exe). npm packages come from the
# registry once, by package-lock.json, into editors/vscode/node_modules.
set -euo pipefail
build="$1"
dest="$2"
programma="${3:-}"
radice="$(cd "$(dirname "$0")/.." && pwd)"
vscode="$radice/editors/vscode"

"$build/genera_editori" "$radice/editors"
bash "$radice/scripts/npm-editori.sh"

mkdir -p "$dest"
dest="$(cd "$dest" && pwd)"
# vsce packs the folder it runs in: a copy of the extension's own files, its
# packages linked, and the program when one is given.
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
cp -r "$vscode/package.json" "$vscode/package-lock.json" "$vscode/extension.js" \
  "$vscode/language-configuration.json" "$vscode/README.md" "$vscode/.vscodeignore" "$vscode/syntaxes" "$lavoro/"
ln -s "$vscode/node_modules" "$lavoro/node_modules"
if [ -n "$programma" ]; then
  mkdir -p "$lavoro/bin"
  cp "$programma" "$lavoro/bin/"
fi
(cd "$lavoro" && "$vscode/node_modules/.bin/vsce" package --skip-license --out "$dest/scenario-files.vsix" >/dev/null)

rm -rf "$dest/vim" "$dest/notepad++"
cp -r "$radice/editors/vim" "$dest/vim"
mkdir -p "$dest/notepad++"
cp "$radice/editors/notepad++/scenario.udl.xml" "$radice/editors/notepad++/LSP.md" "$dest/notepad++/"
echo "wrote $dest/scenario-files.vsix, $dest/vim, $dest/notepad++"
