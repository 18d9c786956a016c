#!/usr/bin/env bash
# Draws the upgrader's two pictures with ImageMagick, in the 16 colours of the
# classic desktop palette:
# - upgrader_icon.png (32 x 32): a globe beside a clipboard with a red check
#   mark, on the upgrade question and the password window;
# - upgrader_wizard_side.png (118 x 218): a desktop computer with discs and
#   floppy disks, linked by a line to a globe, on a teal ground, at the side
#   of the download wizard.
# Each is drawn four (two) times larger and scaled down, then mapped to the
# palette without dithering. The output is the same on every run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The 16 colours: black, maroon, green, olive, navy, purple, teal, silver,
# gray, red, lime, yellow, blue, fuchsia, aqua, white.
convert -size 1x1 xc:'#000000' xc:'#800000' xc:'#008000' xc:'#808000' xc:'#000080' \
    xc:'#800080' xc:'#008080' xc:'#C0C0C0' xc:'#808080' xc:'#FF0000' xc:'#00FF00' \
    xc:'#FFFF00' xc:'#0000FF' xc:'#FF00FF' xc:'#00FFFF' xc:'#FFFFFF' +append "$work/palette.png"

# finish SOURCE SIZE OUTPUT: scales down and maps to the palette; a
# transparent ground stays transparent.
finish() {
    convert "$1" -resize "$2" \
        \( -clone 0 -alpha off +dither -remap "$work/palette.png" \) \
        \( -clone 0 -alpha extract -threshold 50% \) \
        -delete 0 -alpha off -compose CopyOpacity -composite \
        -strip -define png:exclude-chunks=date,time "png32:$here/$3"
}

# globe CX CY R: appends to the array "draw" a blue sphere with green lands,
# its meridians and its equator.
globe() {
    local cx=$1 cy=$2 r=$3
    local top=$((cy - r)) bottom=$((cy + r)) left=$((cx - r)) right=$((cx + r))
    draw+=(-fill '#0000FF' -stroke '#000080' -strokewidth $((r / 14 + 1))
        -draw "circle $cx,$cy $cx,$top"
        -fill '#00FF00' -stroke none
        -draw "ellipse $((cx - r / 3)),$((cy - r / 3)) $((r / 3)),$((r / 4)) 0,360"
        -draw "ellipse $((cx + r / 3)),$((cy + r / 4)) $((r / 4)),$((r / 3)) 0,360"
        -draw "ellipse $((cx - r / 4)),$((cy + r / 2)) $((r / 5)),$((r / 7)) 0,360"
        -fill none -stroke '#00FFFF' -strokewidth $((r / 20 + 1))
        -draw "ellipse $cx,$cy $((r / 2)),$r 0,360" -draw "line $cx,$top $cx,$bottom"
        -draw "line $left,$cy $right,$cy")
}

# The icon, drawn at 128 x 128.
draw=()
globe 46 60 40
convert -size 128x128 xc:none "${draw[@]}" \
    -fill '#808000' -stroke '#000000' -strokewidth 3 -draw 'roundrectangle 62,18 120,124 6,6' \
    -fill '#FFFFFF' -stroke '#808080' -draw 'rectangle 70,32 112,116' \
    -fill '#C0C0C0' -stroke '#000000' -draw 'roundrectangle 78,10 104,30 4,4' \
    -stroke '#808080' -strokewidth 3 -draw 'line 76,44 106,44' -draw 'line 76,104 106,104' \
    -fill none -stroke '#FF0000' -strokewidth 11 -draw 'polyline 74,72 87,92 110,52' \
    "$work/icon.png"
finish "$work/icon.png" 32x32 upgrader_icon.png

# The side picture, drawn at 236 x 436: the globe, the line down to the
# computer, its screen, stand and case, two discs and two floppy disks.
draw=()
globe 160 78 54
convert -size 236x436 xc:'#008080' "${draw[@]}" \
    -fill none -stroke '#FFFF00' -strokewidth 5 \
    -draw 'polyline 126,126 104,150 122,172 108,196' \
    -fill '#C0C0C0' -stroke '#000000' -strokewidth 3 -draw 'roundrectangle 28,196 208,318 8,8' \
    -fill '#000080' -stroke '#808080' -draw 'rectangle 44,210 192,298' \
    -fill '#00FFFF' -stroke none -draw 'rectangle 56,222 124,230' -draw 'rectangle 56,240 160,248' \
    -draw 'rectangle 56,258 140,266' \
    -fill '#808080' -stroke '#000000' -draw 'polygon 96,318 140,318 152,334 84,334' \
    -fill '#C0C0C0' -draw 'roundrectangle 16,338 220,380 6,6' \
    -fill '#000000' -stroke none -draw 'rectangle 36,354 100,360' -draw 'rectangle 126,354 190,360' \
    -fill '#00FF00' -draw 'rectangle 200,366 208,372' \
    -fill '#C0C0C0' -stroke '#000000' -strokewidth 2 -draw 'circle 52,412 52,390' \
    -fill '#FFFFFF' -draw 'circle 52,412 52,402' -fill '#008080' -draw 'circle 52,412 52,408' \
    -fill '#C0C0C0' -draw 'circle 92,420 92,402' \
    -fill '#FFFFFF' -draw 'circle 92,420 92,412' -fill '#008080' -draw 'circle 92,420 92,417' \
    -fill '#000080' -stroke '#000000' -draw 'rectangle 128,392 168,430' \
    -fill '#C0C0C0' -stroke none -draw 'rectangle 138,392 158,406' \
    -fill '#FFFFFF' -draw 'rectangle 134,414 162,428' \
    -fill '#800000' -stroke '#000000' -draw 'rectangle 176,388 216,426' \
    -fill '#C0C0C0' -stroke none -draw 'rectangle 186,388 206,402' \
    -fill '#FFFFFF' -draw 'rectangle 182,410 210,424' \
    "$work/side.png"
finish "$work/side.png" 118x218 upgrader_wizard_side.png
