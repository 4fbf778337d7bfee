#!/usr/bin/env bash
# Renders the application icon into the PNG sizes of the hicolor theme (rsvg-convert from
# librsvg2-bin). Run after changing the SVG; the PNGs are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"
name=io.github.kestramusiceditor.Kestra
for n in 16 24 32 48 64 128 256 512; do
  mkdir -p "${n}x${n}"
  rsvg-convert -w "$n" -h "$n" "$name.svg" -o "${n}x${n}/$name.png"
done
