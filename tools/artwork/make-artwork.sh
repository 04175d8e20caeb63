#!/usr/bin/env bash
# Draws the installer's own artwork with ImageMagick (convert) and writes it into the program's resources:
#   resources/images/{install,remove,change,info}.png  24 x 24 row and info icons
#   resources/images/download.png                      32 x 32 download button
#   resources/images/browse.png                        32 x 32 folder button
#   resources/images/row{browse,pdf,video}.png         24 x 24 content row buttons
#   resources/images/resourcepicture.png               64 x 64 stand-in picture of a resource
#   resources/images/new.png                           32 x 16 "NEW" badge
#   resources/images/PageBanner.bmp                    760 x 70 page banner (24-bit)
#   resources/images/PageSide.bmp                      165 x 420 page side strip (24-bit)
# The files are committed; run this again after changing a drawing. Icons are drawn at eight times (six for the
# 32-pixel one) their size and scaled down, which gives clean anti-aliased edges on a transparent background.
# No text is rendered with a font, so the output does not depend on the fonts a machine has.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:-$here/../../src/InstallationUtils/OrvantaLumetraSDKInstaller/resources/images}
mkdir -p "$out"
out=$(cd "$out" && pwd)
command -v convert >/dev/null || { echo "make-artwork: ImageMagick's convert is missing (tools/install-deps.sh)" >&2; exit 1; }

# The palette (shared with the progress dialogs' header band).
BLUE='#2F6FB3'
BLUE_DARK='#23578F'
BLUE_LIGHT='#8FB4DC'
GREEN='#2E9E4F'
RED='#C8423B'
AMBER='#E0962A'
BADGE='#E0453A'

# No time stamps or other metadata: the same drawing gives the same bytes.
PNG_OPTIONS=(-strip -define png:exclude-chunks=date,time,tEXt,zTXt,iTXt)

# icon NAME SIZE CANVAS DRAW-ARGS...: draws on a transparent CANVAS x CANVAS square, scales to SIZE x SIZE.
icon() {
  local name=$1 size=$2 canvas=$3
  shift 3
  convert -size "${canvas}x${canvas}" xc:none "$@" -filter Lanczos -resize "${size}x${size}" "${PNG_OPTIONS[@]}" \
      "PNG32:$out/$name"
}


# Install: white plus on a green disc.
icon install.png 24 192 -fill "$GREEN" -stroke none -draw 'circle 96,96 96,8' \
    -fill none -stroke white -strokewidth 24 -draw 'stroke-linecap round line 96,52 96,140' \
    -draw 'stroke-linecap round line 52,96 140,96'

# Remove: white cross on a red disc.
icon remove.png 24 192 -fill "$RED" -stroke none -draw 'circle 96,96 96,8' \
    -fill none -stroke white -strokewidth 24 -draw 'stroke-linecap round line 64,64 128,128' \
    -draw 'stroke-linecap round line 128,64 64,128'

# Change: two white arrows chasing each other round an amber disc.
icon change.png 24 192 -fill "$AMBER" -stroke none -draw 'circle 96,96 96,8' \
    -fill none -stroke white -strokewidth 18 -draw 'arc 48,48 144,144 200,320' -draw 'arc 48,48 144,144 20,140' \
    -fill white -stroke none -draw 'polygon 147,82 144,48 114,73' -draw 'polygon 45,110 48,144 78,119'

# Info: a white "i" on a blue disc.
icon info.png 24 192 -fill "$BLUE" -stroke none -draw 'circle 96,96 96,8' \
    -fill white -draw 'circle 96,52 96,37' -draw 'roundrectangle 83,76 109,154 10,10'

# Download: a blue arrow down into an open tray.
icon download.png 32 192 -fill "$BLUE" -stroke none -draw 'roundrectangle 78,14 114,100 8,8' \
    -draw 'polygon 38,88 154,88 96,150' \
    -fill none -stroke "$BLUE_DARK" -strokewidth 18 \
    -draw 'stroke-linecap round stroke-linejoin round polyline 26,128 26,174 166,174 166,128'

