#!/usr/bin/env bash
# Benchmarks: the portable ones natively (Release), then the capture latency
# of the real overlay under Wine on a 1920x1080 virtual screen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset bench >/dev/null && cmake --build --preset bench
./build/bench/kadrix_bench "$@"
cmake --preset mingw >/dev/null && cmake --build --preset mingw --target kadrix_capture_bench kadrix_output_bench Kadrix
source scripts/wine-env.sh
trap kadrix_cleanup EXIT
kadrix_start_xvfb 1920x1080x24
kadrix_fresh_prefix
wine build/mingw/kadrix_capture_bench.exe
wine build/mingw/kadrix_output_bench.exe
