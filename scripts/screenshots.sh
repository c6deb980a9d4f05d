#!/usr/bin/env bash
# Makes the README's pictures (docs/img/*.png): Kadrix.exe driven under Wine
# on a virtual screen, the screen grabbed at each step.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Kadrix kadrix_e2e
source scripts/wine-env.sh
trap kadrix_cleanup EXIT
kadrix_start_xvfb 1280x800x24
kadrix_fresh_prefix
mkdir -p docs/img
KADRIX_SCREENSHOTS=$(winepath -w docs/img) wine build/mingw/kadrix_e2e.exe \
    --gtest_filter=Screenshots.* --gtest_brief=1
ls -l docs/img
