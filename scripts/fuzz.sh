#!/usr/bin/env bash
# Builds a fuzz target with libFuzzer and AddressSanitizer and runs it.
#   scripts/fuzz.sh [TARGET] [SECONDS]      (default: address_rules 60)
# TARGET: address_rules, html_parser, drop_data or srcset.
# New inputs go to build/fuzz/<target>/; a crash leaves its input there too.
# Copy a finding into fuzz/corpus/<target>/ once fixed: the tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-address_rules}
seconds=${2:-60}
declare -A sources=([address_rules]=fuzz/AddressRulesFuzzer.cpp [html_parser]=fuzz/HTMLParserFuzzer.cpp
                   [drop_data]=fuzz/DropDataFuzzer.cpp [srcset]=fuzz/SrcsetFuzzer.cpp)
src=${sources[$target]:?unknown fuzz target $target}
# Pages need room for a few lines of markup; addresses do not.
declare -A max_lens=([html_parser]=2048 [drop_data]=1024 [srcset]=1024)
max_len=${MAX_LEN:-${max_lens[$target]:-512}}

command -v clang++ >/dev/null || apt-get install -y -qq clang >/dev/null
out=build/fuzz/$target
mkdir -p "$out/corpus"
core=(src/sys/FileSystem.cpp src/sys/FilePath.cpp src/sys/FileFaults.cpp src/sys/DetachedThread.cpp src/net/HttpUrl.cpp src/net/HttpClient.cpp src/net/HttpTransportCurl.cpp
      src/grab/GrabSettings.cpp src/grab/PicQueue.cpp src/grab/DownloadPicture.cpp
      src/grab/PictureTypes.cpp src/sys/Component.cpp src/html/HTMLParser.cpp src/html/Srcset.cpp
      src/html/PictureChoice.cpp src/html/PictureLink.cpp src/dragdrop/DropRules.cpp)
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -Isrc "$src" "${core[@]}" -lcurl \
  -o "$out/fuzzer"
"$out/fuzzer" -max_total_time="$seconds" -max_len="$max_len" -artifact_prefix="$out/" \
  "$out/corpus" "fuzz/corpus/$target"
