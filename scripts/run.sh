#!/usr/bin/env bash
# The main job: sets up, builds everything, and converts the sample models in examples/ to
# DirectX text and to POV-Ray ".inc"/".udo" (and the LDraw tower to glTF and OBJ) with the
# batch converter, and renders the POV-Ray scenes small when povray is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

bin=$PWD/build/bin
out=$PWD/build/examples
mkdir -p "$out"
ldraw_path="$PWD/examples/ldraw/parts;$PWD/examples/ldraw/p;"

echo
echo "Converting the sample models into $out"
"$bin/morvane-convert" --quiet examples/table.x -o "$out/table.x"
"$bin/morvane-convert" --quiet examples/table.x -o "$out/table.inc"
"$bin/morvane-convert" --quiet --search-path "$ldraw_path" examples/ldraw/models/tower.ldr -o "$out/tower.x"
"$bin/morvane-convert" --quiet --search-path "$ldraw_path" examples/ldraw/models/tower.ldr -o "$out/tower.inc"
for format in glb obj; do
  "$bin/morvane-convert" --quiet --search-path "$ldraw_path" examples/ldraw/models/tower.ldr -o "$out/tower.$format"
done
# Scenes that POV-Ray renders as they stand: the models in their colours, framed and lit.
"$bin/morvane-convert" --quiet examples/table.x -o "$out/table.pov"
"$bin/morvane-convert" --quiet --search-path "$ldraw_path" examples/ldraw/models/tower.ldr -o "$out/tower.pov"

# Every scene written above is rendered small, and any error or warning of POV-Ray's stops the
# job with the scene's name: a scene that does not render cleanly is a fault.
if command -v povray >/dev/null; then
  echo
  echo "Rendering the POV-Ray scenes at 320x240 into $out"
  # POV-Ray's messages: "Parse Error:", "Possible Parse Error:", "Parse Warning:", "Render
  # Warning:", ... (its option list prints "Warning Stream", which is none).
  povray_complaints='(Error|Warning):'
  for pov in "$out"/*.pov; do
    scene=$(basename "$pov" .pov)
    if ! (cd "$out" && povray -D -A +W320 +H240 +I"$scene.pov" +O"$scene.png" >"$scene.log" 2>&1) ||
      grep -qE "$povray_complaints" "$out/$scene.log" || [ ! -s "$out/$scene.png" ]; then
      echo "run.sh: POV-Ray does not render $pov cleanly ($out/$scene.log):" >&2
      grep -E -A3 "$povray_complaints" "$out/$scene.log" >&2 || tail -n 20 "$out/$scene.log" >&2
      exit 1
    fi
    echo "  $out/$scene.png"
  done
fi

echo
"$bin/morvane-convert" --info examples/table.x
"$bin/morvane-convert" --info --search-path "$ldraw_path" examples/ldraw/models/tower.ldr
echo
echo "Written:"
ls -1 "$out" | sed "s|^|  $out/|"
cat <<TEXT

Render one with POV-Ray:
  cd $out && povray +Itower.pov +W640 +H480 +A0.3 +Otower.png

Look at the glTF and OBJ files in a viewer or modelling program (see the README), or check them:
  node $PWD/tools/gltf-validator/validate.js $out/tower.glb
  assimp info $out/tower.obj

Open the samples in the converter and in the viewer:
  $bin/Morvane $PWD/examples/table.x
  $bin/MorvaneOGL $PWD/examples/table.x
(LDraw models need the part folders as the LDraw class's search path, set in its Options:
  $ldraw_path)

Convert your own files:
  $bin/morvane-convert --help
TEXT
