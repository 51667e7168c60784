#!/usr/bin/env bash
# Regenerates the sample files of this folder with quelta-cli's model command.
# Usage: data/samples/make-samples.sh [BUILD_DIR]   (default: build/release)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build/release}
cli="$build/bin/quelta-cli"
cd "$here"
# fcc rolling texture, {111}, {200}, {220}; complete pole figures at 5 degrees
# in three layouts, plus the model ODF itself.
"$cli" model -d . --name rolling -r 5 -f hpf -f tpf -f polcon --odf rolling_model.HODF
# The same measured only to alpha = 75 degrees (reflection geometry).
"$cli" model -d . --name rolling75 -r 5 --alpha-max 75 -f hpf -f tpf
# At 2.5 degrees, complete and incomplete.
"$cli" model -d . --name rolling2p5 -r 2.5
"$cli" model -d . --name rolling2p5_75 -r 2.5 --alpha-max 75
