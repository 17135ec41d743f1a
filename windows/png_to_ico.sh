#!/bin/sh
# Wraps a PNG picture into a Windows icon file (one image, stored as PNG): png_to_ico.sh PICTURE.png ICON.ico.
set -eu
png=$1 ico=$2
size=$(wc -c < "$png")
# Width and height as the PNG header holds them; 256 and more is written as 0.
dimension() { v=$(od -An -tu1 -j"$1" -N4 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4}'); [ "$v" -ge 256 ] && v=0; echo "$v"; }
byte() { printf "\\$(printf '%03o' "$1")"; }
le16() { byte $(($1 & 255)); byte $(($1 >> 8 & 255)); }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
{
    le16 0; le16 1; le16 1                                  # reserved, type icon, one image
    byte "$(dimension 16)"; byte "$(dimension 20)"; byte 0; byte 0  # width, height, no palette
    le16 1; le16 32; le32 "$size"; le32 22                  # planes, bits per pixel, size, offset
    cat "$png"
} > "$ico"
