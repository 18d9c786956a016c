#!/usr/bin/env bash
# Draws the three 16 x 16 icons of the local folder listing (a file, a folder
# and an arrow to the parent folder) with ImageMagick and writes them, as
# embedded PNG data, into the style sheet of listing_template.html.
# Run it again after changing a drawing; the output is the same on every run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
template=$here/listing_template.html
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

draw() {
    local name=$1
    shift
    convert -size 16x16 xc:none "$@" -strip -define png:exclude-chunks=date,time \
        "png32:$work/$name.png"
}

# A sheet of paper with a folded corner and three lines of text.
draw file \
    -fill white -stroke '#707070' -draw 'polygon 2.5,0.5 9.5,0.5 13.5,4.5 13.5,15.5 2.5,15.5' \
    -fill '#d8d8d8' -draw 'polygon 9.5,0.5 9.5,4.5 13.5,4.5' \
    -stroke '#9a9a9a' -draw 'line 4.5,7.5 11.5,7.5' -draw 'line 4.5,10.5 11.5,10.5' \
    -draw 'line 4.5,13.5 9.5,13.5'

# A yellow folder with its tab.
draw dir \
    -fill '#e8b84a' -stroke '#a87c1c' -draw 'polygon 0.5,2.5 5.5,2.5 7.5,4.5 15.5,4.5 15.5,13.5 0.5,13.5' \
    -fill '#f7d77c' -draw 'polygon 0.5,6.5 15.5,6.5 15.5,13.5 0.5,13.5'

# An arrow that rises and turns left, towards the parent folder.
draw up \
    -fill none -stroke '#3a6fc4' -strokewidth 2 -draw 'polyline 13,15 13,6 4,6' \
    -fill '#3a6fc4' -stroke none -draw 'polygon 1,6 6,1.5 6,10.5'

for name in file dir up; do
    data=$(base64 -w0 "$work/$name.png")
    sed -i -E "s|^(\.icon\.$name \{ background-image: url\(\"data:image/png;base64,)[^\"]*|\1$data|" \
        "$template"
done
