#!/usr/bin/env bash
# Runs a Windows executable under Wine, in a private Wine prefix of the
# build (made on first use, in about 10 s), without Wine's debug chatter.
# Debian's wine64 keeps its loader in Wine's library folder, not on the PATH.
set -euo pipefail
wine="${WINE:-}"
if [ -z "$wine" ]; then
  for c in /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null || true)" "$(command -v wine 2>/dev/null || true)"; do
    if [ -n "$c" ] && [ -x "$c" ]; then wine="$c"; break; fi
  done
fi
if [ -z "$wine" ]; then
  echo "wine-esegui: Wine is not installed (make windows installs it)" >&2
  exit 127
fi
radice="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$radice/build-windows/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
mkdir -p "$WINEPREFIX"
exec "$wine" "$@"
