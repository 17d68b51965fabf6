#!/usr/bin/env bash
# Builds and runs every test; fuzzes the demo server's message handling and the client's
# receive path for a bounded time each; then runs the core tests again under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build --output-on-failure -j2 --timeout 120
# The server's message handling and the client's receive path against random input, for a
# bounded time each.
scripts/fuzz-server.sh 30
scripts/fuzz-client.sh 30
# The threads meet in the core (connection, store, server): run those tests under TSan too.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQELT_SANITIZE=thread \
      -DQELT_BUILD_UI=OFF -DQELT_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan --output-on-failure -j2 --timeout 300 -E layering
