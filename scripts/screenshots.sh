#!/bin/bash
# Screenshots of the main window and of a locked client's notification-area menu in the three
# languages, taken on a virtual display inside a Wine virtual desktop (so the windows have frames),
# saved to docs/screenshots/.
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
        "$wine" reg add "HKCU\\Software\\Xir\\XirARP" /v syslog /t REG_SZ /d tcp://collector.example:514 /f >/dev/null 2>&1
        "$wine" explorer /desktop=XirARP,640x560 "$dir/bin/XirARP.exe" >/dev/null 2>&1 &
        for i in $(seq 1 120); do
            xdotool search --name "XirARP Utility" >/dev/null 2>&1 && break
            sleep 0.5
        done
        sleep 2
        import -window root -crop 420x485+0+0 "$out/main-${entry#*:}.png"
        wineserver -k
        sleep 1
    done
    "$wine" reg delete "HKCU\\Software\\Xir" /f >/dev/null 2>&1
    wineserver -k
' _ "$dir" "$out"

# A client copy that always binds hides itself locked at once; its icon sits at the right end of the
# virtual desktop's taskbar. The client takes the system language, so each runs under its locale.
client="$dir/screenshots-client"
rm -rf "$client"
mkdir -p "$client"
cp "$dir/bin/XirARP.exe" "$client/XirARP-Client.exe"
cp "$dir/standins/arp.exe" "$dir/standins/ping.exe" "$client/"
printf 'Windows Registry Editor Version 5.00\r\n\n[HKEY_CURRENT_USER\\Software\\Xir\\XirARP]\r\n"language"=dword:00000000\r\n"mode"="58RDE3HVN0GA1"\r\n"pwd"="0123456789abcdef0123456789abcdef"\r\n"timer"=dword:00000600\r\n"gwmac"="00-1A-2B-3C-4D-5E"\r\n"gwip"="192.168.1.1"\r\n' >>"$client/XirARP-Client.exe"
for entry in C.UTF-8:english zh_CN.UTF-8:simplified zh_TW.UTF-8:traditional; do
    LC_ALL="${entry%%:*}" xvfb-run -a -s "-screen 0 320x200x24" bash -c '
        dir="$1"; client="$2"; shot="$3"
        cd "$client"
        "$dir/wine-run.sh" explorer /desktop=XirARPTray,320x200 "$client/XirARP-Client.exe" >/dev/null 2>&1 &
        for i in $(seq 1 60); do
            xdotool search --name "XirARP Utility" >/dev/null 2>&1 && break
            sleep 0.5
        done
        sleep 3
        xdotool mousemove 310 189 click 3
        sleep 1.5
        import -window root -crop 150x85+170+115 +repage "$shot"  # the menu and the icon only
        wineserver -k
        sleep 1
    ' _ "$dir" "$client" "$out/tray-menu-locked-${entry#*:}.png"
done
"$dir/wine-run.sh" reg delete "HKCU\\Software\\Xir" /f >/dev/null 2>&1
# The client left its logon shortcut: Wine would start it with every new server.
find "$WINEPREFIX/drive_c/users" -name "XirARP-Client.lnk" -delete
wineserver -k
rm -rf "$client"
ls "$out"
