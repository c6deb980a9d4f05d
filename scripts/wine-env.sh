# Sourced by the run and test scripts: a display (the current one or a fresh
# Xvfb) and a Wine prefix, both cleaned up by PID when the caller exits.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

KADRIX_STARTED_PIDS=()

kadrix_cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && [ -n "${KADRIX_OWN_PREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
    fi
    for pid in "${KADRIX_STARTED_PIDS[@]}"; do
        kill "$pid" >/dev/null 2>&1 || true
        wait "$pid" 2>/dev/null || true
    done
    if [ -n "${KADRIX_OWN_PREFIX:-}" ] && [ -d "$KADRIX_OWN_PREFIX" ]; then rm -rf "$KADRIX_OWN_PREFIX"; fi
}

# Starts Xvfb on the first free display number and exports DISPLAY.
kadrix_start_xvfb() {
    local size="${1:-1280x800x24}" n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
        local pid=$!
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
            KADRIX_STARTED_PIDS+=("$pid")
            export DISPLAY=":$n"
            return 0
        fi
    done
    echo "could not start Xvfb" >&2
    return 1
}

# A fresh, temporary prefix: tests never depend on what an earlier run left.
kadrix_fresh_prefix() {
    KADRIX_OWN_PREFIX=$(mktemp -d /tmp/kadrix-wine.XXXXXX)
    export WINEPREFIX="$KADRIX_OWN_PREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1 || true
}