# Browse: an amber folder with its tab and a lighter front flap, opened.
icon browse.png 32 192 -fill "$AMBER" -stroke none -draw 'roundrectangle 14,40 78,70 8,8' \
    -draw 'roundrectangle 14,54 178,160 10,10' \
    -fill '#F2C46D' -draw 'polygon 40,84 186,84 160,160 14,160'

# Content rows (tutorials, resources): folder, document, video, and the stand-in picture of a resource.
icon rowbrowse.png 24 192 -fill "$AMBER" -stroke none -draw 'roundrectangle 14,40 78,70 8,8' \
    -draw 'roundrectangle 14,54 178,160 10,10' -fill '#F2C46D' -draw 'polygon 40,84 186,84 160,160 14,160'
icon rowpdf.png 24 192 -fill white -stroke "$RED" -strokewidth 10 -draw 'polygon 40,12 124,12 156,44 156,180 40,180' \
    -fill "$RED" -stroke none -draw 'rectangle 60,70 136,84' -draw 'rectangle 60,100 136,114' \
    -draw 'rectangle 60,130 116,144'
icon rowvideo.png 24 192 -fill "$BLUE" -stroke none -draw 'roundrectangle 8,36 184,156 18,18' \
    -fill white -draw 'polygon 76,62 76,130 132,96'
icon resourcepicture.png 64 256 -fill "$BLUE_LIGHT" -stroke "$BLUE_DARK" -strokewidth 8 \
    -draw 'roundrectangle 12,36 244,220 16,16' -fill "$GREEN" -stroke none -draw 'polygon 24,208 100,110 160,208' \
    -fill "$BLUE" -draw 'polygon 110,208 170,130 232,208' -fill "$AMBER" -draw 'circle 184,80 184,60'

# New: white strokes spelling NEW on a red rounded badge (drawn at 256 x 128, scaled to 32 x 16).
convert -size 256x128 xc:none -fill "$BADGE" -stroke none -draw 'roundrectangle 2,6 253,121 30,30' \
    -fill none -stroke white -strokewidth 15 \
    -draw 'stroke-linecap round stroke-linejoin round polyline 40,94 40,34 88,94 88,34' \
    -draw 'stroke-linecap round stroke-linejoin round polyline 148,34 110,34 110,94 148,94' \
    -draw 'stroke-linecap round line 110,64 140,64' \
    -draw 'stroke-linecap round stroke-linejoin round polyline 166,34 180,94 196,54 212,94 226,34' \
    -filter Lanczos -resize 32x16 "${PNG_OPTIONS[@]}" "PNG32:$out/new.png"

# Banner: white on the left (the bold header text stands there) into a light blue on the right, where a lens
# seen from the front (rings, a darker pupil and a highlight) sits behind a thin divider. Drawn at twice the
# size and scaled down.
convert -size 140x1520 gradient:'#FFFFFF-#D3E3F3' -rotate -90 \
    -fill none -stroke '#BFD5EC' -strokewidth 4 -draw 'line 1160,0 1160,140' \
    -stroke '#B3CDE8' -strokewidth 6 -draw 'circle 1380,70 1380,-34' \
    -stroke '#A2C1E3' -strokewidth 5 -draw 'circle 1380,70 1380,-6' \
    -fill "$BLUE_LIGHT" -stroke '#7FA7D3' -strokewidth 4 -draw 'circle 1380,70 1380,22' \
    -fill '#5B8EC6' -stroke none -draw 'circle 1380,70 1380,46' \
    -fill '#FFFFFFB0' -draw 'circle 1362,52 1362,42' \
    -resize 760x70\! -alpha off -type TrueColor BMP3:"$out/PageBanner.bmp"

# Side strip: a calm vertical gradient in the same blues, with two faint arcs of a lens near its foot.
convert -size 330x840 gradient:'#EEF4FB-#BED5EC' \
    -fill none -stroke '#D6E4F3' -strokewidth 6 -draw 'circle 165,900 165,560' \
    -stroke '#CADDF0' -strokewidth 4 -draw 'circle 165,900 165,640' \
    -resize 165x420\! -alpha off -type TrueColor BMP3:"$out/PageSide.bmp"

echo "make-artwork: wrote $(ls "$out" | wc -l) files to $out"
