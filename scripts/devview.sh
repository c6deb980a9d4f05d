#!/usr/bin/env bash
# Builds the developer view and runs it under Wine on a virtual display with a
# fresh prefix: every artwork picture, control state and window lands as PNG
# files in build/devview/ (open index.html there to see them all).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target kadrix_devview
source scripts/wine-env.sh
trap kadrix_cleanup EXIT
kadrix_start_xvfb
kadrix_fresh_prefix
out="$PWD/build/devview"
rm -rf "$out"
mkdir -p "$out"
wine build/mingw/kadrix_devview.exe "$(winepath -w "$out")"
echo "Developer view: $out/index.html"
