#!/usr/bin/env bash
# Draws Velmora's icon and header banner with ImageMagick. The PNGs are
# committed; run this again only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Icon, drawn at 256 x 256: a blue rounded tile with a white open book whose
# pages form a "V", and a gold bookmark.
convert -size 256x256 gradient:'#3d8bfd'-'#1b3f8f' "$work/fill.png"
convert -size 256x256 xc:none -fill white -draw 'roundrectangle 8,8 247,247 44,44' "$work/mask.png"
convert "$work/fill.png" "$work/mask.png" -alpha off -compose CopyOpacity -composite "$work/tile.png"
convert "$work/tile.png" \
  -fill '#ffffff' -stroke '#ffffff' -strokewidth 2 \
  -draw 'polygon 40,70 124,92 124,206 40,184' \
  -draw 'polygon 216,70 132,92 132,206 216,184' \
  -fill none -stroke '#1b3f8f' -strokewidth 18 -draw 'line 86,100 128,176' -draw 'line 170,100 128,176' \
  -stroke none -fill '#f6b73c' -draw 'polygon 180,54 204,54 204,122 192,110 180,122' \
  "$work/icon256.png"
convert "$work/icon256.png" -depth 8 velmora-256.png
for size in 16 24 32 48 64 128; do
  convert "$work/icon256.png" -filter Lanczos -resize ${size}x${size} -depth 8 "velmora-$size.png"
done

# Banner, 1600 x 70: white where the header labels sit, fading into pale
# blue, with a rule along the bottom of the 50-pixel header. Every column is
# one colour above the rule, so nothing shows under the logo, which sits at
# the right end of headers of any width, and no picture is cut at an edge.
convert -size 70x1600 gradient:'#ffffff'-'#d6e6fa' -rotate -90 "$work/banner.png"
convert "$work/banner.png" \
  -fill none -stroke '#b7cdea' -strokewidth 2 -draw 'line 0,49 1599,49' \
  -alpha off -depth 8 -strip banner.png
