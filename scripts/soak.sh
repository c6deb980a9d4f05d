#!/usr/bin/env bash
# The long soak: 200 capture cycles (or the count given) against Kadrix.exe
# under Wine with every core busy, printing its memory and handle counts
# every 10th cycle. The test suite runs the same test with 30 cycles.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset mingw >/dev/null && cmake --build --preset mingw --target Kadrix kadrix_e2e
source scripts/wine-env.sh
trap kadrix_cleanup EXIT
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv="
kadrix_start_xvfb 1280x800x24
kadrix_fresh_prefix
# Every core kept busy: the copies must not be lost under load.
stress --cpu "$(nproc)" >/dev/null 2>&1 &
KADRIX_STARTED_PIDS+=("$!")
KADRIX_SOAK_CYCLES="${1:-200}" wine build/mingw/kadrix_e2e.exe --gtest_filter='Soak.*'
