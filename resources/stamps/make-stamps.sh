#!/usr/bin/env bash
# Draws the two stamps put on a saved or printed map: the logo (100 x 99) and
# the caption (206 x 61: product name, web address, rights line on white).
# Both are 16-colour pictures; pure white is left out when they are stamped,
# so nothing meant to show may be drawn in pure white.
# Needs ImageMagick and the DejaVu fonts; run it from any folder and check in
# the PNG files it writes next to itself.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
fonts=/usr/share/fonts/truetype/dejavu
bold="$fonts/DejaVuSans-Bold.ttf"
plain="$fonts/DejaVuSans.ttf"

# A map pin in the product's blue with an orange letter; the corners stay white.
convert -size 100x99 xc:white \
  -fill '#1f4e9c' -stroke '#12305f' -strokewidth 2 \
  -draw 'polygon 24,58 76,58 50,95' \
  -draw 'circle 50,40 50,6' \
  -stroke none -fill '#f28c1c' -draw 'circle 50,40 50,16' \
  -font "$bold" -pointsize 30 -fill '#12305f' -gravity center -annotate +0-10 'В' \
  +dither -colors 16 -fuzz 2% -fill white -opaque white -type Palette "PNG8:$here/VDLLOGO.png"

# Three centred lines on white, framed by a thin blue line.
convert -size 206x61 xc:white \
  -fill none -stroke '#1f4e9c' -strokewidth 1 -draw 'rectangle 0,0 205,60' \
  -stroke none -gravity north \
  -font "$bold" -pointsize 17 -fill '#1f4e9c' -annotate +0+3 'Вариндел' \
  -font "$plain" -pointsize 11 -fill '#12305f' -annotate +0+25 'www.varindel.ru' \
  -font "$plain" -pointsize 9 -fill '#404040' -annotate +0+43 '© Varindel TLX Company' \
  +dither -colors 16 -fuzz 2% -fill white -opaque white -type Palette "PNG8:$here/VDLCAPT.png"
