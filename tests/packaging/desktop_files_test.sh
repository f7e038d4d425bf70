#!/usr/bin/env bash
# The desktop entries validate, and the file types they name are known once the package's
# type definitions are in the database.
set -euo pipefail
source=$1
desktop-file-validate "$source/packaging/morvane.desktop"
desktop-file-validate "$source/packaging/morvaneogl.desktop"
mime=$(mktemp -d)
trap 'rm -rf "$mime"' EXIT
mkdir -p "$mime/packages"
cp "$source/packaging/morvane-mime.xml" "$mime/packages/morvane.xml"
update-mime-database "$mime"
for type in model/x-directx model/x-ldraw model/x-ldraw-mpd; do
  grep -q "^$type\$" "$mime/types" || { echo "FAIL: $type not in the database"; exit 1; }
  grep -q "MimeType=.*$type;" "$source/packaging/morvaneogl.desktop" || { echo "FAIL: viewer does not open $type"; exit 1; }
done
grep -q "model/x-directx:\*\.x" "$mime/globs2" || { echo "FAIL: *.x not mapped"; exit 1; }
echo "desktop files valid"
