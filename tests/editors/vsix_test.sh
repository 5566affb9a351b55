#!/usr/bin/env bash
# Packs the extension into a temporary folder and looks inside (vsix_test.py).
# 77 (skipped) without node, npm's packages or python3.
#   vsix_test.sh SOURCE_DIR
set -euo pipefail
if ! command -v python3 >/dev/null 2>&1 || [ ! -x "$1/editors/vscode/node_modules/.bin/vsce" ]; then
  echo "python3 or the npm packages missing: skipped" >&2
  exit 77
fi
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
bash "$1/scripts/vsix.sh" "$lavoro/scenario-files.vsix"
python3 "$1/tests/editors/vsix_test.py" "$lavoro/scenario-files.vsix"
