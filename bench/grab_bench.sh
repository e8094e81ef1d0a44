#!/usr/bin/env bash
# Grab throughput end to end: one page with 2,000 IMG references to pictures
# of 20 KB, served on the loopback by lighttpd, grabbed in the same run
# against the same server by
#   lumora  `lumora-grab` (the page fetched and parsed, five download
#           workers, each on its own kept-alive connection),
#   wget    `wget -q -p -H -nd -A jpg` (Debian's wget: the page's requisites,
#           one at a time over a kept-alive connection, only the JPGs kept),
#   wget2   `wget2 -q -p -H -nd -A jpg --max-threads=5` (the same with five
#           threads),
#   curl    `curl -s -Z --parallel-max 5 --remote-name-all` over the list of
#           picture addresses (no page to fetch or parse).
# All must save the same 2,000 files. Each side runs ROUNDS times (default 3)
# in turn and its best time counts; prints every time and the ratio of
# lumora to each peer. Targets: lumora/wget2 <= 0.8, lumora/curl <= 1.0.
#
# Then the HTTPS round (HTTPS_ROUNDS, default 5): the same page and pictures
# from the same lighttpd over TLS (mod_openssl; lighttpd offers HTTP/2 there,
# which the peers take), with a certificate for localhost from a test CA
# made for the run (tests/tls_certs.py), which every side is given:
#   lumora  `lumora-grab --todays-web --ca-file CA` (HTTP/1.1, five workers,
#           one kept-alive TLS connection each),
#   wget2   `wget2 ... --max-threads=5 --ca-certificate=CA --no-http2`
#           (over HTTP/2 from this lighttpd, Debian 12's wget2 stops short
#           of the last pictures and hangs),
#   curl    `curl -Z --parallel-max 5 --cacert CA` over the list (HTTP/2,
#           every picture on one multiplexed connection),
#   curl-h1 the same with --http1.1, for comparison on Lumora's protocol.
# Same targets: lumora/wget2 <= 0.8, lumora/curl <= 1.0.
#
# The server is lighttpd, not the Python test server: a single Python process
# serves one request at a time and would measure itself. lighttpd, wget2 and
# curl are installed on first use. Every side saves into a folder in memory
# (/dev/shm) when there is one, because on a slow shared disk file creation
# costs more than the network work being compared.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${COUNT:-2000}
rounds=${ROUNDS:-3}

