#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test Qelt (sudo when not root).
set -euo pipefail
packages=(build-essential cmake ninja-build ccache pkg-config
          qt6-base-dev qt6-webengine-dev qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n libgl-dev libsqlite3-dev libgtest-dev
          libgmock-dev libbenchmark-dev clang clang-format libclang-rt-14-dev lld xvfb xauth fonts-wqy-microhei
          desktop-file-utils appstream groff-base man-db file)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
