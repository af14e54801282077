#!/bin/bash
# Makes the Wine prefix named by WINEPREFIX ready for our tests, once: created headless, with a
# CJK font linked behind the dialog fonts so that Chinese texts show as glyphs, not boxes.
# Usage: wine-prefix.sh WINE-LOADER
set -u
wine="$1"
ready="$WINEPREFIX/.xirarp-ready"
[ -f "$ready" ] && exit 0
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$ready" ] && exit 0

echo "Creating the Wine prefix $WINEPREFIX (once, about 20 s)" >&2
"$wine" wineboot -i >/dev/null 2>&1
wineserver -w

# Window frames draw their buttons with the Marlett symbol font.
cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null

cjk="wqy-microhei.ttc,WenQuanYi Micro Hei"
# Wine has no Arial: the dialogs' font is mapped to Liberation Sans, which has Arial's metrics, so that
# texts take the room they take on Windows.
"$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ /d "Liberation Sans" /f >/dev/null 2>&1
for face in "Arial" "Liberation Sans" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Segoe UI"; do
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d "$cjk" /f >/dev/null 2>&1
done
# Wine's service manager gives a starting service 10 s to answer; under a full-system emulator the first
# start of the RPC service takes longer, and without it every COM call of the tests fails.
"$wine" reg add 'HKLM\System\CurrentControlSet\Control' /v ServicesPipeTimeout /t REG_DWORD /d 300000 /f >/dev/null 2>&1
wineserver -w
touch "$ready"
