#!/bin/sh
# SPDX-License-Identifier: MIT
# Renders lexitrove.svg into the icons kept beside it: lexitrove.png (the window's icon, built
# into the Qt program, and the desktop's), one image of 48x48 in 256 colours with a transparency
# mask; and lexitrove.ico (the Windows program's), which holds that same image and, for the
# sizes Windows shows elsewhere, 16, 32 and 256 pixel images in full colour with their alpha (the
# largest as PNG). Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert. Run it after
# changing the drawing, and commit the results.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 32 48 256; do
  rsvg-convert --width $size --height $size lexitrove.svg --output "$work/full-alpha-$size.png"
done
# A transparency mask, not an alpha ramp: each pixel is wholly drawn or wholly clear.
convert "$work/full-alpha-48.png" -channel A -threshold 50% +channel -colors 255 -type PaletteAlpha \
  -strip -define png:exclude-chunks=date,time PNG8:lexitrove.png
# ImageMagick writes each image as it is given: the 48 stays in its palette, the others in
# 32-bit colour, the 256 as PNG.
convert "$work/full-alpha-16.png" "$work/full-alpha-32.png" \( lexitrove.png -type PaletteAlpha \) \
  "$work/full-alpha-256.png" lexitrove.ico
