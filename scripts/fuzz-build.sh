#!/usr/bin/env bash
# Shared by the fuzz scripts (sourced): configures the one libFuzzer build (clang, ASan and
# UBSan, every library instrumented for coverage) in build-fuzz/ and builds the target named.
fuzz_build() {
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQELT_FUZZ=ON -DQELT_SANITIZE=address,undefined \
    -DQELT_BUILD_UI=OFF -DQELT_BUILD_TESTS=OFF -DQELT_BUILD_BENCH=OFF >/dev/null
  cmake --build build-fuzz --target "$1" -j2
}
