#!/usr/bin/env bash
# Builds the embedded server's fuzz target with clang and runs it for a while (default 300 s) on a corpus
# seeded from the program's own statements. Findings (crash-*, leak-*, timeout-*) land in the build folder.
#   fuzz/run.sh [seconds] [jobs]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${FUZZ_BUILD:-$here/../build-fuzz}"
seconds="${1:-300}"
jobs="${2:-4}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
      -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$jobs" --target sqlserver_fuzz
mkdir -p "$build/corpus"
python3 "$here/seed_corpus.py" "$here/.." "$build/corpus"
cd "$build"
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
  ./sqlserver_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len=4096 \
  -dict="$here/sql.dict" corpus
