#!/usr/bin/env bash
# Checks the layout of the C++ files; builds and runs every test; installs the build into a
# temporary prefix and runs the installed client and server from there; fuzzes the demo server's
# message handling, the client's receive path and the formula language for a bounded time
# each; builds and tests the information view's browser of a build without Qt WebEngine;
# then runs the core tests again under AddressSanitizer with UndefinedBehaviorSanitizer, and
# under ThreadSanitizer.
# At the end (or where it stops) it prints how long each stage took.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
timings=()

minutes() { printf '%d min %2d s' $(($1 / 60)) $(($1 % 60)); }

running="" running_since=0 running_cpu=0
# The processor time (user + system, whole seconds) of every program run so far: `times` runs
# in this shell (a subshell has run none of them) and its last line is the children's.
times_file=$(mktemp)
note_cpu() { times >"$times_file"; }
cpu_noted() { tail -1 "$times_file" | awk '{ split($1, u, "m"); split($2, s, "m"); printf "%d", u[1] * 60 + u[2] + s[1] * 60 + s[2] }'; }
# Runs one stage and notes its time and the processor time it took (on 2 cores the wall time
# of a build is about the processor time / 1.7).
stage() {
  running="$1" running_since=$SECONDS
  shift
  note_cpu
  running_cpu=$(cpu_noted)
  "$@"
  note_cpu
  timings+=("$(printf '  %-34s %s  (processor %s)' "$running" "$(minutes $((SECONDS - running_since)))" \
               "$(minutes $(($(cpu_noted) - running_cpu)))")")
  running=""
}

report() {
  rm -f "$times_file"
  [ -n "$running" ] && timings+=("$(printf '  %-34s %s, failed' "$running" "$(minutes $((SECONDS - running_since)))")")
  [ ${#timings[@]} -gt 0 ] || return 0
  echo "scripts/test.sh: time of each stage"
  printf '%s\n' "${timings[@]}"
}
# A stage that fails ends the run: the times of the stages before it still show.
trap report EXIT

all_tests() { ctest --test-dir build --output-on-failure -j2 --timeout 120; }

# A build without Qt WebEngine shows the information view with the rich-text browser: build
# that browser's test program in such a configuration (only it: the rest is the same code)
# and run it, so the fallback cannot rot.
browser_without_engine() {
  cmake -S . -B build-noengine -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQELT_WEBENGINE=OFF \
        -DQELT_BUILD_BENCH=OFF >/dev/null
  cmake --build build-noengine --target qelt_web_tests
  QT_QPA_PLATFORM=offscreen build-noengine/tests/ui/qelt_web_tests
}

# The sanitizer builds carry line tables only (-g1): a report still names file and line of
# every frame, and the compiler and linker write a fraction of the debugging data. They are
# built from nothing and never edited, so as unity builds (a fraction of the compile time).
sanitizer_config=(-DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DQELT_UNITY=ON)

# Memory errors and undefined behaviour in the core (no Qt): the core tests once more under
# ASan and UBSan, every finding fatal.
core_under_asan() {
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQELT_SANITIZE=address,undefined \
        -DQELT_BUILD_UI=OFF -DQELT_BUILD_BENCH=OFF "${sanitizer_config[@]}" >/dev/null
  cmake --build build-asan
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=0" UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
    ctest --test-dir build-asan --output-on-failure -j2 --timeout 300 -E layering
}

# The threads meet in the core: the log, the connection and its sender, the store, the
# session, the server, the updater's download and the canvas's row filler. Only those areas'
# tests run under TSan (the indicators, the formulas, the charts and the views run on one
# thread).
core_under_tsan() {
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQELT_SANITIZE=thread \
        -DQELT_BUILD_UI=OFF -DQELT_BUILD_BENCH=OFF "${sanitizer_config[@]}" \
        "-DQELT_TEST_AREAS=common;gfx;net;data;app;server;updater" >/dev/null
  cmake --build build-tsan
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir build-tsan --output-on-failure -j2 --timeout 300 -E layering
}

# Every C++ file as the repository's .clang-format lays it out (fix with --fix).
stage "layout of the C++ files" scripts/check-format.sh
# A build/ made here from nothing is a unity build (a fraction of the compile time); one that
# exists keeps its setting, so an everyday build without unity is never switched to it.
main_config=()
[ -f build/CMakeCache.txt ] || main_config=(-DQELT_UNITY=ON)
stage "build" scripts/build.sh "${main_config[@]}"
stage "all tests" all_tests
# The installed programs run from a prefix they leave as installed.
stage "installed programs" scripts/check-install.sh
# The server's message handling, the client's receive path and the formula language against
# random input, for a bounded time each.
stage "fuzzing the server (30 s)" scripts/fuzz-server.sh 30
stage "fuzzing the client (30 s)" scripts/fuzz-client.sh 30
stage "fuzzing the formulas (30 s)" scripts/fuzz-formula.sh 30
stage "browser without Qt WebEngine" browser_without_engine
stage "core tests under ASan and UBSan" core_under_asan
stage "core tests under TSan" core_under_tsan
trap - EXIT
report
echo "scripts/test.sh: everything passed in $(minutes $((SECONDS - started)))"
