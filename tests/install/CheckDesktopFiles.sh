#!/usr/bin/env bash
# Validates the desktop entry and the AppStream metadata with the desktop's own validators
# (desktop-file-utils, appstream); skipped (77) where they are not installed.
#   CheckDesktopFiles.sh DESKTOP_FILE METAINFO_FILE
set -uo pipefail
desktop=$1
metainfo=$2
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/setup.sh installs it)"; exit 77; }
done
status=0
desktop-file-validate "$desktop" || status=1
appstreamcli validate --no-net "$metainfo" || status=1
# The metadata names the desktop entry it describes: a renamed entry must take it along.
entry=$(basename "$desktop")
grep -q "<launchable type=\"desktop-id\">$entry</launchable>" "$metainfo" ||
  { echo "$metainfo does not launch $entry"; status=1; }
exit $status
