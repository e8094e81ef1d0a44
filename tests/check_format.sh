#!/bin/sh
# Every C++ source is clang-formatted with the repository's .clang-format.
set -eu
cd "$(dirname "$0")/.."
find src tests fuzz bench -name '*.cpp' -o -name '*.h' | xargs clang-format --dry-run -Werror
