#!/usr/bin/env bash
# Builds the Debian package from the build tree into OUT_DIR and unpacks it into OUT_DIR/root,
# as dpkg would install it.
set -euo pipefail
cpack=$1 config=$2 out=$3

rm -rf "$out"
mkdir -p "$out"
"$cpack" --config "$config" -G DEB -B "$out"
debs=("$out"/*.deb)
if [[ ${#debs[@]} -ne 1 || ! -f ${debs[0]} ]]; then
    echo "expected one package in $out, found: ${debs[*]}" >&2
    exit 1
fi
dpkg-deb -x "${debs[0]}" "$out/root"
