#!/usr/bin/env bash
# Installs every Debian package Morvane needs to build, test and benchmark.
# Idempotent: when everything is present it only asks dpkg and returns at once.
set -euo pipefail

# One package name per word; tests/setup/packages_test.sh reads this list and fails when a file
# the build or the tests take from the system comes from a package it does not pull in.
packages=(
  g++ cmake ninja-build clang clang-format libclang-rt-14-dev
  qt6-base-dev libqt6opengl6-dev libqt6svg6 libgl-dev libglu1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev
  povray povray-includes assimp-utils libassimp-dev xvfb xauth libgl1-mesa-dri nodejs
  locales time desktop-file-utils shared-mime-info man-db dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A decimal-comma locale for the tests that prove numbers never follow the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "setup: generating de_DE.UTF-8"
  if [ -f /etc/locale.gen ]; then
    "${sudo_cmd[@]}" sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo_cmd[@]}" locale-gen >/dev/null
  else
    "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
  fi
fi

# The Khronos glTF validator (an npm package run with node) for the tests of the glTF export,
# into the project's own tools/ folder; nothing to do when it is there.
validator_dir="$(cd "$(dirname "$0")/.." && pwd)/tools/gltf-validator"
if [ ! -f "$validator_dir/node_modules/gltf-validator/package.json" ]; then
  # Debian's nodejs leaves npm to a package of its own; other builds of nodejs bring it along.
  if ! command -v npm >/dev/null; then
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends npm >/dev/null
  fi
  echo "setup: installing the glTF validator into $validator_dir"
  if ! npm install --prefix "$validator_dir" --no-audit --no-fund --no-save --loglevel=error >/dev/null; then
    echo "setup: npm could not install the glTF validator (see its message above)" >&2
    exit 1
  fi
fi
