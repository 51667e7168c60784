#!/usr/bin/env bash
# The demo: the suite's main job end to end on the sample pole figures.
# ODF from three pole figures, the pole figures recalculated from it with
# their RP error against the input, one inverse pole figure, and (when the
# drawing layer is built) pictures of all of them.
# Usage: run-demo.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
samples="$root/data/samples"
cli="$build/bin/quelta-cli"

if [ -x "$build/bin/orimath-demo" ]; then
    echo "== Orientation basics: named texture components"
    "$build/bin/orimath-demo" >"$out/orientations.txt"
    head -n 12 "$out/orientations.txt"
    echo "   (full table: $out/orientations.txt)"
    echo
fi

echo "== ODF from three pole figures"
echo "   input: model fcc rolling texture, {111} {200} {220}, 5 degree grid ($samples)"
"$cli" odf --crystal cubic --sample-sym --normalise \
    --pf "$samples/rolling_111.HPF" 1 1 1 \
    --pf "$samples/rolling_200.HPF" 2 0 0 \
    --pf "$samples/rolling_220.HPF" 2 2 0 \
    -o "$out/rolling.HODF" >"$out/odf-summary.txt" 2>"$out/odf-progress.log"
# One line per iteration: the loop number and the mean deviation after it.
awk '/^Loop: / { loop = $2 } /^Deviation: / { printf "   loop %2d   mean deviation %s\n", loop, $2 }' \
    "$out/odf-progress.log"
sed 's/^/   /' "$out/odf-summary.txt"
echo

echo "== Pole figures recalculated from the ODF, RP error against the input"
rp() { sed -n 's/^RP error against .*: \([0-9.]*\) %$/\1/p'; }
declare -A rp_classic
for hkl in "1 1 1" "2 0 0" "2 2 0"; do
    name=${hkl// /}
    "$cli" pf "$out/rolling.HODF" --hkl $hkl -o "$out/recalc_$name.HPF" \
        --compare "$samples/rolling_$name.HPF" 2>/dev/null >"$out/recalc.log"
    sed 's/^/   /' "$out/recalc.log"
    rp_classic[$name]=$(rp <"$out/recalc.log")
done
rm -f "$out/recalc.log"
echo

echo "== The same ODF by the arbitrary-resolution engine at 5 degrees (--engine arbitrary)"
"$cli" odf --crystal cubic --sample-sym --normalise --engine arbitrary \
    --pf "$samples/rolling_111.HPF" 1 1 1 \
    --pf "$samples/rolling_200.HPF" 2 0 0 \
    --pf "$samples/rolling_220.HPF" 2 2 0 \
    -o "$out/rolling_arbitrary.HODF" 2>/dev/null | sed 's/^/   /'
echo
echo "   RP error (percent) of the recalculated pole figures, by engine"
printf '   %-8s %10s %10s\n' "figure" "classic" "arbitrary"
for hkl in "1 1 1" "2 0 0" "2 2 0"; do
    name=${hkl// /}
    arbitrary=$("$cli" pf "$out/rolling_arbitrary.HODF" --engine arbitrary --hkl $hkl \
        -o "$out/recalc_arbitrary_$name.HPF" --compare "$samples/rolling_$name.HPF" 2>/dev/null | rp)
    printf '   {%s}    %10s %10s\n' "$name" "${rp_classic[$name]}" "$arbitrary"
done
echo

echo "== Inverse pole figure of the sample normal (ND)"
"$cli" ipf "$out/rolling.HODF" --axis ND -o "$out/rolling_ND.HIPF" 2>/dev/null | sed 's/^/   /'
echo

# The render subcommand exists when the drawing layer was built.
render() {
    "$cli" render "$@" >/dev/null 2>"$out/render.log" || echo "   could not render ${*: -1}: $(tail -n 1 "$out/render.log")"
}
if "$cli" --help 2>/dev/null | grep -q '^  render '; then
    echo "== Pictures"
    for name in 111 200 220; do
        render "$samples/rolling_$name.HPF" -o "$out/input_$name.png"
        render "$out/recalc_$name.HPF" -o "$out/recalc_$name.png"
    done
    render "$out/rolling.HODF" -o "$out/rolling_odf.png"
    render "$out/rolling_ND.HIPF" -o "$out/rolling_ND.png"
    rm -f "$out/render.log"
    ls -1 "$out"/*.png 2>/dev/null | sed 's/^/   /'
    echo
fi

echo "Outputs: $out"
ls -1 "$out" | sed 's/^/   /'
