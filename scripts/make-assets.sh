#!/bin/bash
# Draws the program's own bitmaps, icon and cursor into res/assets/. The results are committed;
# run this again only to change them. Needs ImageMagick and the WenQuanYi Micro Hei font.
set -eu
out="$(cd "$(dirname "$0")/.." && pwd)/res/assets"
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Logos, 170 x 62: a shield beside the name; 136 carries the Simplified Chinese tagline.
logo() {  # file tagline
    convert -size 170x62 xc:'#f4f7fb' \
        -fill '#1f5fa8' -draw "polygon 10,8 34,4 58,8 58,30 34,56 10,30" \
        -fill '#f4f7fb' -draw "polygon 18,14 34,11 50,14 50,29 34,47 18,29" \
        -fill '#2e9e5b' -draw "polygon 24,28 30,24 34,30 44,17 48,21 34,39" \
        -font "$font" -fill '#1f3f6e' -pointsize 22 -annotate +66+30 'XirARP' \
        -fill '#4a5a70' -pointsize 11 -annotate +67+48 "$2" \
        -colors 256 -type Palette -compress None "BMP3:$1"
}
logo "$out/logo.bmp" 'Gateway Guard'
logo "$out/logo_sc.bmp" '防ARP攻击 网关绑定'

# Icon 128: the shield, 32 and 16 pixels.
convert -size 64x64 xc:none \
    -fill '#1f5fa8' -draw "polygon 6,6 32,1 58,6 58,30 32,62 6,30" \
    -fill '#ffffff' -draw "polygon 14,12 32,8 50,12 50,29 32,52 14,29" \
    -fill '#2e9e5b' -draw "polygon 20,30 26,24 31,31 43,16 48,21 31,42" \
    "$work/icon64.png"
convert "$work/icon64.png" -define icon:auto-resize=32,16 "$out/xirarp.ico"

# Icon 140, the notification area's look while the gateway is not pinned or another MAC answers for it:
# the same shield in red with an exclamation mark.
convert -size 64x64 xc:none \
    -fill '#c0392b' -draw "polygon 6,6 32,1 58,6 58,30 32,62 6,30" \
    -fill '#ffffff' -draw "polygon 14,12 32,8 50,12 50,29 32,52 14,29" \
    -fill '#c0392b' -draw "polygon 28,14 36,14 34,34 30,34" -draw "rectangle 29,38 35,44" \
    "$work/alert64.png"
convert "$work/alert64.png" -define icon:auto-resize=32,16 "$out/xirarp_alert.ico"

# Cursor 139: a pointing hand, 32 x 32, hot spot at the fingertip (12, 1).
convert -size 32x32 xc:none -stroke black -strokewidth 1 -fill white \
    -draw "roundrectangle 10,0 14,16 2,2" \
    -draw "path 'M 8,14 L 8,12 Q 8,10 10,10 L 10,16 Z'" \
    -draw "roundrectangle 14,8 18,18 2,2" -draw "roundrectangle 18,9 22,19 2,2" \
    -draw "roundrectangle 22,11 26,21 2,2" \
    -draw "path 'M 6,15 Q 6,13 8,13 L 10,17 L 26,17 L 26,24 Q 24,30 18,30 L 14,30 Q 8,28 6,20 Z'" \
    "$work/hand.png"
convert "$work/hand.png" "$work/hand.ico"
# A cursor file is an icon file with type 2 and the hot spot where an icon keeps planes and bit count.
perl -e '
    local $/; open(my $in, "<:raw", $ARGV[0]) or die; my $d = <$in>;
    substr($d, 2, 2) = pack("v", 2);
    substr($d, 6 + 4, 4) = pack("vv", 12, 1);
    open(my $o, ">:raw", $ARGV[1]) or die; print $o $d;' "$work/hand.ico" "$out/hand.cur"
echo "assets written to $out"
