#!/usr/bin/env bash
# Makes the user manual's pictures again: builds, starts the demo quote server on a free
# loopback port with a fresh data directory (always in session, a fixed market seed), prepares
# a temporary program directory with the demo login, and lets the client picture each view of
# itself offscreen (qelt --screenshot FILE --screenshot-view NAME) into docs/manual/images/.
# The server and the temporary directories go when the script ends.
#
#   scripts/manual-screenshots.sh [NAME...]     (default: all of them)
#
# NAME is a view (board, kline, intraday, trades, multi, info: the picture NAME.png),
# drawing (the K-line view with drawn lines: drawing.png), minutes (the K-line view of a
# contract traded continuously on its 5-minute bars, after the past days came in: minutes.png),
# mainformula (例五: a 主图 formula with arrows), formulapane (例六: a pane of columns and words),
# alarms (the alarm window with condition hits), or one of 交易评测's pictures (system: the window after a test of the example moving-average
# cross; heatmap: its two periods optimised; marks: the K-line view with the trades marked),
# or screening (条件选股's window after screening every contract with the example channel).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

images=docs/manual/images
views=("$@")
[ ${#views[@]} -gt 0 ] || views=(board kline intraday trades multi info drawing minutes mainformula formulapane system heatmap marks screening alarms)
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

# The formulas of the formulas chapter's 例五 and 例六 (formula.txt, UTF-8).
example_formulas() {
  cat <<'FORMULAS'
next_id=1005

[1003]
name=均线交叉箭头
description=短均线上穿长均线画向上箭头，下穿画向下箭头；FILTER 使信号 5 天内不重复
param=SHORT,5,2,60
param=LONG,20,5,250
place=main
text=短线:MA(CLOSE,SHORT);
text=长线:MA(CLOSE,LONG);
text=DRAWICON(FILTER(CROSS(短线,长线),5),LOW*0.995,1),COLORRED;
text=DRAWICON(FILTER(CROSS(长线,短线),5),HIGH*1.005,2),COLORGREEN;

[1004]
name=涨跌柱
description=收盘与开盘之间的柱，放量上涨日标“量”字
text=STICKLINE(CLOSE>=OPEN,OPEN,CLOSE,6,1),COLORRED;
text=STICKLINE(CLOSE<OPEN,OPEN,CLOSE,6,0),COLORCYAN;
text=DRAWTEXT(CLOSE>OPEN AND VOL>MA(VOL,10)*1.5,HIGH,'量'),COLORYELLOW;
text=收盘:CLOSE,NODRAW;
FORMULAS
}

# The same and 突破, a breakout of the last 20 days' highest price (the screening and alarm
# pictures' condition).
breakout_formulas() {
  example_formulas | sed 's/^next_id=1005/next_id=1006/'
  printf '\n[1005]\nname=突破\ndescription=收盘价高于前 20 天的最高价\ntext=突破:C>REF(HHV(H,20),1);\n'
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
    kline | intraday | trades | system | heatmap | marks) goods=(--screenshot-goods 0112202702) ;;
    multi) printf '0112|20270225\r\n0121|20270225\r\n0131|20270225\r\n0145|20270225\r\n' >"$home/mutiview.ini" ;;
    drawing)
      shown=kline
      goods=(--screenshot-goods 0112202702)
      drawn_lines >"$home/myline.txt"
      ;;
    mainformula)
      # 例五 of the formulas chapter: a 主图 formula with buy and sell arrows (mainformula.ini
      # names the formulas drawn over the candles).
      shown=kline
      goods=(--screenshot-goods 0112202702)
      example_formulas >"$home/formula.txt"
      printf '1003|' >"$home/mainformula.ini"
      ;;
    formulapane)
      # 例六: a pane of columns and words (winfile.ini: VOL, then formula 1004).
      shown=kline
      goods=(--screenshot-goods 0112202702)
      example_formulas >"$home/formula.txt"
      printf '1|1004|' >"$home/winfile.ini"
      ;;
    screening)
      # Screened with the breakout formula of the alarms' picture.
      breakout_formulas >"$home/formula.txt"
      ;;
    alarms)
      # The alarm window with condition hits: a breakout formula watching every contract
      # (condalarm.ini), the alarms on (alarm.ini).
      breakout_formulas >"$home/formula.txt"
      contracts=$(LC_ALL=C awk -F'|' '/^S\|/ && $3 ~ /^[0-9]+$/ { printf "%s%s/%s", n++ ? "," : "", $2, $3 }' "$work/server-data/history.txt")
      printf 'next=2\nentry=1|1005|1||%s\n' "$contracts" >"$home/condalarm.ini"
      printf 'window=1\r\nsound=0\r\n' >"$home/alarm.ini"
      ;;
    minutes)
      # The period the chart was left in (klineperiod.ini: 5 is the 5-minute bars).
      shown=kline
      goods=(--screenshot-goods 0131202702)
      printf '5' >"$home/klineperiod.ini"
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
