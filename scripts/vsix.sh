#!/usr/bin/env bash
# The VS Code extension packed as OUT.vsix with vsce from its pinned npm
# packages; with SCENARIO_TOOL the program goes into the extension's bin/
# (the Windows zip's copy carries scenario_tool.exe).
#   scripts/vsix.sh OUT.vsix [SCENARIO_TOOL]
set -euo pipefail
uscita="$1"
programma="${2:-}"
vscode="$(cd "$(dirname "$0")/.." && pwd)/editors/vscode"
bash "$(dirname "$0")/npm-editori.sh"
mkdir -p "$(dirname "$uscita")"
uscita="$(cd "$(dirname "$uscita")" && pwd)/$(basename "$uscita")"
# bin/ is git-ignored and lives only while the package is made.
rm -rf "$vscode/bin"
trap 'rm -rf "$vscode/bin"' EXIT
if [ -n "$programma" ]; then
  mkdir -p "$vscode/bin"
  cp "$programma" "$vscode/bin/"
fi
(cd "$vscode" && node_modules/.bin/vsce package --skip-license --allow-missing-repository --out "$uscita" >/dev/null)
