#!/usr/bin/env bash
# The VS Code grammars through the TextMate engine (grammatica_test.js) on
# the built-in files, the check fixture and the slips fixture. 77 (skipped)
# without node or the npm packages.
#   grammatica_test.sh SCENARIO_TOOL SOURCE_DIR
set -euo pipefail
moduli="$2/editors/vscode/node_modules"
if ! command -v node >/dev/null 2>&1 || [ ! -d "$moduli/vscode-textmate" ]; then
  echo "node or editors/vscode/node_modules missing: skipped" >&2
  exit 77
fi
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
"$1" emit "$lavoro" >/dev/null
node "$2/tests/editors/grammatica_test.js" "$moduli" "$2/editors/vscode/syntaxes" "$2/tests/editors/colori.json" \
  "$lavoro" "$2/tests/tools/fixtures/controllo" "$2/tests/editors/fixtures"
