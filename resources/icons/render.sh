#!/usr/bin/env bash
# Renders the icon's PNG sizes and the Windows .ico from the hand-drawn SVGs.
# The results are committed; the build only packs them. Needs librsvg2-bin
# (rsvg-convert) and imagemagick (convert). Run from anywhere.
set -euo pipefail
cd "$(dirname "$0")"

# 16 and 24 pixels have their own drawings on the pixel grid; the rest scale.
source_for() {
    case $1 in
    16 | 24) echo "stampwell-$1.svg" ;;
    *) echo stampwell.svg ;;
    esac
}

sizes=(16 24 32 48 64 128 256)
pngs=()
for s in "${sizes[@]}"; do
    rsvg-convert --width "$s" --height "$s" "$(source_for "$s")" --output "stampwell-$s.png"
    pngs+=("stampwell-$s.png")
done
convert "${pngs[@]}" stampwell.ico

# The Help and Settings buttons' pictures, in the sizes a button asks for at
# scale 1 to 4 (ImageMagick's renderer draws the solid fills they use).
for name in help settings; do
    for s in 16 24 32 48 64; do
        convert -background none -density 300 "$name.svg" -resize "${s}x$s" "PNG32:$name-$s.png"
    done
done
