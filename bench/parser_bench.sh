#!/usr/bin/env bash
# HTML parser throughput: builds the release preset and runs the Google
# Benchmark over a 20 MB page. It measures, in one run, Lumora's parser with
# no handlers and with a counting OnParsing handler, a memchr loop that only
# finds every "<" and ">" (the floor) and gumbo, then prints the ratios
# Lumora / memchr floor (target >= 0.25) and Lumora / gumbo (target >= 3).
# Extra arguments go to the benchmark (e.g. --benchmark_repetitions=3).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release --target lumora_parser_bench >/dev/null
# Repetitions are interleaved, so a busy spell of the machine falls on
# every benchmark alike rather than on one of them.
exec build/release/bench/lumora_parser_bench --benchmark_enable_random_interleaving=true "$@"
