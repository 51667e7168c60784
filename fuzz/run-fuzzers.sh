#!/usr/bin/env bash
# Runs every libFuzzer target of the build for the given seconds each, one
# after the other, starting from its seed corpus (fuzz/corpus/<target>), the
# stored regression inputs and, when present, the real instrument files.
#   fuzz/run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]
# New corpus entries and crash artifacts go below BUILD_DIR, never into the
# repository. A crasher worth keeping is copied to fuzz/regressions/<target>/
# by hand; the test dataformats_fuzz_replay replays those on every build.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]}
seconds=${2:-60}
shift 2 || shift $#
realworld=${QUELTA_REALWORLD_DIR:-$here/../../shared/data/realworld}

# Real files that each target may start from (read-only extra corpora).
extra_dirs() {
    case "$1" in
        polefigure) echo "$realworld/polefigures $realworld/foreign" ;;
        odf|odf73) echo "$realworld/odf $realworld/foreign" ;;
        ipf|gbcd) echo "$realworld/odf" ;;
        grainmap) echo "$realworld/foreign" ;;
    esac
}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for exe in "$build"/bin/fuzz_*; do
        [ -x "$exe" ] && targets+=("$(basename "$exe" | sed 's/^fuzz_//')")
    done
fi
if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets in $build/bin (configure with the fuzz preset)" >&2
    exit 1
fi

status=0
summary=()
for t in "${targets[@]}"; do
    exe="$build/bin/fuzz_$t"
    work="$build/fuzz-work/$t"
    mkdir -p "$work/corpus" "$work/artifacts"
    dirs=("$work/corpus" "$here/corpus/$t")
    [ -d "$here/regressions/$t" ] && dirs+=("$here/regressions/$t")
    for d in $(extra_dirs "$t"); do [ -d "$d" ] && dirs+=("$d"); done
    log="$work/last-run.log"
    echo "== fuzz_$t for ${seconds}s" >&2
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
    UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    "$exe" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" "${dirs[@]}" >"$log" 2>&1
    rc=$?
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
    line="fuzz_$t: ${execs:-?} executions in ${seconds}s, ${cov:-no coverage line}, exit $rc"
    [ $rc -ne 0 ] && { line="$line (see $log, artifacts in $work/artifacts)"; status=1; }
    echo "$line" >&2
    summary+=("$line")
done
printf '%s\n' "${summary[@]}"
exit $status
