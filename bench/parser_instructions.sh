#!/usr/bin/env bash
# The parser's cost in instructions, counted by callgrind over one run of
# each page: a figure that does not move with whatever else a shared or
# virtual machine is doing, where timings of a few percent drown in noise.
# It prints the ratio today's web off / on (the throughput of the parser
# with today's web on, as a share of the design's parser) on the benchmark's
# ordinary page (target >= 0.9) and on today's page, whose every IMG
# carries a three-width srcset and a data-src (for information).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 1; }
cmake --preset release >/dev/null
cmake --build --preset release --target lumora_parser_bench >/dev/null
Out=$(mktemp -d)
trap 'rm -rf "$Out"' EXIT
count() {
  valgrind --tool=callgrind --toggle-collect='lumora::THTMLParser::Execute()' \
    --callgrind-out-file="$Out/$1" build/release/bench/lumora_parser_bench --once="$1" 2>&1 |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}
declare -A N
for V in page-off page-on todays-off todays-on; do
  N[$V]=$(count "$V")
  printf '%-11s %12d instructions\n' "$V" "${N[$V]}"
done
awk -v a="${N[page-off]}" -v b="${N[page-on]}" -v c="${N[todays-off]}" -v d="${N[todays-on]}" 'BEGIN {
  printf "this page: today'\''s web on / off = %.3f (target >= 0.9)\n", a / b
  printf "today'\''s page (srcset on every IMG): today'\''s web on / off = %.3f (for information)\n", c / d
}'
