#!/usr/bin/env bash
# Makes the user manual's pictures again: builds, starts the demo quote server on a free
# loopback port with a fresh data directory (always in session, a fixed market seed), prepares
# a temporary program directory with the demo login, and lets the client picture each view of
# itself offscreen (qelt --screenshot FILE --screenshot-view NAME) into docs/manual/images/.
# The server and the temporary directories go when the script ends.
#
#   scripts/manual-screenshots.sh [NAME...]     (default: all of them)
#
# NAME is a view (board, kline, intraday, trades, multi, info: the picture NAME.png) or
# drawing (the K-line view with drawn lines: drawing.png).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

images=docs/manual/images
views=("$@")
[ ${#views[@]} -gt 0 ] || views=(board kline intraday trades multi info drawing)
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
build/src/server/qelt-server --port 0 --bind 127.0.0.1 --data "$work/server-data" --clock demo \
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

# Drawn lines for the picture "drawing" (myline.txt: "list tag|goods_no|due_date|kind,unit,bar,
# price,bar,price;..."), placed on the contract's bars as the server keeps them: golden-section
# levels from the lowest low of the last 80 bars to the highest high after it, and a straight
# line through that low and the lowest low after the high.
drawn_lines() {
  LC_ALL=C awk -F'|' '
    /^S\|/ { inside = ($2 == "0112" && $3 == "20270225"); next }
    inside { high[n] = $4 + 0; low[n] = $5 + 0; n++ }
    END {
      lo = n - 80; if (lo < 0) lo = 0
      for (i = lo; i < n; i++) if (low[i] < low[lo]) lo = i
      hi = lo; for (i = lo; i < n; i++) if (high[i] > high[hi]) hi = i
      lo2 = hi; for (i = hi; i < n; i++) if (low[i] < low[lo2]) lo2 = i
      printf "12|0112|20270225|gold,6,%d,%.2f,%d,%.2f;line,6,%d,%.2f,%d,%.2f", lo, low[lo], hi, high[hi], lo, low[lo], lo2, low[lo2]
    }' "$work/server-data/history.txt"
}

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
  shown=$view
  case $view in
    kline | intraday | trades) goods=(--screenshot-goods 0112202702) ;;
    multi) printf '0112|20270225\r\n0121|20270225\r\n0131|20270225\r\n0145|20270225\r\n' >"$home/mutiview.ini" ;;
    drawing)
      shown=kline
      goods=(--screenshot-goods 0112202702)
      drawn_lines >"$home/myline.txt"
      ;;
  esac
  QT_QPA_PLATFORM="offscreen:configfile=$work/screen.json" \
    build/src/ui/qelt --home "$home" --auto-login --send-pause 20 \
    --screenshot "$PWD/$images/$view.png" --screenshot-delay "$delay" --screenshot-view "$shown" "${goods[@]}" \
    >"$work/qelt-$view.log" 2>&1 || { cat "$work/qelt-$view.log" >&2; exit 1; }
  [ -s "$images/$view.png" ] || { echo "manual-screenshots: no picture of $view" >&2; exit 1; }
  echo "$images/$view.png: $(stat -c %s "$images/$view.png") bytes"
done
# The manual is read offline and shipped: a picture should stay below about 150 KB.
for view in "${views[@]}"; do
  size=$(stat -c %s "$images/$view.png")
  [ "$size" -le 153600 ] || echo "manual-screenshots: $images/$view.png is $size bytes, over 150 KB" >&2
done
