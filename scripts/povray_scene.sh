#!/usr/bin/env bash
# Writes a POV-Ray scene that shows every object a Morvane ".inc" file declares, with a
# camera and a light placed from the box its ".udo" companion records.
#   scripts/povray_scene.sh model.inc model.udo > model.pov && povray +Imodel.pov +W640 +H480
set -euo pipefail
inc=$1
udo=$2
read -r minx maxx miny maxy minz maxz < <(awk -F'[ \t]+' '
  /^; Min_x:/ {x0=$3; x1=$5} /^; Min_y:/ {y0=$3; y1=$5} /^; Min_z:/ {z0=$3; z1=$5}
  END {print x0, x1, y0, y1, z0, z1}' "$udo")
awk -v minx="$minx" -v maxx="$maxx" -v miny="$miny" -v maxy="$maxy" -v minz="$minz" -v maxz="$maxz" \
    -v inc="$(basename "$inc")" '
  BEGIN {
    cx = (minx + maxx) / 2; cy = (miny + maxy) / 2; cz = (minz + maxz) / 2
    d = sqrt((maxx - minx)^2 + (maxy - miny)^2 + (maxz - minz)^2); if (d <= 0) d = 1
    printf "#include \"colors.inc\"\n#include \"%s\"\n", inc
    printf "camera { location <%f, %f, %f> look_at <%f, %f, %f> }\n", cx + d, cy + d, cz - 1.5 * d, cx, cy, cz
    printf "light_source { <%f, %f, %f> color White }\n", cx + 2 * d, cy + 3 * d, cz - 2 * d
    printf "background { color rgb <0.2, 0.25, 0.3> }\n"
  }
  /^#declare [A-Za-z_][A-Za-z0-9_]* = / {
    printf "object { %s pigment { color rgb <%f, %f, %f> } }\n", $2, 0.5 + 0.5 * (n % 2), 0.4 + 0.2 * (n % 3), 0.3 + 0.15 * (n % 4)
    n++
  }' "$inc"
