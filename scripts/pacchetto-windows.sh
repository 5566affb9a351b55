#!/usr/bin/env bash
# The zip for Windows users: both executables and the short guides, the
# guides in Windows-1252 with CR LF line ends, as every text file of ours.
set -euo pipefail
build="$1"
zip_file="$2"
radice="$(cd "$(dirname "$0")/.." && pwd)"
lavoro="$(mktemp -d)"
trap 'rm -rf "$lavoro"' EXIT
cp "$build/scenario_builder.exe" "$build/scenario_tool.exe" "$lavoro/"
for guida in README.txt LEGGIMI.txt; do
  sed 's/\r$//; s/$/\r/' "$radice/docs/windows/$guida" | iconv -f UTF-8 -t WINDOWS-1252 > "$lavoro/$guida"
done
mkdir -p "$(dirname "$zip_file")"
zip_file="$(cd "$(dirname "$zip_file")" && pwd)/$(basename "$zip_file")"
rm -f "$zip_file"
# Fixed dates and no extra attributes: the same inputs give the same zip.
touch -d '2026-01-01 00:00:00' "$lavoro"/*
(cd "$lavoro" && zip -q -X "$zip_file" scenario_builder.exe scenario_tool.exe README.txt LEGGIMI.txt)
echo "wrote $zip_file"
