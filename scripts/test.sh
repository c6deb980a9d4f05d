#!/usr/bin/env bash
# Runs every test: native unit tests (sanitizers on), the fuzz targets on
# their stored inputs, the same portable tests built with MinGW under Wine,
# then the end-to-end tests of Kadrix.exe under Wine, in two shards side by
# side (each its own X server and prefix; the second also takes the
# two-monitor display) against the upload service on loopback. Installs and
# builds what is missing first, and prints where the time went at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

STAGE_LINES=()
STAGE_NOW=""
RUN_START=$SECONDS
# stage "name" command...: runs the command as one timed step of the run.
stage() {
    local name=$1 t0=$SECONDS
    shift
    STAGE_NOW=$name
    echo "== $name"
    "$@"
    STAGE_LINES+=("$(printf '%6ds  %s' $((SECONDS - t0)) "$name")")
    STAGE_NOW=""
}
print_breakdown() {
    echo "== time breakdown"
    printf '%s\n' "${STAGE_LINES[@]}"
    [ -z "$STAGE_NOW" ] || echo "        (stopped in: $STAGE_NOW)"
    printf '%6ds  total\n' $((SECONDS - RUN_START))
}

trap print_breakdown EXIT
stage "setup" bash scripts/setup.sh

build_native() {
    cmake --preset native >/dev/null
    cmake --build --preset native
}
stage "native build" build_native
stage "native unit and service tests" ctest --preset native -j"$(nproc)"
stage "fuzz targets on their stored inputs" \
    env KADRIX_FUZZ_SHORT_SECONDS="${KADRIX_FUZZ_SHORT_SECONDS:-10}" bash scripts/fuzz.sh --short

# What the tests run and ship; the benchmarks and the developer view build
# with the preset's default target.
build_mingw() {
    cmake --preset mingw >/dev/null
    cmake --build --preset mingw --target Kadrix kadrix_unit_tests kadrix_fuzz_replay kadrix_e2e
}
stage "MinGW build" build_mingw
stage "packages" env KADRIX_DIST_NO_SETUP=1 bash scripts/dist.sh
stage "shipped paths" bash scripts/check-paths.sh build/dist/Kadrix-*/Kadrix.exe

source scripts/wine-env.sh
SERVICE_DIR=$(mktemp -d /tmp/kadrix-service.XXXXXX)
ARTIFACTS="$PWD/build/e2e-failures"
rm -rf "$ARTIFACTS"
FAULT_MOUNTS=()
unmount_fault_folders() {
    for dir in "${FAULT_MOUNTS[@]}"; do umount "$dir" 2>/dev/null || true; done
}
trap 'unmount_fault_folders; kadrix_cleanup; rm -rf "$SERVICE_DIR"; print_breakdown' EXIT
# No sound card here: without Wine's audio drivers the player is silent
# instead of filling the log with ALSA errors.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winealsa.drv,winepulse.drv="

# Starts the upload service (its log, its data folder, more options) on a
# free port it picks and prints; sets SERVICE_URL.
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
# tests trust in the prefix. The fault tests relay to a second one in plain
# HTTP. Paths reach the driver as Wine paths (Z: is /).
start_upload_services() {
    [ -x "$SERVICE" ] || { echo "no $SERVICE" >&2; return 1; }
    start_service "$SERVICE_DIR/service.log" "$SERVICE_DIR/data"
    export KADRIX_TEST_SERVICE_URL="$SERVICE_URL"
    export KADRIX_TEST_SERVICE_DATA="Z:${SERVICE_DIR//\//\\}\\data"
    export KADRIX_TEST_SERVICE_CERT="Z:${SERVICE_DIR//\//\\}\\data\\tls\\cert.pem"
    start_service "$SERVICE_DIR/plain.log" "$SERVICE_DIR/plain" --http
    export KADRIX_TEST_PLAIN_SERVICE_URL="$SERVICE_URL"
}

# A full volume and a read-only one, each holding old.png, for the fault
# tests. Mounting needs root (chmod stops no write of root's): without it
# those tests skip, or fail when CI is set.
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
    export KADRIX_TEST_FULL_DIR="Z:${full//\//\\}" KADRIX_TEST_READONLY_DIR="Z:${ro//\//\\}"
}

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
    local setup="$PWD/build/dist/Kadrix-$version-setup.exe" portable="$dir/Kadrix-$version"
    export KADRIX_TEST_SETUP="Z:${setup//\//\\}" KADRIX_TEST_PORTABLE="Z:${portable//\//\\}"
}

