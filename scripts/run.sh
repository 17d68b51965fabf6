#!/usr/bin/env bash
# Builds and starts the client with its own program directory under run/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
mkdir -p run/home
exec build/src/ui/qelt --home run/home "$@"
