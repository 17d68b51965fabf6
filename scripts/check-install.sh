#!/usr/bin/env bash
# Installs the built tree into a temporary prefix and uses it as a user would: the installed
# demo server on a free port, the installed client logging in to it automatically and taking
# a screenshot, with a fresh home and no QELT_HOME. Fails if anything under the prefix was
# added, removed or changed (an installed program may be read-only), if the files the install
# must hold are missing, or if the client did not keep its files in ~/.local/share/qelt.
#   scripts/check-install.sh [BUILD_DIR]   (default build/, built already)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/qelt-install.XXXXXX")
server=""
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "check-install: $*" >&2
  for log in server client; do
    [ -s "$tmp/$log.log" ] && { echo "--- the $log's output:" >&2; tail -n 20 "$tmp/$log.log" >&2; }
  done
  exit 1
}

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
# Every file and folder under the prefix with its kind, size and modification time.
listing() { (cd "$prefix" && find . -printf '%p %y %s %T@\n' | LC_ALL=C sort); }
listing >"$tmp/before"

for program in bin/qelt bin/qelt-server bin/qelt-ta libexec/qelt/update; do
  [ -x "$prefix/$program" ] || fail "$program was not installed"
done
[ ! -e "$prefix/bin/update" ] || fail "the updater is on PATH as bin/update"
for file in share/applications/qelt.desktop share/metainfo/qelt.metainfo.xml \
            share/icons/hicolor/scalable/apps/qelt.svg share/icons/hicolor/{48x48,128x128,256x256}/apps/qelt.png \
            share/man/man1/{qelt,qelt-server,qelt-ta}.1; do
  [ -s "$prefix/$file" ] || fail "$file was not installed"
done
if [ -f docs/manual/index.html ]; then
  cmp -s docs/manual/index.html "$prefix/share/doc/qelt/manual/index.html" || fail "the manual was not installed"
fi
# The default server list: the demo server on this machine, in GBK with a CRLF.
cmp -s <(printf '\xd1\xdd\xca\xbe\xd6\xf7\xd5\xbe:127.0.0.1:3500\r\n') "$prefix/share/qelt/defaults/config.ini" ||
  fail "share/qelt/defaults/config.ini is not the demo server's entry"
# Nothing of the build tree and no test program went along.
if find "$prefix" -type f -name '*test*' | grep -q .; then fail "test programs were installed"; fi
for program in "$prefix"/bin/* "$prefix"/libexec/qelt/*; do
  if readelf -d "$program" | grep -E 'R(UN)?PATH' | grep -qF "$PWD"; then
    fail "$program looks for libraries in the build tree"
  fi
done

# The installed server on a free port; its first line names the port.
"$prefix/bin/qelt-server" --port 0 --bind 127.0.0.1 --data "$tmp/server-data" --clock demo \
  >"$tmp/server.log" 2>&1 &
server=$!
port=""
for _ in $(seq 600); do
  port=$(sed -n 's/^qelt-server: listening on .*:\([0-9][0-9]*\)$/\1/p' "$tmp/server.log")
  [ -n "$port" ] && break
  kill -0 "$server" 2>/dev/null || fail "the server ended at start"
  sleep 0.1
done
[ -n "$port" ] || fail "the server did not start within a minute"

# The user's program directory with the server list on that port and the remembered demo
# login (sys.ini: "user|password", every byte XOR 0xB6); the client fills in the rest.
home=$tmp/home
user_dir=$home/.local/share/qelt
mkdir -p "$home/.local/share"
mkdir -m 700 "$user_dir"
printf '\xd1\xdd\xca\xbe\xd6\xf7\xd5\xbe:127.0.0.1:%s\r\n' "$port" >"$user_dir/config.ini"
perl -e 'print join "", map { chr(ord($_) ^ 0xB6) } split //, "demo|demo"' >"$user_dir/sys.ini"
chmod 600 "$user_dir/sys.ini"

env -u QELT_HOME -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME HOME="$home" \
  QT_QPA_PLATFORM=offscreen timeout 45 \
  "$prefix/bin/qelt" --auto-login --screenshot "$tmp/shot.png" --screenshot-delay 3000 \
  >"$tmp/client.log" 2>&1 || fail "the installed client failed (status $?)"

listing >"$tmp/after"
if ! diff "$tmp/before" "$tmp/after" >"$tmp/prefix.diff"; then
  cat "$tmp/prefix.diff" >&2
  fail "running the installed client changed the install prefix (above: < before, > after)"
fi
[ -s "$user_dir/config.ini" ] || fail "~/.local/share/qelt/config.ini is missing"
[ -s "$user_dir/qelt.log" ] || fail "the client did not keep its log in ~/.local/share/qelt"
[ -s "$tmp/shot.png" ] || fail "the client wrote no screenshot"
echo "check-install: the installed programs ran and left the prefix as installed"
