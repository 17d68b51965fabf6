#!/usr/bin/env bash
# Fuzzes the server's message handling with libFuzzer (clang), under ASan and UBSan.
#   scripts/fuzz-server.sh [seconds]        default 60; exits non-zero when a crash is found
# The build goes to build-fuzz/, the corpus to build-fuzz/corpus/, crashes to build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
source scripts/fuzz-build.sh
fuzz_build qelt_server_fuzz
corpus=build-fuzz/corpus
mkdir -p "$corpus" build-fuzz/crashes
# Seeds: one stream per kind of client message (first byte 1 = logged in, 2 = admin port).
seed() { printf '%b' "$2" >"$corpus/seed-$1"; }
seed login '\x00login:demo:demo:|ENDver:1.96:|ENDcategory:|ENDlist:|END'
seed line '\x01line:3:0112:20270525:0:|ENDline:12:0009:\xd7\xdb\xba\xcf\xd6\xb8\xca\xfd:1:|END'
seed real '\x01real::0112:20270525:8:|ENDreal::0131:20270125:1:|ENDreal:0112-20261204:0112:20270525:8:|END'
seed alarm "\\x01alarm:goods_no='0112' and due_date='20270525' and ( ( price >=10.000 and   price <=8.000) or  all_num >=500 or  pure_num >=300)|END"
seed misc '\x01msg:|ENDpwd:demo:demo:x:|ENDlogin:trader:trader:1:|ENDupdate:|END'
seed admin '\x02notice:hello|ENDdis:trader|END'
UBSAN_OPTIONS=halt_on_error=1 ASAN_OPTIONS=detect_leaks=0 \
  build-fuzz/src/server/qelt_server_fuzz "$corpus" -max_total_time="$seconds" -max_len=8192 \
  -timeout=10 -artifact_prefix=build-fuzz/crashes/ -print_final_stats=1
