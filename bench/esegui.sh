#!/usr/bin/env bash
# Compile speed against its floor and peak memory, for the built-in run and
# generated lines of 10 km, 100 km and 1,000,000 m.
set -euo pipefail
bench="$(cd "$(dirname "$0")/.." && pwd)/build/bench/bench_compila"
for caso in builtin 10000 100000 1000000; do
  "$bench" "$caso" tempo 5
done
for caso in builtin 1000000; do
  "$bench" "$caso" memoria
done
