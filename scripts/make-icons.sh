#!/usr/bin/env bash
# Draws the PNG sizes of the program's icon and of its document icon from
# their SVG drawings (data/ombrel.svg, data/application-x-ombrel.svg) into
# data/icons/hicolor/, where `cmake --install` takes them from. Run it after
# changing a drawing and commit what it writes; it needs rsvg-convert
# (librsvg2-bin: `scripts/install-deps.sh icons`). Its output is the same
# bytes on every run.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v rsvg-convert >/dev/null || { echo "make-icons.sh: install librsvg2-bin first" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
  dir=data/icons/hicolor/${size}x${size}
  mkdir -p "$dir/apps" "$dir/mimetypes"
  rsvg-convert -w "$size" -h "$size" data/ombrel.svg -o "$dir/apps/ombrel.png"
  rsvg-convert -w "$size" -h "$size" data/application-x-ombrel.svg -o "$dir/mimetypes/application-x-ombrel.png"
done
