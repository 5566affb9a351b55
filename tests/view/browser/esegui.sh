#!/usr/bin/env bash
# The page of scenario_tool view in Debian's chromium: installs the pinned
# driver (npm ci, into this folder's node_modules) when it is missing or older
# than package-lock.json, then runs the checks. Exits 77, which ctest reports
# as skipped, when there is no chromium or no node and npm.
set -euo pipefail
qui="$(cd "$(dirname "$0")" && pwd)"
chromium="${CHROMIUM:-/usr/bin/chromium}"
if [ ! -x "$chromium" ]; then
  echo "skipped: no chromium at $chromium (scripts/install-deps.sh installs it)"
  exit 77
fi
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  echo "skipped: no node or npm (scripts/install-deps.sh installs them)"
  exit 77
fi
if [ ! -d "$qui/node_modules/puppeteer-core" ] || [ "$qui/package-lock.json" -nt "$qui/node_modules/.package-lock.json" ]; then
  (cd "$qui" && npm ci --no-audit --no-fund --loglevel=error)
fi
exec node "$qui/${1:-pagina.test.mjs}" "${@:2}"
