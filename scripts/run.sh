#!/usr/bin/env bash
# The main job: sets up and builds everything. The sample conversions join here once the
# batch converter exists.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
echo "Built everything into build/bin (programs) and build/bin/plugin (plug-ins)."
echo "The batch converter is not there yet: nothing to convert."
