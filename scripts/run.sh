#!/usr/bin/env bash
# Sets everything up, builds Kadrix.exe and starts it under Wine: on the
# current X display when there is one, otherwise on a virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Kadrix
source scripts/wine-env.sh
export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-kadrix}"
virtual=""
if [ -z "${DISPLAY:-}" ]; then
    virtual=1
    trap kadrix_cleanup EXIT
    kadrix_start_xvfb 1600x900x24
    echo "Kadrix runs on the virtual display $DISPLAY (screenshot: DISPLAY=$DISPLAY import -window root shot.png)"
fi
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1
# A desktop has a window manager; the virtual display has none.
if [ -n "$virtual" ]; then
    kadrix_no_window_manager
else
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
fi
wine build/mingw/Kadrix.exe "$@"
