#!/usr/bin/env bash
# Runs every test: native unit tests (sanitizers on), the same portable tests
# built with MinGW under Wine, then the end-to-end tests of Kadrix.exe under
# Wine + Xvfb. Installs and builds what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== native build and unit tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native -j"$(nproc)"

echo "== MinGW build"
cmake --preset mingw >/dev/null
cmake --build --preset mingw

source scripts/wine-env.sh
trap kadrix_cleanup EXIT
kadrix_start_xvfb 1280x800x24
kadrix_fresh_prefix

echo "== portable unit tests under Wine"
wine build/mingw/kadrix_unit_tests.exe --gtest_brief=1

echo "== end-to-end tests under Wine"
wine build/mingw/kadrix_e2e.exe --gtest_brief=1
