#!/bin/sh
# Makes the Windows icon file from the program's picture: png_to_ico.sh PICTURE.png ICON.ico. It holds the
# sizes Windows shows: 16 and 32 px (title bars, lists), 48 (Explorer's icons) and 256 (large tiles; kept as PNG).
set -eu
png=$1 ico=$2
convert "$png" -background none -filter Lanczos -define icon:auto-resize=256,48,32,16 \
    -define png:exclude-chunks=date,time "$ico"
