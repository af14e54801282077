#!/bin/bash
# Builds the administrator program and starts it under Wine. Without a display it runs on a virtual
# one and saves a screenshot of the window to build/screenshots/main-window.png instead.
set -u
source "$(dirname "$0")/common.sh"
xirarp_ensure_packages || exit 1
mkdir -p "$XIRARP_BUILD"
xirarp_configure_and_build i686 XirARP >/dev/null || exit 1

arch="$(xirarp_test_arch)"
if [ "$arch" != i686 ]; then
    echo "This machine cannot run 32-bit code: starting the 64-bit build of the same sources." >&2
    xirarp_configure_and_build "$arch" XirARP >/dev/null || exit 1
fi
dir="$XIRARP_BUILD/win-$arch"
program="$dir/bin/XirARP.exe"
echo "Program: $XIRARP_BUILD/win-i686/bin/XirARP.exe ($(stat -c %s "$XIRARP_BUILD/win-i686/bin/XirARP.exe") bytes)"


if [ -n "${DISPLAY:-}" ]; then
    cd "$(dirname "$program")" && exec "$dir/wine-run.sh" "$program"
fi

shots="$XIRARP_BUILD/screenshots"
mkdir -p "$shots"
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    dir="$1"; program="$2"; shot="$3"
    cd "$(dirname "$program")"
    "$dir/wine-run.sh" explorer /desktop=XirARP,800x600 "$program" &
    for i in $(seq 1 120); do
        xdotool search --name "XirARP Utility" >/dev/null 2>&1 && break
        sleep 0.5
    done
    sleep 2
    import -window root "$shot"
    WINEPREFIX="$dir/wineprefix" wineserver -k
' _ "$dir" "$program" "$shots/main-window.png"
echo "No display: the window was shown on a virtual display; screenshot saved to $shots/main-window.png"
