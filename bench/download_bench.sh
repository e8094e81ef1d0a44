#!/usr/bin/env bash
# Download throughput: 2,000 pictures of 20 KB from the loopback test server,
# saved (a) by Lumora's queue with five download workers and (b) by
# `xargs -P5 -n1 curl -s -O` (five processes, one picture each), in the same
# run against the same server. Prints both wall times and the ratio a/b;
# the target is 1.25 or less. Each side runs ROUNDS times (default 3) and
# its best time counts.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${COUNT:-2000}
rounds=${ROUNDS:-3}

cmake --preset release >/dev/null
cmake --build --preset release --target lumora-download >/dev/null
tool=$PWD/build/release/src/cli/lumora-download

out=$PWD/build/bench/download
rm -rf "$out" && mkdir -p "$out/pics"
python3 - "$out/pics" "$count" <<'PY'
import os, sys
folder, n = sys.argv[1], int(sys.argv[2])
for i in range(n):
    with open(os.path.join(folder, f"pic{i:05d}.jpg"), "wb") as f:
        f.write(os.urandom(20 * 1024))
PY

python3 tests/http_server.py --root "$out/pics" --port-file "$out/port" >/dev/null &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$out/port" ] && break; sleep 0.1; done
base="http://127.0.0.1:$(cat "$out/port")"
for i in $(seq 0 $((count - 1))); do printf '%s/files/pic%05d.jpg\n' "$base" "$i"; done > "$out/list"

now() { date +%s.%N; }
best_a=999999 best_b=999999
for r in $(seq "$rounds"); do
  rm -rf "$out/a" "$out/b" && mkdir -p "$out/a" "$out/b"
  t0=$(now); "$tool" --quiet --folder "$out/a" - < "$out/list" >/dev/null; t1=$(now)
  (cd "$out/b" && xargs -P5 -n1 curl -s -O < "$out/list"); t2=$(now)
  a=$(echo "$t1 - $t0" | bc -l); b=$(echo "$t2 - $t1" | bc -l)
  na=$(ls "$out/a" | wc -l); nb=$(ls "$out/b" | wc -l)
  [ "$na" -eq "$count" ] && [ "$nb" -eq "$count" ] || { echo "round $r: saved $na and $nb of $count"; exit 1; }
  printf 'round %d: lumora %.2f s, xargs+curl %.2f s\n' "$r" "$a" "$b"
  best_a=$(echo "if ($a < $best_a) $a else $best_a" | bc -l)
  best_b=$(echo "if ($b < $best_b) $b else $best_b" | bc -l)
done
printf 'best: lumora %.2f s, xargs+curl %.2f s, ratio lumora/curl = %.2f (target <= 1.25)\n' \
  "$best_a" "$best_b" "$(echo "$best_a / $best_b" | bc -l)"