install() {  # package...
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
command -v wget >/dev/null || { echo "grab_bench: wget is missing (scripts/setup.sh installs it)" >&2; exit 1; }
command -v wget2 >/dev/null || install wget2
[ -e /usr/lib/lighttpd/mod_openssl.so ] || install lighttpd-mod-openssl
command -v curl >/dev/null || install curl
lighttpd=$(command -v lighttpd || echo /usr/sbin/lighttpd)
if [ ! -x "$lighttpd" ]; then
  install lighttpd
  # The package starts a system-wide server on port 80; this benchmark runs its own.
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
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

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port=$(free_port)
sport=$(free_port)
tls=$out/tls
mkdir -p "$tls"
python3 tests/tls_certs.py "$tls" >/dev/null
ca=$tls/ca.pem
cat > "$out/lighttpd.conf" <<CONF
server.modules += ("mod_openssl")
server.document-root = "$out/site"
server.bind = "127.0.0.1"
server.port = $port
server.errorlog = "$out/lighttpd.log"
mimetype.assign = (".html" => "text/html", ".jpg" => "image/jpeg")
\$SERVER["socket"] == "127.0.0.1:$sport" {
  ssl.engine = "enable"
  ssl.pemfile = "$tls/good.pem"
  ssl.privkey = "$tls/good.key"
}
CONF
"$lighttpd" -D -f "$out/lighttpd.conf" &
server=$!
saves=$out
[ -d /dev/shm ] && [ -w /dev/shm ] && saves=$(mktemp -d /dev/shm/lumora-grab-bench.XXXXXX)
trap 'kill $server 2>/dev/null || true; [ "$saves" != "$out" ] && rm -rf "$saves"' EXIT
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/index.html" && break; sleep 0.1; done
page="http://127.0.0.1:$port/index.html"
for i in $(seq 0 $((count - 1))); do printf 'url = "http://127.0.0.1:%s/pic%05d.jpg"\n' "$port" "$i"; done > "$out/curl.list"
spage="https://localhost:$sport/index.html"
for _ in $(seq 100); do curl -s -o /dev/null --cacert "$ca" "$spage" && break; sleep 0.1; done
for i in $(seq 0 $((count - 1))); do printf 'url = "https://localhost:%s/pic%05d.jpg"\n' "$sport" "$i"; done > "$out/curls.list"

run_side() {  # side folder
  case $1 in
    lumora) "$tool" "$page" --quiet --folder "$2" >/dev/null ;;
    wget) (cd "$2" && wget -q -p -H -nd -A jpg "$page" || true) ;;
    wget2) (cd "$2" && wget2 -q -p -H -nd -A jpg --max-threads=5 "$page" || true) ;;
    curl) (cd "$2" && curl -s -Z --parallel-max 5 --remote-name-all -K "$out/curl.list" 2>/dev/null) ;;
    lumora-https) "$tool" "$spage" --quiet --todays-web --ca-file "$ca" --folder "$2" >/dev/null ;;
    wget2-https)
      (cd "$2" && wget2 -q -p -H -nd -A jpg --max-threads=5 --ca-certificate="$ca" --no-http2 \
         "$spage" || true) ;;
    curl-https)
      (cd "$2" && curl -s -Z --parallel-max 5 --cacert "$ca" --remote-name-all -K "$out/curls.list" \
         2>/dev/null) ;;
    curl-h1-https)
      (cd "$2" && curl -s -Z --parallel-max 5 --http1.1 --cacert "$ca" --remote-name-all \
         -K "$out/curls.list" 2>/dev/null) ;;
  esac
}

now() { date +%s.%N; }
declare -A best
race() {  # rounds side...: each side in turn, every round; the best time of each
  local rounds=$1 r s line n t t0 t1
  shift
  for s in "$@"; do best[$s]=999999; done
  for r in $(seq "$rounds"); do
    line="round $r:"
    for s in "$@"; do
      rm -rf "${saves:?}/$s" && mkdir -p "$saves/$s"
      t0=$(now); run_side "$s" "$saves/$s"; t1=$(now)
      n=$(ls "$saves/$s" | grep -c '\.jpg$' || true)
      [ "$n" -eq "$count" ] || { echo "round $r: $s saved $n of $count"; exit 1; }
      t=$(echo "$t1 - $t0" | bc -l)
      best[$s]=$(echo "if ($t < ${best[$s]}) $t else ${best[$s]}" | bc -l)
      line+=$(printf ' %s %.2f s,' "$s" "$t")
    done
    echo "${line%,}"
  done
  printf 'best:'
  for s in "$@"; do printf ' %s %.2f s' "$s" "${best[$s]}"; done
  echo
}
ratio() { echo "${best[$1]} / ${best[$2]}" | bc -l; }

echo "HTTP ($rounds rounds)"
race "$rounds" lumora wget wget2 curl
printf 'ratio lumora/wget  = %.2f\n' "$(ratio lumora wget)"
printf 'ratio lumora/wget2 = %.2f (target <= 0.8)\n' "$(ratio lumora wget2)"
printf 'ratio lumora/curl  = %.2f (target <= 1.0)\n' "$(ratio lumora curl)"

echo "HTTPS (${HTTPS_ROUNDS:-5} rounds; curl speaks HTTP/$(curl -s -o /dev/null --cacert "$ca" \
  -w '%{http_version}' "$spage") to this server)"
race "${HTTPS_ROUNDS:-5}" lumora-https wget2-https curl-https curl-h1-https
printf 'ratio lumora/wget2   (https) = %.2f (target <= 0.8)\n' "$(ratio lumora-https wget2-https)"
printf 'ratio lumora/curl    (https) = %.2f (target <= 1.0)\n' "$(ratio lumora-https curl-https)"
printf 'ratio lumora/curl-h1 (https) = %.2f\n' "$(ratio lumora-https curl-h1-https)"
