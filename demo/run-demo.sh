#!/usr/bin/env bash
# The demo: runs the suite's programs from a build folder and writes results
# into the output folder. Usage: run-demo.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$1
out=$2
mkdir -p "$out"
echo "== Orientation basics: named texture components"
"$build/bin/orimath-demo" | tee "$out/orientations.txt"
echo
echo "Outputs: $out"
