#!/usr/bin/env bash
# Draws the tool bar's pictures (26 x 26 JPEG files), the animated loading
# picture load.gif and the program icon (resources/quorvane_icon.png and the
# theme sizes in resources/icons) with
# ImageMagick. Run it from anywhere; it rewrites the files in place.
#
# Each picture is drawn four times larger and scaled down, which smooths its
# edges. States: normal = blue, hover = lighter on a highlight, active =
# darker on a pressed background, gray = unavailable. The background is the
# tool bar's face colour, since JPEG has no transparency.
set -euo pipefail
ico=$(cd "$(dirname "$0")" && pwd)
resources=$(cd "$ico/../resources" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

face='#F0F0F0'
declare -A ink=([blue]='#2D6BC4' [hover]='#4A90E8' [active]='#1C4A8C' [gray]='#A6A6A6')
declare -A plate=([blue]="$face" [hover]='#DCEBFC' [active]='#C4D6EE' [gray]="$face")

# The star's ten corners around (52, 55): outer radius 44, inner radius 18.
star_points=$(awk 'BEGIN {
    for (i = 0; i < 10; i++) {
        r = (i % 2 == 0) ? 44 : 18; a = -3.14159265 / 2 + i * 3.14159265 / 5;
        printf "%.1f,%.1f ", 52 + r * cos(a), 55 + r * sin(a) }
}')

# picture STATE OUTPUT DRAW...: a 104 x 104 drawing on the state's plate,
# scaled to 26 x 26 and written as a JPEG without metadata.
picture() {
    local state=$1 output=$2
    shift 2
    convert -size 104x104 "xc:$face" \
        -fill "${plate[$state]}" -stroke none -draw 'roundrectangle 0,0 103,103 18,18' \
        "$@" -resize 26x26 -strip -quality 95 "$ico/$output"
}

disc() { echo "circle 52,52 52,10"; }

star() {
    picture "$1" "$2" -fill "${ink[$1]}" -draw "polygon $star_points"
}

info() {
    picture "$1" "$2" -fill "${ink[$1]}" -draw "$(disc)" \
        -fill white -draw 'circle 52,31 52,38' -draw 'roundrectangle 45,45 59,80 4,4'
}

arrow() {  # arrow STATE OUTPUT left|right
    local points='26,52 52,26 52,42 78,42 78,62 52,62 52,78'
    [ "$3" = right ] && points='78,52 52,26 52,42 26,42 26,62 52,62 52,78'
    picture "$1" "$2" -fill "${ink[$1]}" -draw "$(disc)" -fill white -draw "polygon $points"
}

refresh() {
    picture "$1" "$2" -fill none -stroke "${ink[$1]}" -strokewidth 13 \
        -draw 'arc 18,20 86,88 -40,265' \
        -stroke none -fill "${ink[$1]}" -draw 'polygon 44,2 44,42 72,22'
}

star blue star_full_ico.jpg
for state in blue hover active; do
    [ "$state" != blue ] && star "$state" "star_full_${state}_ico.jpg"
    info "$state" "info_${state}_ico.jpg"
    arrow "$state" "left_${state}_ico.jpg" left
    arrow "$state" "right_${state}_ico.jpg" right
done
arrow gray left_gray_ico.jpg left
arrow gray right_gray_ico.jpg right
refresh blue refresh_blue_ico.jpg
refresh hover refresh_hover_ico.jpg

# load.gif: eight dots on a ring, the brightest one moving clockwise one place
# per frame, 100 ms a frame, looping forever.
shades=('#1C4A8C' '#2D6BC4' '#4A90E8' '#7AAEEE' '#A3C6F2' '#C4D9F4' '#D9E5F3' '#E6ECF3')
frames=()
for frame in 0 1 2 3 4 5 6 7; do
    dots=()
    for dot in 0 1 2 3 4 5 6 7; do
        read -r x y < <(awk -v d="$dot" 'BEGIN {
            a = -3.14159265 / 2 + d * 3.14159265 / 4; printf "%.1f %.1f\n", 52 + 34 * cos(a), 52 + 34 * sin(a) }')
        shade=${shades[$(((frame - dot + 8) % 8))]}
        dots+=(-fill "$shade" -draw "circle $x,$y $x,$(awk -v y="$y" 'BEGIN { printf "%.1f", y + 9 }')")
    done
    convert -size 104x104 "xc:$face" "${dots[@]}" -resize 26x26 "$work/frame$frame.png"
    frames+=("$work/frame$frame.png")
done
convert -delay 10 -dispose none -loop 0 "${frames[@]}" -strip "$ico/load.gif"

# The program icon: a white "Q" ring on a blue rounded square, transparent
# around the corners. The window carries the 64 x 64 one; the release's
# desktop entry uses the theme sizes in resources/icons.
convert -size 256x256 xc:none \
    -fill '#2D6BC4' -draw 'roundrectangle 8,8 247,247 48,48' \
    -fill none -stroke white -strokewidth 26 -draw 'circle 118,118 118,52' \
    -strokewidth 30 -draw 'line 150,150 206,206' \
    -depth 8 -strip "$work/icon.png"
convert "$work/icon.png" -resize 64x64 -strip "$resources/quorvane_icon.png"
mkdir -p "$resources/icons"
for size in 16 24 32 48 64 128 256; do
    convert "$work/icon.png" -resize "${size}x${size}" -strip "$resources/icons/quorvane_$size.png"
done
