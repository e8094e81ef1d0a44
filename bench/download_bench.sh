#!/usr/bin/env bash
# Download throughput: 2,000 pictures of 20 KB from the loopback test server,
# saved in the same run against the same server by
#   lumora  Lumora's queue with five download workers (`lumora-download`),
#   xargs   `xargs -P5 -n1 curl -s -O` (five processes, one picture each, a
#           new connection for every picture),
#   curl    `curl -s -Z --parallel-max 5 --remote-name-all` (five transfers
#           over kept-alive connections),
#   wget2   `wget2 -q -nd --max-threads=5 -i LIST`.
# Each side runs ROUNDS times (default 3) in turn and its best time counts;
# prints every time and the ratio of lumora to each peer. Target:
# lumora/xargs <= 1.25. wget2 and curl are installed on first use.
#
# The Python test server answers one request at a time, so all sides mostly
# measure it; bench/grab_bench.sh compares the clients on lighttpd.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${COUNT:-2000}
rounds=${ROUNDS:-3}

install() {  # package...
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
command -v wget2 >/dev/null || install wget2
command -v curl >/dev/null || install curl

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
sed 's/.*/url = "&"/' "$out/list" > "$out/curl.list"

sides=(lumora xargs curl wget2)
run_side() {  # side folder
  case $1 in
    lumora) "$tool" --quiet --folder "$2" - < "$out/list" >/dev/null ;;
    xargs) (cd "$2" && xargs -P5 -n1 curl -s -O < "$out/list") ;;
    curl) (cd "$2" && curl -s -Z --parallel-max 5 --remote-name-all -K "$out/curl.list" 2>/dev/null) ;;
    wget2) (cd "$2" && wget2 -q -nd --max-threads=5 -i "$out/list" || true) ;;
  esac
}

now() { date +%s.%N; }
declare -A best
for s in "${sides[@]}"; do best[$s]=999999; done
for r in $(seq "$rounds"); do
  line="round $r:"
  for s in "${sides[@]}"; do
    rm -rf "${out:?}/$s" && mkdir -p "$out/$s"
    t0=$(now); run_side "$s" "$out/$s"; t1=$(now)
    n=$(ls "$out/$s" | wc -l)
    [ "$n" -eq "$count" ] || { echo "round $r: $s saved $n of $count"; exit 1; }
    t=$(echo "$t1 - $t0" | bc -l)
    best[$s]=$(echo "if ($t < ${best[$s]}) $t else ${best[$s]}" | bc -l)
    line+=$(printf ' %s %.2f s,' "$s" "$t")
  done
  echo "${line%,}"
done
printf 'best:'
for s in "${sides[@]}"; do printf ' %s %.2f s' "$s" "${best[$s]}"; done
echo
ratio() { echo "${best[lumora]} / ${best[$1]}" | bc -l; }
printf 'ratio lumora/xargs+curl = %.2f (target <= 1.25)\n' "$(ratio xargs)"
printf 'ratio lumora/curl -Z    = %.2f\n' "$(ratio curl)"
printf 'ratio lumora/wget2      = %.2f\n' "$(ratio wget2)"
