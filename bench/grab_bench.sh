#!/usr/bin/env bash
# Grab throughput end to end: one page with 2,000 IMG references to pictures
# of 20 KB, served on the loopback by lighttpd, grabbed (a) by `lumora-grab` (the page
# fetched and parsed, five download workers, one new connection per picture)
# and (b) by `wget -q -p -H -nd -A jpg` (Debian's wget: the page's
# requisites, one at a time over a kept-alive connection, only the JPGs
# kept), in the same run against the same server. Both must save the same
# 2,000 files. Prints both wall times and the ratio a/b; the target is 0.5 or
# less. Each side runs ROUNDS times (default 3) and its best time counts.
#
# The server is lighttpd (installed on first use), not the Python test server:
# a single Python process serves one request at a time and would measure
# itself. Both sides save into a folder in memory (/dev/shm) when there is
# one, because on a slow shared disk file creation costs more than the
# network work being compared.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${COUNT:-2000}
rounds=${ROUNDS:-3}
command -v wget >/dev/null || { echo "grab_bench: wget is missing (scripts/setup.sh installs it)" >&2; exit 1; }
lighttpd=$(command -v lighttpd || echo /usr/sbin/lighttpd)
if [ ! -x "$lighttpd" ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lighttpd >/dev/null
  # The package starts a system-wide server on port 80; this benchmark runs its own.
  $sudo service lighttpd stop >/dev/null 2>&1 || true
fi

cmake --preset release >/dev/null
cmake --build --preset release --target lumora-grab >/dev/null
tool=$PWD/build/release/src/cli/lumora-grab

out=$PWD/build/bench/grab
rm -rf "$out" && mkdir -p "$out/site"
python3 - "$out/site" "$count" <<'PY'
import os, sys
folder, n = sys.argv[1], int(sys.argv[2])
refs = []
for i in range(n):
    with open(os.path.join(folder, f"pic{i:05d}.jpg"), "wb") as f:
        f.write(os.urandom(20 * 1024))
    refs.append(f'<img src="pic{i:05d}.jpg">')
with open(os.path.join(folder, "index.html"), "w") as f:
    f.write("<html><head><title>Bench</title></head><body>\n" + "\n".join(refs) + "\n</body></html>\n")
PY

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$out/lighttpd.conf" <<CONF
server.document-root = "$out/site"
server.bind = "127.0.0.1"
server.port = $port
server.errorlog = "$out/lighttpd.log"
mimetype.assign = (".html" => "text/html", ".jpg" => "image/jpeg")
CONF
"$lighttpd" -D -f "$out/lighttpd.conf" &
server=$!
saves=$out
[ -d /dev/shm ] && [ -w /dev/shm ] && saves=$(mktemp -d /dev/shm/lumora-grab-bench.XXXXXX)
trap 'kill $server 2>/dev/null || true; [ "$saves" != "$out" ] && rm -rf "$saves"' EXIT
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/index.html" && break; sleep 0.1; done
page="http://127.0.0.1:$port/index.html"

now() { date +%s.%N; }
best_a=999999 best_b=999999
for r in $(seq "$rounds"); do
  rm -rf "$saves/a" "$saves/b" && mkdir -p "$saves/a" "$saves/b"
  t0=$(now); "$tool" "$page" --quiet --folder "$saves/a" >/dev/null; t1=$(now)
  (cd "$saves/b" && wget -q -p -H -nd -A jpg "$page" || true); t2=$(now)
  a=$(echo "$t1 - $t0" | bc -l); b=$(echo "$t2 - $t1" | bc -l)
  na=$(ls "$saves/a" | wc -l); nb=$(ls "$saves/b" | grep -c '\.jpg$' || true)
  [ "$na" -eq "$count" ] && [ "$nb" -eq "$count" ] || { echo "round $r: saved $na and $nb of $count"; exit 1; }
  printf 'round %d: lumora-grab %.2f s, wget %.2f s\n' "$r" "$a" "$b"
  best_a=$(echo "if ($a < $best_a) $a else $best_a" | bc -l)
  best_b=$(echo "if ($b < $best_b) $b else $best_b" | bc -l)
done
printf 'best: lumora-grab %.2f s, wget %.2f s, ratio lumora/wget = %.2f (target <= 0.5)\n' \
  "$best_a" "$best_b" "$(echo "$best_a / $best_b" | bc -l)"
