#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick: the start-up splash, the frame
# icon, the RS232 panel's new-row and delete-row buttons, its two notebook
# icons and the desktop icon. The results are committed next to this script;
# all but the desktop icon are embedded at build time.
set -euo pipefail
cd "$(dirname "$0")"

# Keep the files byte-identical from run to run: no time stamps, no comments.
STRIP=(-strip -define png:exclude-chunks=date,time)
SANS=DejaVu-Sans-Bold
TYPEWRITER=Nimbus-Mono-PS-Regular

# Splash: white lettering on a blue field, shown while the ORV-NET is looked for.
convert -size 717x308 gradient:'#1d4fa3-#0a2463' \
    -fill white -stroke none \
    -font "$SANS" -pointsize 104 -gravity north -annotate +0+38 'ORVANTA' \
    -draw 'rectangle 150,168 567,173' \
    -font "$SANS" -pointsize 54 -gravity north -annotate +0+186 'TOOL' \
    -font "$TYPEWRITER" -pointsize 15 -gravity southeast -annotate +16+12 'Looking for ORV-NET interface ...' \
    -strip -interlace JPEG -quality 92 -sampling-factor 1x1 splash.jpg

# Frame icon: the initials on the same blue.
convert -size 57x37 gradient:'#1d4fa3-#0a2463' \
    -fill white -font "$SANS" -pointsize 17 -gravity center -annotate +0+0 'ORV' \
    "${STRIP[@]}" PNG24:frame_icon.png

# New-row button: a raised grey button with a green plus and its label.
convert -size 138x31 xc:'#ededed' \
    -fill '#dedede' -stroke '#7a7a7a' -draw 'roundrectangle 0,0 137,30 5,5' \
    -fill '#1f8a2e' -stroke none -draw 'rectangle 13,14 29,17' -draw 'rectangle 19,8 22,23' \
    -fill '#202020' -font "$SANS" -pointsize 13 -gravity west -annotate +40+0 'New Row' \
    "${STRIP[@]}" PNG24:new_row.png

# Delete-row button: a red cross on light grey.
convert -size 24x18 xc:'#eeeeee' \
    -stroke '#c81e1e' -strokewidth 3 -draw 'line 7,4 17,14' -draw 'line 17,4 7,14' \
    "${STRIP[@]}" PNG24:delete_row.png

# Notebook icon 0 (the strings page): a serial connector.
convert -size 32x32 xc:'#e8eef8' \
    -fill '#1d4fa3' -stroke '#0a2463' -strokewidth 1 \
    -draw 'polygon 3,9 28,9 24,23 7,23' \
    -fill white -stroke none \
    -draw 'circle 9,13 10,13' -draw 'circle 13,13 14,13' -draw 'circle 17,13 18,13' -draw 'circle 21,13 22,13' \
    -draw 'circle 11,18 12,18' -draw 'circle 15,18 16,18' -draw 'circle 19,18 20,18' \
    "${STRIP[@]}" PNG24:notebook_icon0.png

# Notebook icon 1: a text line with its cursor.
convert -size 32x32 xc:'#e8eef8' \
    -fill white -stroke '#0a2463' -strokewidth 1 -draw 'rectangle 3,8 28,23' \
    -fill '#1d4fa3' -stroke none -font "$SANS" -pointsize 11 -gravity center -annotate -2+0 'Ab' \
    -draw 'rectangle 24,11 25,20' \
    "${STRIP[@]}" PNG24:notebook_icon1.png

# Desktop icon (64x64, installed for the menus, not embedded): the initials
# over a bus line with three devices, on the blue of a rounded square.
convert -size 64x64 gradient:'#1d4fa3-#0a2463' \
    \( -size 64x64 xc:black -fill white -draw 'roundrectangle 1,1 62,62 10,10' \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill white -font "$SANS" -pointsize 19 -gravity center -annotate +0-6 'ORV' \
    -stroke white -strokewidth 2 -draw 'line 12,45 52,45' \
    -stroke none -draw 'circle 18,45 18,48' -draw 'circle 32,45 32,48' -draw 'circle 46,45 46,48' \
    "${STRIP[@]}" PNG32:orvtool_icon_64.png
