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

echo "== fuzz targets on their stored inputs"
KADRIX_FUZZ_SHORT_SECONDS=${KADRIX_FUZZ_SHORT_SECONDS:-10} bash scripts/fuzz.sh --short

echo "== MinGW build"
cmake --preset mingw >/dev/null
cmake --build --preset mingw

echo "== packages"
KADRIX_DIST_NO_SETUP=1 bash scripts/dist.sh

source scripts/wine-env.sh
SERVICE_DIR=$(mktemp -d /tmp/kadrix-service.XXXXXX)
FAULT_MOUNTS=()
unmount_fault_folders() {
    for dir in "${FAULT_MOUNTS[@]}"; do umount "$dir" 2>/dev/null || true; done
}
trap 'unmount_fault_folders; kadrix_cleanup; rm -rf "$SERVICE_DIR"' EXIT
# No sound card here: without Wine's audio drivers the player is silent
# instead of filling the log with ALSA errors.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv="
kadrix_start_xvfb 1280x800x24
kadrix_fresh_prefix

echo "== portable unit tests under Wine"
wine build/mingw/kadrix_unit_tests.exe --gtest_brief=1

# Starts the upload service (its log, its data folder, more options) on a
# free port it picks and prints; sets SERVICE_URL, empty when it did not start.
SERVICE=build/native/service/kadrix-service
start_service() {
    local log=$1 data=$2
    shift 2
    "$SERVICE" "$@" --listen 127.0.0.1:0 --data "$data" 2>"$log" &
    KADRIX_STARTED_PIDS+=("$!")
    for _ in $(seq 1 100); do
        grep -q "ServiceUrl:" "$log" && break
        kill -0 "$!" 2>/dev/null || break
        sleep 0.1
    done
    SERVICE_URL=$(sed -n 's/^kadrix-service listening on //p' "$log")
    [ -n "$SERVICE_URL" ] || { cat "$log" >&2; echo "the upload service did not start" >&2; return 1; }
}

# The upload tests need the service; its self-signed certificate is what the
# tests trust in the prefix.
start_upload_service() {
    [ -x "$SERVICE" ] || { echo "no $SERVICE: upload tests skip"; return 0; }
    start_service "$SERVICE_DIR/service.log" "$SERVICE_DIR/data"
    export KADRIX_TEST_SERVICE_URL="$SERVICE_URL"
    KADRIX_TEST_SERVICE_DATA=$(winepath -w "$SERVICE_DIR/data")
    KADRIX_TEST_SERVICE_CERT=$(winepath -w "$SERVICE_DIR/data/tls/cert.pem")
    export KADRIX_TEST_SERVICE_DATA KADRIX_TEST_SERVICE_CERT
}
start_upload_service

# --- fault tests (tests/e2e/FaultsTest.cpp) -------------------------------
# A full volume and a read-only one, each holding old.png, and the service
# in plain HTTP, which the tests' misbehaving server relays to. Mounting
# needs root (chmod stops no write of root's): without it those tests skip.
prepare_fault_folders() {
    local full="$SERVICE_DIR/full" ro="$SERVICE_DIR/readonly"
    mkdir -p "$full" "$ro"
    if ! mount -t tmpfs -o size=1m tmpfs "$full" 2>/dev/null; then
        echo "cannot mount a tmpfs: the full and read-only folder tests skip"
        return 0
    fi
    FAULT_MOUNTS+=("$full")
    head -c 4096 /dev/urandom >"$full/old.png"
    dd if=/dev/zero of="$full/filler" bs=64k 2>/dev/null || true
    mount -t tmpfs -o size=1m tmpfs "$ro"
    FAULT_MOUNTS+=("$ro")
    head -c 4096 /dev/urandom >"$ro/old.png"
    mount -o remount,ro "$ro"
    KADRIX_TEST_FULL_DIR=$(winepath -w "$full")
    KADRIX_TEST_READONLY_DIR=$(winepath -w "$ro")
    export KADRIX_TEST_FULL_DIR KADRIX_TEST_READONLY_DIR
}
prepare_fault_folders

start_plain_service() {
    [ -x "$SERVICE" ] || return 0
    start_service "$SERVICE_DIR/plain.log" "$SERVICE_DIR/plain" --http
    export KADRIX_TEST_PLAIN_SERVICE_URL="$SERVICE_URL"
}
start_plain_service
# --- end of fault tests -----------------------------------------------------

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

# Xvfb cannot place a monitor left of the primary; Xorg's dummy driver can.
echo "== end-to-end tests on two monitors"
(
    trap kadrix_cleanup EXIT
    KADRIX_STARTED_PIDS=()
    kadrix_start_xorg_monitors
    kadrix_fresh_prefix
    kadrix_monitors_prefix
    KADRIX_TEST_MONITORS=1 wine build/mingw/kadrix_e2e.exe --gtest_filter='Monitors.*' --gtest_brief=1
)
