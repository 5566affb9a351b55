#!/bin/sh
# One Wine server for a whole CTest run of the Windows build's tests, the
# fixture around them: "avvia" starts it, persistent, and readies the prefix;
# "ferma" ends it with every Wine process of the prefix. Without it each test
# starts a server of its own, which keeps the test's output open for the
# seconds it lingers after the program, and CTest waits for them all.
# The prefix is the one scripts/wine-esegui.sh runs the tests in.
set -u
radice="$(cd "$(dirname "$0")/../.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$radice/build-windows/wineprefix}"
server=""
for c in /usr/lib/wine/wineserver "$(command -v wineserver 2>/dev/null || true)"; do
  if [ -n "$c" ] && [ -x "$c" ]; then server="$c"; break; fi
done
if [ -z "$server" ]; then
  echo "server_wine: Wine is not installed" >&2
  exit 127
fi
case "${1:-}" in
  avvia)
    mkdir -p "$WINEPREFIX"
    # The server that listed the tests may still linger: let it end first.
    "$server" -w
    "$server" -p </dev/null >/dev/null 2>&1 || exit 1
    exec "$radice/scripts/wine-esegui.sh" wineboot -i </dev/null >/dev/null 2>&1
    ;;
  ferma)
    "$server" -k 2>/dev/null
    exit 0
    ;;
  *)
    echo "usage: server_wine.sh avvia|ferma" >&2
    exit 64
    ;;
esac
