#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds each (default 60),
# starting from the seed corpora. Ends nonzero at the first finding; the
# input that caused it is left in build-fuzz/findings/.
set -euo pipefail
secondi="${1:-60}"
radice="$(cd "$(dirname "$0")/.." && pwd)"
build="$radice/build-fuzz"
corpus="$build/corpus"
mkdir -p "$corpus" "$build/findings"
"$build/fuzz/semi" "$corpus"
# check's seed with a problem of each kind: the fixture pair of its tests.
fixture="$radice/tests/tools/fixtures/controllo"
{ cat "$fixture/Collina_linea.txt"; printf '\n====\n'; cat "$fixture/Collina_7-.txt"; } > "$corpus/fuzz_controllo/collina"
for bersaglio in fuzz_linea fuzz_treno fuzz_compilatore fuzz_decodifica fuzz_controllo fuzz_lsp; do
  mkdir -p "$corpus/$bersaglio"
  echo "== $bersaglio: ${secondi}s"
  "$build/fuzz/$bersaglio" "$corpus/$bersaglio" \
    -dict="$radice/fuzz/parole_chiave.dict" -max_total_time="$secondi" -timeout=20 -rss_limit_mb=4096 -max_len=65536 \
    -artifact_prefix="$build/findings/$bersaglio-" -print_final_stats=1 2>&1 | tail -n 12
done