prepare_e2e() {
    start_upload_services
    prepare_fault_folders
    check_packages
    export KADRIX_TEST_ARTIFACTS="Z:${ARTIFACTS//\//\\}"
}
stage "services, mounts and packages for the e2e tests" prepare_e2e

# The two shards take about the same time; every suite is in exactly one
# (the check below). Screenshots only makes the guide's pictures.
SHARD_A='Capture.*:Annotate.*:Editor.*:TextTool.*:Output.*:SaveAs.*:MouseChord.*:Widgets.*:Installer.*:Settings.*:Companions.*'
LOADED='Soak.*' # after both shards, with every core kept busy
SHARD_B='Foundation.*:Upload.*:Faults.*:Exit.*:Crash.*'
MONITORS='Monitors.*'
E2E_LOGS="$PWD/build/e2e-logs"
mkdir -p "$E2E_LOGS"

check_shards() {
    local suites missing=""
    suites=$(sed -n 's/^TEST\(_F\)\{0,1\}(\([A-Za-z0-9_]*\),.*/\2/p' tests/e2e/*.cpp | sort -u)
    for suite in $suites; do
        case ":$SHARD_A:$SHARD_B:$LOADED:$MONITORS:Screenshots.*:" in
        *":$suite.*:"*) ;;
        *) missing="$missing $suite" ;;
        esac
    done
    [ -z "$missing" ] || { echo "e2e suites in no shard:$missing" >&2; return 1; }
}

# One shard: its own X server and prefix; prints its log when it fails.
run_shard() {
    local name=$1 filter=$2 log="$E2E_LOGS/$1.log"
    (
        trap kadrix_cleanup EXIT
        KADRIX_STARTED_PIDS=()
        t0=$SECONDS
        kadrix_start_xvfb 1280x800x24
        kadrix_fresh_prefix
        if [ "$name" = b ]; then
            echo "-- portable unit tests under Wine"
            wine build/mingw/kadrix_unit_tests.exe --gtest_brief=1
            echo "-- the fuzz targets' stored inputs under Wine"
            wine build/mingw/kadrix_fuzz_replay.exe fuzz/corpus
        fi
        if [ "$name" = soak ]; then
            echo "-- the soak with every core busy"
            stress --cpu "$(nproc)" >/dev/null 2>&1 &
            KADRIX_STARTED_PIDS+=("$!")
            wine build/mingw/kadrix_e2e.exe --gtest_filter="$filter"
        else
            echo "-- end-to-end tests"
            wine build/mingw/kadrix_e2e.exe --gtest_filter="$filter"
        fi
        if [ "$name" = b ]; then
            kadrix_cleanup
            KADRIX_STARTED_PIDS=()
            # Xvfb cannot place a monitor left of the primary; Xorg's dummy driver can.
            echo "-- end-to-end tests on two monitors"
            kadrix_start_xorg_monitors
            kadrix_fresh_prefix
            kadrix_monitors_prefix
            kadrix_root_pattern
            KADRIX_TEST_MONITORS=1 wine build/mingw/kadrix_e2e.exe --gtest_filter="$MONITORS"
        fi
        echo "-- shard $name: $((SECONDS - t0)) s"
    ) >"$log" 2>&1
}

run_e2e() {
    check_shards
    local a b failed=0
    run_shard a "$SHARD_A" &
    a=$!
    run_shard b "$SHARD_B" &
    b=$!
    wait "$a" || failed=1
    wait "$b" || failed=1
    # Alone: its stress would otherwise load the other shard's tests too.
    run_shard soak "$LOADED" &
    wait "$!" || failed=1
    for shard in a b soak; do
        echo "-- shard $shard (full log: build/e2e-logs/$shard.log)"
        if [ "$failed" = 1 ]; then
            cat "$E2E_LOGS/$shard.log"
        else
            grep -E '^(\[       OK \]|\[  SKIPPED \]|\[  PASSED  \]|\[soak\]|-- )' "$E2E_LOGS/$shard.log"
        fi
    done
    if [ "$failed" = 1 ]; then
        [ -d "$ARTIFACTS" ] && echo "screen grabs of the failed checks: $ARTIFACTS"
        return 1
    fi
}
stage "end-to-end tests under Wine (two shards)" run_e2e
