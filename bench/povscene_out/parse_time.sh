#!/usr/bin/env bash
# How long POV-Ray 3.7 takes to read the same grid as a ".pov" scene (mesh2) and as the
# POV-Ray 3 mesh ".inc" wrapped in a minimal scene. Run by hand, under nice on a shared machine.
#   bench/povscene_out/parse_time.sh [QUADS_PER_SIDE [BUILD [LIMIT_SECONDS]]]
# 707 quads per side is the 1,000,000-triangle grid. Prints wall and CPU time (user + sys) and
# peak memory of each POV-Ray run (a tiny render, so parsing is nearly all of it).
set -euo pipefail
side=${1:-707}
build=${2:-build}
limit=${3:-3600}
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/povscene-parse-XXXXXX)
trap 'rm -rf "$work"' EXIT
python3 "$here/bench/convert/generate_inputs.py" --grid "$side" "$work/grid.x"
"$here/$build/bin/morvane-convert" --quiet "$work/grid.x" -o "$work/grid.pov"
"$here/$build/bin/morvane-convert" --quiet "$work/grid.x" -o "$work/grid.inc"
cat >"$work/inc_scene.pov" <<POV
#version 3.7;
global_settings { assumed_gamma 1.0 }
#include "grid.inc"
object { grid pigment { rgb 0.8 } }
camera { location <$((side / 2)),-$side,$side> look_at <$((side / 2)),$((side / 2)),0> }
light_source { <1000,-1000,2000> color rgb 1 }
POV
cd "$work"
ls -l grid.pov grid.inc
for scene in grid inc_scene; do
  if /usr/bin/time -f "$scene.pov: %e s wall, %U + %S s CPU, %M KB" -o time.txt \
    timeout "$limit" povray +I"$scene.pov" +W80 +H60 -D -A +FN +O"$scene.png" >/dev/null 2>&1; then
    cat time.txt
  else
    echo "$scene.pov: not read within $limit s"
  fi
done
