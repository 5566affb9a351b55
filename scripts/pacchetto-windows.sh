#!/usr/bin/env bash
# The zip for Windows users: both executables, the short guides (in
# Windows-1252 with CR LF line ends, as every text file of ours) and the
# editors' files: the VS Code extension with scenario_tool.exe inside it, the
# Vim/Neovim folder and the Notepad++ language.
set -euo pipefail
build="$1"
zip_file="$2"
radice="$(cd "$(dirname "$0")/.." && pwd)"
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
cp "$build/scenario_builder.exe" "$build/scenario_tool.exe" "$lavoro/"
for guida in README.txt LEGGIMI.txt; do
  sed 's/\r$//; s/$/\r/' "$radice/docs/windows/$guida" | iconv -f UTF-8 -t WINDOWS-1252 > "$lavoro/$guida"
done
mkdir -p "$lavoro/editors/notepad++"
bash "$radice/scripts/vsix.sh" "$lavoro/editors/scenario-files.vsix" "$build/scenario_tool.exe"
# vsce stamps each entry with its file's date: fixed here like the rest.
python3 - "$lavoro/editors/scenario-files.vsix" <<'FINE'
import sys, zipfile
nome = sys.argv[1]
with zipfile.ZipFile(nome) as z:
    voci = [(i.filename, z.read(i)) for i in z.infolist()]
with zipfile.ZipFile(nome, "w", zipfile.ZIP_DEFLATED) as z:
    for filename, dati in voci:
        z.writestr(zipfile.ZipInfo(filename, (2026, 1, 1, 0, 0, 0)), dati, zipfile.ZIP_DEFLATED)
FINE
cp -r "$radice/editors/vim" "$lavoro/editors/vim"
cp "$radice/editors/notepad++/scenario.udl.xml" "$radice/editors/notepad++/LSP.md" "$lavoro/editors/notepad++/"
mkdir -p "$(dirname "$zip_file")"
zip_file="$(cd "$(dirname "$zip_file")" && pwd)/$(basename "$zip_file")"
rm -f "$zip_file"
# Fixed dates and no extra attributes: the same inputs give the same zip.
find "$lavoro" -exec touch -d '2026-01-01 00:00:00' {} +
(cd "$lavoro" && zip -q -X -r "$zip_file" scenario_builder.exe scenario_tool.exe README.txt LEGGIMI.txt editors)
echo "wrote $zip_file"
