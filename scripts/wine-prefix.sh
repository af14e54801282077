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

cjk="wqy-microhei.ttc,WenQuanYi Micro Hei"
for face in "Arial" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Segoe UI"; do
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d "$cjk" /f >/dev/null 2>&1
done
wineserver -w
touch "$ready"
