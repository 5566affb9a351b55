#!/usr/bin/env bash
# Compile speed against its floor and peak memory, for the built-in run and
# generated lines of 10 km, 100 km and 1,000,000 m. Runs once in the system's
# temporary folder and once in /dev/shm (memory), since the cost of replacing
# files differs between file systems.
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)/build/bench/bench_compila"
for cartella in "${TMPDIR:-/tmp}" /dev/shm; do
  [ -d "$cartella" ] || continue
  echo "== files in $cartella ($(df -T "$cartella" | awk 'NR==2 {print $2}'))"
  for caso in builtin 10000 100000 1000000; do
    TMPDIR="$cartella" "$bench" "$caso" tempo 20
  done
done
echo "== peak memory"
for caso in builtin 1000000; do
  "$bench" "$caso" memoria
done
