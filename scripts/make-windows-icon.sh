#!/usr/bin/env bash
# Makes data/kt7340.ico, the Windows program's icon, from data/kt7340.svg (ImageMagick's
# convert). Run again after the SVG changes; the .ico is committed, so the cross build needs no
# image tools.
set -euo pipefail
cd "$(dirname "$0")/.."
convert -background none -density 384 data/kt7340.svg \
  -define icon:auto-resize=256,64,48,32,24,16 data/kt7340.ico
echo "data/kt7340.ico: $(identify data/kt7340.ico | wc -l) sizes"
