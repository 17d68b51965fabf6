#!/usr/bin/env bash
# Checks a hand-written manual page: it formats without a single warning at the common
# terminal widths, and, given its program, it names exactly the long options the program's
# --help prints (--help and --version may be described without being listed), so the page
# and the program cannot drift apart.
#   CheckManPage.sh PAGE [PROGRAM]
set -uo pipefail
page=$1
program=${2:-}
status=0

warnings=$(
  groff -man -Tutf8 -ww -z "$page" 2>&1
  for width in 60 80 120; do
    MANWIDTH=$width LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 >/dev/null | sed "s/^/width $width: /"
  done
)
if [ -n "$warnings" ]; then
  printf '%s: formatting warnings:\n%s\n' "$page" "$warnings"
  status=1
fi

# Long options in a text: "--name" not inside a longer word.
long_options() { grep -oE -- '(^|[^A-Za-z0-9-])--[a-z][a-z0-9-]*' | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u; }

if [ -n "$program" ]; then
  help=$("$program" --help 2>&1) || { echo "$program --help failed"; exit 1; }
  # The page's source with troff's escapes for the minus and the fonts taken out.
  source=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\f([A-Z][A-Z]//g' -e 's/\\&//g' "$page")
  from_help=$(long_options <<<"$help")
  from_page=$(long_options <<<"$source")
  missing=$(comm -23 <(echo "$from_help") <(echo "$from_page"))
  stale=$(comm -13 <(echo "$from_help") <(echo "$from_page") | grep -vxE -- '--help|--version')
  if [ -n "$missing" ]; then
    printf '%s: options of %s --help the page does not name:\n%s\n' "$page" "$program" "$missing"
    status=1
  fi
  if [ -n "$stale" ]; then
    printf '%s: options the page names that %s --help does not:\n%s\n' "$page" "$program" "$stale"
    status=1
  fi
fi
exit $status
