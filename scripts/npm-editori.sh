#!/usr/bin/env bash
# The VS Code extension's npm packages, exactly as package-lock.json pins
# them, into editors/vscode/node_modules: once, and again when the lock file
# changes. Needs npm and the registry; exits 77 without npm.
set -euo pipefail
vscode="$(cd "$(dirname "$0")/.." && pwd)/editors/vscode"
if ! command -v npm >/dev/null 2>&1; then
  echo "npm-editori: no npm on this machine" >&2
  exit 77
fi
# The lock file the packages were installed from, kept beside them.
segno="$vscode/node_modules/.lock-installato"
if cmp -s "$segno" "$vscode/package-lock.json"; then
  exit 0
fi
(cd "$vscode" && npm ci --no-audit --no-fund --ignore-scripts --loglevel=error)
cp "$vscode/package-lock.json" "$segno"
