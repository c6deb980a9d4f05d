#!/usr/bin/env bash
# Runs every test: native unit tests (sanitizers on), the same portable tests
# built with MinGW under Wine, then the end-to-end tests of Kadrix.exe under
# Wine + Xvfb against the upload service on loopback. Installs and builds
# what is missing first.
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

echo "== packages"
KADRIX_DIST_NO_SETUP=1 bash scripts/dist.sh

source scripts/wine-env.sh
SERVICE_DIR=$(mktemp -d /tmp/kadrix-service.XXXXXX)
trap 'kadrix_cleanup; rm -rf "$SERVICE_DIR"' EXIT
# No sound card here: without Wine's audio drivers the player is silent
# instead of filling the log with ALSA errors.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv="
kadrix_start_xvfb 1280x800x24
kadrix_fresh_prefix

echo "== portable unit tests under Wine"
wine build/mingw/kadrix_unit_tests.exe --gtest_brief=1

# The upload tests need the service: port 0 lets it pick a free one, which it
# prints; its self-signed certificate is what the tests trust in the prefix.
start_upload_service() {
    local service=build/native/service/kadrix-service log="$SERVICE_DIR/service.log"
    [ -x "$service" ] || { echo "no $service: upload tests skip"; return 0; }
    "$service" --listen 127.0.0.1:0 --data "$SERVICE_DIR/data" 2>"$log" &
    KADRIX_STARTED_PIDS+=("$!")
    for _ in $(seq 1 100); do
        grep -q "ServiceUrl:" "$log" && break
        kill -0 "$!" 2>/dev/null || break
        sleep 0.1
    done
    local url
    url=$(sed -n 's/^kadrix-service listening on //p' "$log")
    [ -n "$url" ] || { cat "$log" >&2; echo "the upload service did not start" >&2; return 1; }
    export KADRIX_TEST_SERVICE_URL="$url"
    KADRIX_TEST_SERVICE_DATA=$(winepath -w "$SERVICE_DIR/data")
    KADRIX_TEST_SERVICE_CERT=$(winepath -w "$SERVICE_DIR/data/tls/cert.pem")
    export KADRIX_TEST_SERVICE_DATA KADRIX_TEST_SERVICE_CERT
}
start_upload_service

# The portable zip holds exactly what ships; the installer and the unpacked
# folder are handed to the end-to-end tests.
check_packages() {
    local version zip dir expected actual
    version=$(sed -n 's/^project(Kadrix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
    zip="build/dist/Kadrix-$version-portable.zip"
    dir="$SERVICE_DIR/portable"
    unzip -q "$zip" -d "$dir"
    expected=$(printf '%s\n' Kadrix.exe NOTICES.txt screenshoot.wav \
        Fonts/{NotoSans-Regular,NotoSans-Bold,NotoSans-Italic,NotoSans-BoldItalic}.ttf \
        Fonts/{Roboto-Regular,Roboto-Bold,OpenSans-Regular,OpenSans-Bold}.ttf | sort)
    actual=$(cd "$dir/Kadrix-$version" && find . -type f | sed 's|^\./||' | sort)
    if [ "$expected" != "$actual" ]; then
        echo "the portable zip holds other files than the ones that ship:" >&2
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        return 1
    fi
    KADRIX_TEST_SETUP=$(winepath -w "build/dist/Kadrix-$version-setup.exe")
    KADRIX_TEST_PORTABLE=$(winepath -w "$dir/Kadrix-$version")
    export KADRIX_TEST_SETUP KADRIX_TEST_PORTABLE
}
check_packages

echo "== end-to-end tests under Wine"
wine build/mingw/kadrix_e2e.exe --gtest_brief=1
