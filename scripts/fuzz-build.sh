#!/usr/bin/env bash
# Shared by the fuzz scripts (sourced): configures the one libFuzzer build (clang, ASan and
# UBSan, every library instrumented for coverage) in build-fuzz/ and builds the target named.
# A unity build with line tables only (-g1): a crash report still names file and line of every
# frame, at a fraction of the compile time.
# UBSan's checks trap where they fail instead of calling its runtime (all but the dynamic type
# check, which needs the runtime): the calls kept the compiler from inlining the smallest
# functions (a string's length, a view's end) and cost a quarter of an input's time. A finding
# is then libFuzzer's "deadly signal" (an illegal instruction) with a stack that names the
# failing line; a build without the two trap flags replays it with UBSan's own message.
fuzz_build() {
  local flags="-O2 -g1 -DNDEBUG -fsanitize-trap=undefined -fno-sanitize-trap=vptr"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_C_FLAGS_RELWITHDEBINFO=$flags" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=$flags" \
    -DQELT_UNITY=ON -DQELT_FUZZ=ON -DQELT_SANITIZE=address,undefined \
    -DQELT_BUILD_UI=OFF -DQELT_BUILD_TESTS=OFF -DQELT_BUILD_BENCH=OFF >/dev/null
  cmake --build build-fuzz --target "$1" -j2
}
