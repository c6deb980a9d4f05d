#!/usr/bin/env bash
# Benchmarks: the portable ones natively (Release), then under Wine the
# capture latency (key to first overlay pixel against a bare BitBlt) at
# 1920x1080 and 3840x2160, the peak memory of a capture of three 4K monitors
# (11520x2160), and the output speed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset bench >/dev/null && cmake --build --preset bench
./build/bench/kadrix_bench "$@"
cmake --preset mingw >/dev/null && cmake --build --preset mingw --target kadrix_capture_bench \
    kadrix_capture_memory_bench kadrix_output_bench Kadrix
source scripts/wine-env.sh
trap kadrix_cleanup EXIT
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv="
kadrix_fresh_prefix
# Each screen size gets its own X server; Wine's session restarts with it.
on_screen() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    kadrix_start_xvfb "$1"
    shift
    wine "$@"
}
on_screen 1920x1080x24 build/mingw/kadrix_capture_bench.exe 30
on_screen 3840x2160x24 build/mingw/kadrix_capture_bench.exe 30
on_screen 11520x2160x24 build/mingw/kadrix_capture_memory_bench.exe
on_screen 1920x1080x24 build/mingw/kadrix_output_bench.exe
