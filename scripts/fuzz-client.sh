#!/usr/bin/env bash
# Fuzzes the client's receive path with libFuzzer (clang), under ASan and UBSan: framing,
# GBK conversion, the store's dispatcher and readers, the day/week/month builds and the
# history database.
#   scripts/fuzz-client.sh [seconds]        default 60; exits non-zero when a crash is found
# The build goes to build-fuzz/ (shared with scripts/fuzz-server.sh), the working corpus to
# build-fuzz/client-corpus/ (seeded from tests/fuzz/client-corpus/), crashes to
# build-fuzz/client-crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
source scripts/fuzz-build.sh
fuzz_build qelt_client_fuzz
corpus=build-fuzz/client-corpus
mkdir -p "$corpus" build-fuzz/client-crashes
# The checked-in seeds (the reproducers of known faults among them) join the working corpus.
cp -n tests/fuzz/client-corpus/* "$corpus"/
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=0 \
  build-fuzz/tests/fuzz/qelt_client_fuzz "$corpus" -max_total_time="$seconds" -max_len=8192 \
  -timeout=10 -rss_limit_mb=2048 -artifact_prefix=build-fuzz/client-crashes/ -print_final_stats=1
