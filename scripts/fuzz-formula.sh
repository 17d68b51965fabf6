#!/usr/bin/env bash
# Fuzzes the formula language with libFuzzer (clang), under ASan and UBSan: random texts
# compiled and computed over 200 bars, and read as formula.txt.
#   scripts/fuzz-formula.sh [seconds]       default 60; exits non-zero when a crash is found
# The build goes to build-fuzz/ (shared with the other fuzz scripts), the working corpus to
# build-fuzz/formula-corpus/ (seeded from tests/fuzz/formula-corpus/: the example formulas
# and every error case of the tests), crashes to build-fuzz/formula-crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
source scripts/fuzz-build.sh
fuzz_build qelt_formula_fuzz
corpus=build-fuzz/formula-corpus
mkdir -p "$corpus" build-fuzz/formula-crashes
cp -n tests/fuzz/formula-corpus/* "$corpus"/
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=0 \
  build-fuzz/tests/fuzz/qelt_formula_fuzz "$corpus" -dict=tests/fuzz/formula.dict -max_total_time="$seconds" \
  -max_len=8192 -timeout=10 -rss_limit_mb=2048 -artifact_prefix=build-fuzz/formula-crashes/ -print_final_stats=1
