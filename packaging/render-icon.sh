#!/bin/sh
# SPDX-License-Identifier: MIT
# Renders lexitrove.svg into the 48x48 icons kept beside it: lexitrove.png (the window's icon,
# built into the program, and the desktop's) and lexitrove.ico (Windows). Both are one image of
# 256 colours with a transparency mask. Needs rsvg-convert (librsvg2-bin) and ImageMagick's
# convert. Run it after changing the drawing, and commit the results.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rsvg-convert --width 48 --height 48 lexitrove.svg --output "$work/full-alpha.png"
# A transparency mask, not an alpha ramp: each pixel is wholly drawn or wholly clear.
convert "$work/full-alpha.png" -channel A -threshold 50% +channel -colors 255 -type PaletteAlpha \
  -strip -define png:exclude-chunks=date,time PNG8:lexitrove.png
convert lexitrove.png -type PaletteAlpha lexitrove.ico
