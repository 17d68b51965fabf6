#!/usr/bin/env bash
# Shared by the fuzz scripts (sourced): configures the one libFuzzer build (clang, ASan and
# UBSan, every library instrumented for coverage) in build-fuzz/ and builds the target named.
# A unity build with line tables only (-g1): a crash report still names file and line of every
# frame, at a fraction of the compile time.
fuzz_build() {
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" \
    -DQELT_UNITY=ON -DQELT_FUZZ=ON -DQELT_SANITIZE=address,undefined \
    -DQELT_BUILD_UI=OFF -DQELT_BUILD_TESTS=OFF -DQELT_BUILD_BENCH=OFF >/dev/null
  cmake --build build-fuzz --target "$1" -j2
}
