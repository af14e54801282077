#!/bin/bash
# Builds the administrator program and starts the shipped 32-bit image under Wine. Without a display it
# runs on a virtual one and saves a screenshot of the window to build/screenshots/main-window.png instead.
# On a machine that refuses 32-bit code it runs inside the full-system emulator (scripts/emulator.sh),
# always headless, with the same screenshot.
set -u
source "$(dirname "$0")/common.sh"
xirarp_ensure_packages || exit 1
mkdir -p "$XIRARP_BUILD"
xirarp_configure_and_build i686 XirARP >/dev/null || exit 1

dir="$XIRARP_BUILD/win-i686"
program="$dir/bin/XirARP.exe"
echo "Program: $program ($(stat -c %s "$program") bytes)"
lane="${XIRARP_I686_LANE:-$(xirarp_i686_lane)}"
[ "$lane" = none ] && lane=emulator  # the one way to run the 32-bit image there

if [ "$lane" = host ] && [ -n "${DISPLAY:-}" ]; then
    cd "$(dirname "$program")" && exec "$dir/wine-run.sh" "$program"
fi

shots="$XIRARP_BUILD/screenshots"
mkdir -p "$shots"
rm -f "$shots/main-window.png"
# Starts the program in a Wine virtual desktop on a virtual display, waits for its window (a first start
# of a new Wine prefix takes long, inside the emulator minutes) and photographs the screen.
show_and_shoot='
    dir="$1"; program="$2"; shot="$3"; settle="$4"
    cd "$(dirname "$program")"
    "$dir/wine-run.sh" explorer /desktop=XirARP,800x600 "$program" &
    for i in $(seq 1 600); do
        xdotool search --name "XirARP Utility" >/dev/null 2>&1 && break
        sleep 1
    done
    sleep "$settle"
    import -window root "$shot"
    WINEPREFIX="$dir/wineprefix" wineserver -k
'
launcher=()
settle=2 # seconds for the window to paint once it is there
if [ "$lane" = emulator ]; then
    settle=30
    launcher=("$XIRARP_ROOT/scripts/emulator.sh")
    if [ -f "$dir/wineprefix/.xirarp-ready" ]; then
        echo "Starting the 32-bit image inside the emulator (about 2 to 3 minutes)." >&2
    else
        echo "Starting the 32-bit image inside the emulator (about 10 minutes the" \
            "first time, while its Wine prefix is made; 2 to 3 minutes after)." >&2
    fi
fi
started=$SECONDS
"${launcher[@]}" xvfb-run -a -s "-screen 0 800x600x24" bash -c "$show_and_shoot" _ "$dir" "$program" "$shots/main-window.png" "$settle"
if [ ! -s "$shots/main-window.png" ]; then
    echo "The window could not be photographed." >&2
    exit 1
fi
where="on a virtual display"
[ "$lane" = emulator ] && where="inside the emulator, on a virtual display"
echo "The window was shown $where in $((SECONDS - started)) s; screenshot saved to $shots/main-window.png"
