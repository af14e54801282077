#!/bin/bash
# Screenshots of the main window in the three languages, taken on a virtual display inside a Wine
# virtual desktop (so the windows have frames), saved to docs/screenshots/.
set -u
source "$(dirname "$0")/common.sh"
xirarp_ensure_packages || exit 1
arch="$(xirarp_test_arch)"
xirarp_configure_and_build "$arch" XirARP >/dev/null || exit 1
dir="$XIRARP_BUILD/win-$arch"
out="$XIRARP_ROOT/docs/screenshots"
mkdir -p "$out"
export WINEPREFIX="$dir/wineprefix"

xvfb-run -a -s "-screen 0 640x560x24" bash -c '
    dir="$1"; out="$2"
    wine="$dir/wine-run.sh"
    cd "$dir/bin"
    for entry in 0:english 1:simplified 2:traditional; do
        "$wine" reg add "HKCU\\Software\\Xir\\XirARP" /v language /t REG_DWORD /d "${entry%%:*}" /f >/dev/null 2>&1
        "$wine" reg add "HKCU\\Software\\Xir\\XirARP" /v gwip /t REG_SZ /d 192.168.1.1 /f >/dev/null 2>&1
        "$wine" reg add "HKCU\\Software\\Xir\\XirARP" /v gwmac /t REG_SZ /d 00-1A-2B-3C-4D-5E /f >/dev/null 2>&1
        "$wine" explorer /desktop=XirARP,640x560 "$dir/bin/XirARP.exe" >/dev/null 2>&1 &
        for i in $(seq 1 120); do
            xdotool search --name "XirARP Utility" >/dev/null 2>&1 && break
            sleep 0.5
        done
        sleep 2
        import -window root -crop 420x460+0+0 "$out/main-${entry#*:}.png"
        wineserver -k
        sleep 1
    done
    "$wine" reg delete "HKCU\\Software\\Xir" /f >/dev/null 2>&1
    wineserver -k
' _ "$dir" "$out"
ls "$out"
