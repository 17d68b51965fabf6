#!/usr/bin/env bash
# Fuzzes the client's receive path with libFuzzer (clang), under ASan and UBSan: framing,
# GBK conversion, the store's dispatcher and readers, the day/week/month builds and the
# history database.
#   scripts/fuzz-client.sh [seconds]        default 60; exits non-zero when a crash is found
# The build goes to build-fuzz/ (shared with scripts/fuzz-server.sh), the working corpus to
# build-fuzz/client-corpus/ (seeded from tests/fuzz/client-corpus/, kept between runs, so a
# longer run goes on from where the last one stopped), crashes to build-fuzz/client-crashes/.
#
# The target keeps one store and one database in memory for every input, on purpose: leak
# checks are off (they would run each new input twice to no end). The entropic schedule is off
# too: its bookkeeping per execution costs this target (thousands of features an input) as
# much as the input itself, and without it a run covers more in the same time. The allocator's
# quarantine of freed memory is 16 MB, far more than one input frees: a use after free within
# an input is still caught, at a fraction of the memory. A report names where the bad access
# happened, not where its memory was allocated or freed (run the reproducer with ASan's
# defaults for those stacks), and fresh blocks are not filled: a stack taken at every
# allocation and free, and the filling, cost as much as a third of an input's time. The
# target has its own mutator (it draws the database bits of each mutant afresh), which turns
# libFuzzer's length control off unless asked for: -len_control=100 (the default otherwise)
# keeps new inputs growing slowly, from the seeds' sizes up to -max_len. The replies' kinds
# and the store's own tokens come from tests/fuzz/client.dict (comparison tracing is off in
# the store, see tests/fuzz/CMakeLists.txt); UBSan's checks trap where they fail
# (scripts/fuzz-build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
source scripts/fuzz-build.sh
fuzz_build qelt_client_fuzz
corpus=build-fuzz/client-corpus
mkdir -p "$corpus" build-fuzz/client-crashes
# The checked-in seeds (the reproducers of known faults among them) join the working corpus.
cp -n tests/fuzz/client-corpus/* "$corpus"/
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=16:malloc_context_size=0:max_malloc_fill_size=0 \
  build-fuzz/tests/fuzz/qelt_client_fuzz "$corpus" -dict=tests/fuzz/client.dict -max_total_time="$seconds" -max_len=8192 -len_control=100 \
  -timeout=10 -rss_limit_mb=2048 -detect_leaks=0 -entropic=0 -artifact_prefix=build-fuzz/client-crashes/ \
  -print_final_stats=1
