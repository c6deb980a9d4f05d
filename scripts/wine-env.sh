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
        pkill -P "$pid" >/dev/null 2>&1 || true # stress's workers, say
        kill "$pid" >/dev/null 2>&1 || true
        wait "$pid" 2>/dev/null || true
    done
    if [ -n "${KADRIX_OWN_PREFIX:-}" ] && [ -d "$KADRIX_OWN_PREFIX" ]; then rm -rf "$KADRIX_OWN_PREFIX"; fi
}

# True once the X server (pid) listens on display n, which becomes DISPLAY.
# The display's lock file must name this server: another one may hold n.
kadrix_x_server_up() {
    local pid=$1 n=$2 owner=""
    for _ in $(seq 1 100); do
        owner=$(tr -d ' \n' 2>/dev/null <"/tmp/.X$n-lock" || true)
        [ -e "/tmp/.X11-unix/X$n" ] && [ "$owner" = "$pid" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if ! kill -0 "$pid" 2>/dev/null || [ ! -e "/tmp/.X11-unix/X$n" ] || [ "$owner" != "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        return 1
    fi
    KADRIX_STARTED_PIDS+=("$pid")
    export DISPLAY=":$n"
}

# One X server starts at a time: two shards starting together would both
# take the first free display number.
kadrix_lock_displays() {
    exec 8>/tmp/kadrix-displays.lock
    flock 8
}
kadrix_unlock_displays() {
    flock -u 8
    exec 8>&-
}

# Starts Xvfb on the first free display number and exports DISPLAY.
kadrix_start_xvfb() {
    local size="${1:-1280x800x24}" n
    kadrix_lock_displays
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "$size" -nolisten tcp >/dev/null 2>&1 &
        if kadrix_x_server_up "$!" "$n"; then
            kadrix_unlock_displays
            return 0
        fi
    done
    kadrix_unlock_displays
    echo "could not start Xvfb" >&2
    return 1
}

# Our X servers run no window manager. Wine hands full-screen windows such as
# the overlay to the window manager and, on every hide, waits 2 s for one to
# answer: the frozen overlay stayed on the screen, captures and closes lagged.
# Unmanaged, Wine places and unmaps its windows itself.
kadrix_no_window_manager() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
}

# A fresh, temporary prefix: tests never depend on what an earlier run left.
# Booting one takes Wine a while, so a booted prefix is kept per Wine version
# (made once, under a lock: shards start side by side) and copied.
kadrix_fresh_prefix() {
    local cache="${KADRIX_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kadrix}" version template
    version=$(wine --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' _)
    template="$cache/wine-prefix/$version-unmanaged"
    mkdir -p "$cache/wine-prefix"
    (
        flock 9
        if [ ! -f "$template/.booted" ]; then
            rm -rf "$template"
            mkdir -p "$template"
            WINEPREFIX="$template" wineboot -i >/dev/null 2>&1
            WINEPREFIX="$template" kadrix_no_window_manager
            WINEPREFIX="$template" wineserver -w >/dev/null 2>&1 || true
            touch "$template/.booted"
        fi
    ) 9>"$cache/wine-prefix/.lock"
    KADRIX_OWN_PREFIX=$(mktemp -d /tmp/kadrix-wine.XXXXXX)
    cp -a "$template/." "$KADRIX_OWN_PREFIX/"
    rm -f "$KADRIX_OWN_PREFIX/.booted"
    export WINEPREFIX="$KADRIX_OWN_PREFIX"
}

# Two monitors in one X display for the multi-monitor tests. Xvfb cannot
# place its Xinerama screens (they all sit at 0,0), so this runs Xorg with
# the dummy driver: a 1280x800 primary and a 1024x768 monitor left of and
# above it, which Wine reports at (-1024,-200)-(0,568). RandR is off so
# Wine takes the layout from Xinerama. Exports DISPLAY; call
# kadrix_monitors_prefix after kadrix_fresh_prefix.
kadrix_start_xorg_monitors() {
    local n dir conf
    dir=$(mktemp -d /tmp/kadrix-xorg.XXXXXX)
    conf="$dir/xorg.conf"
    cat >"$conf" <<'CONF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
    Option "DontVTSwitch" "true"
    Option "Xinerama" "true"
EndSection
Section "Extensions"
    Option "RANDR" "Disable"
    Option "GLX" "Disable"
EndSection
Section "Device"
    Identifier "Primary"
    Driver "dummy"
    VideoRam 16384
EndSection
Section "Device"
    Identifier "Secondary"
    Driver "dummy"
    VideoRam 16384
EndSection
Section "Monitor"
    Identifier "Any"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
    Modeline "1280x800" 83.50 1280 1352 1480 1680 800 803 809 831
    Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806
EndSection
Section "Screen"
    Identifier "PrimaryScreen"
    Device "Primary"
    Monitor "Any"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1280x800"
        Virtual 1280 800
    EndSubSection
EndSection
Section "Screen"
    Identifier "SecondaryScreen"
    Device "Secondary"
    Monitor "Any"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Modes "1024x768"
        Virtual 1024 768
    EndSubSection
EndSection
Section "ServerLayout"
    Identifier "TwoMonitors"
    Screen 0 "PrimaryScreen" Absolute 1024 200
    Screen 1 "SecondaryScreen" Absolute 0 0
EndSection
CONF
    kadrix_lock_displays
    for n in $(seq 141 190); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xorg ":$n" -config "$conf" -logfile "$dir/xorg.log" -noreset -nolisten tcp \
            -novtswitch -keeptty >/dev/null 2>&1 &
        if kadrix_x_server_up "$!" "$n"; then
            kadrix_unlock_displays
            # Read at start; the open log outlives its name.
            rm -rf "$dir"
            return 0
        fi
    done
    kadrix_unlock_displays
    echo "could not start Xorg with two monitors (see $dir/xorg.log)" >&2
    return 1
}

# The monitor tests' picture as the X root window's background, which the X
# server repaints by itself wherever a window uncovers it: on this display a
# Wine window on the second screen is not repainted once the overlay has
# covered it. Pixel (x, y) of the root is the tests' Pattern(x, y).
kadrix_root_pattern() {
    local w=2304 h=1000 dir
    dir=$(mktemp -d /tmp/kadrix-pattern.XXXXXX)
    perl -e 'for $y (0..$ARGV[1]-1) { for $x (0..$ARGV[0]-1) {
        print pack("CCC", ($x * 7) & 255, ($y * 5) & 255, (($x + $y) * 3) & 255) } }' \
        "$w" "$h" >"$dir/pattern.rgb"
    convert -size "${w}x$h" -depth 8 "rgb:$dir/pattern.rgb" "$dir/pattern.png"
    display -window root "$dir/pattern.png" >/dev/null 2>&1 &
    KADRIX_STARTED_PIDS+=("$!")
    # Shown once pixel (5, 7) is Pattern(5, 7).
    local shown=""
    for _ in $(seq 1 100); do
        if import -window root -crop 1x1+5+7 -depth 8 txt:- 2>/dev/null | grep -q '#232324'; then
            shown=1
            break
        fi
        sleep 0.1
    done
    rm -rf "$dir"
    [ -n "$shown" ] || { echo "the root window did not take the pattern" >&2; return 1; }
}

# Wine's XF86VidMode settings handler fails on the second Xinerama monitor
# and the prefix is left with one; without it Wine lists both.
kadrix_monitors_prefix() {
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseXVidMode /t REG_SZ /d N /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}
