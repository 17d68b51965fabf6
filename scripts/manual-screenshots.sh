#!/usr/bin/env bash
# Makes the user manual's pictures again: builds, starts the demo quote server on a free
# loopback port with a fresh data directory (always in session, a fixed market seed), prepares
# a temporary program directory with the demo login, and lets the client picture each view of
# itself offscreen (qelt --screenshot FILE --screenshot-view NAME) into docs/manual/images/.
# The server and the temporary directories go when the script ends.
#
#   scripts/manual-screenshots.sh [NAME...]     (default: every view)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

images=docs/manual/images
views=("$@")
[ ${#views[@]} -gt 0 ] || views=(board kline intraday trades multi info)
seed=${QELT_MANUAL_SEED:-20260601}
delay=${QELT_MANUAL_DELAY:-12000}

work=$(mktemp -d)
server=
cleanup() {
  [ -z "$server" ] || kill "$server" 2>/dev/null || true
  [ -z "$server" ] || wait "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The server takes any free port and prints it; wait for that line.
stdbuf -oL build/src/server/qelt-server --port 0 --bind 127.0.0.1 --data "$work/server-data" --clock demo \
  --seed "$seed" >"$work/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 100); do
  port=$(grep -oE '127\.0\.0\.1:[0-9]+' "$work/server.log" | head -1 | cut -d: -f2 || true)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "manual-screenshots: the demo server did not start" >&2; cat "$work/server.log" >&2; exit 1; }

# The offscreen screen is as large as the pictures should be: the client's window fills it.
cat >"$work/screen.json" <<'EOF'
{ "screens": [ { "name": "manual", "x": 0, "y": 0, "width": 1024, "height": 700,
                 "logicalDpi": 96, "logicalBpp": 32, "dpr": 1 } ] }
EOF

mkdir -p "$images"
for view in "${views[@]}"; do
  # A fresh program directory a picture, as scripts/run.sh prepares one: the demo server in
  # config.ini ("name:address:port", GBK) and the remembered demo login in sys.ini ("user|password",
  # every byte XOR 0xB6).
  home="$work/home-$view"
  mkdir -p "$home"
  printf '\xd1\xdd\xca\xbe\xd6\xf7\xd5\xbe:127.0.0.1:%s\r\n' "$port" >"$home/config.ini"
  perl -e 'print join "", map { chr(ord($_) ^ 0xB6) } split //, "demo|demo"' >"$home/sys.ini"
  chmod 600 "$home/sys.ini"
  # The views of one contract show a traded one (the board's first row is an index, which
  # has no volume); the multi-goods view shows one contract of each goods.
  goods=()
  case $view in
    kline | intraday | trades) goods=(--screenshot-goods 0112202702) ;;
    multi) printf '0112|20270225\r\n0121|20270225\r\n0131|20270225\r\n0145|20270225\r\n' >"$home/mutiview.ini" ;;
  esac
  QT_QPA_PLATFORM="offscreen:configfile=$work/screen.json" \
    build/src/ui/qelt --home "$home" --auto-login --send-pause 20 \
    --screenshot "$PWD/$images/$view.png" --screenshot-delay "$delay" --screenshot-view "$view" "${goods[@]}" \
    >"$work/qelt-$view.log" 2>&1 || { cat "$work/qelt-$view.log" >&2; exit 1; }
  [ -s "$images/$view.png" ] || { echo "manual-screenshots: no picture of $view" >&2; exit 1; }
  echo "$images/$view.png: $(stat -c %s "$images/$view.png") bytes"
done
# The manual is read offline and shipped: a picture should stay below about 150 KB.
for view in "${views[@]}"; do
  size=$(stat -c %s "$images/$view.png")
  [ "$size" -le 153600 ] || echo "manual-screenshots: $images/$view.png is $size bytes, over 150 KB" >&2
done
