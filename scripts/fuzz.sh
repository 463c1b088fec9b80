#!/bin/sh
# Builds the libFuzzer targets (preset "fuzz", build/fuzz) and runs each in turn over its seeds.
#
#   scripts/fuzz.sh [seconds-per-target] [target...]
#
# Targets are the names after "fuzz_" (url, timers, presets, ...), all of them by default; 60 s
# each by default. One target at a time on one core: the machine is shared. New inputs are kept
# in build/fuzz/corpus/<target> (so a later run goes on from them); crashes, leaks and time-outs
# in build/fuzz/findings/<target>/ (they stay, and count, until removed); the seeds in
# tests/fuzz/corpus are only read.
# Prints executions, executions per second and findings per target; exits 1 when any target
# found something.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
seconds=60
if [ $# -gt 0 ]; then
    seconds=$1
    shift
fi
targets=${*:-$(ls "$root/tests/fuzz/corpus")}

if [ ! -f "$build/CMakeCache.txt" ]; then
    (cd "$root" && cmake --preset fuzz >/dev/null)
fi
flock /tmp/larkspur-build.lock cmake --build "$build" -j2 --target fuzz_all >/dev/null

found=0
printf '%-14s %12s %10s %9s\n' target executions exec/s findings
for t in $targets; do
    mkdir -p "$build/corpus/$t" "$build/findings/$t"
    log=$build/findings/$t.log
    # Fork mode carries on after a finding, so that one fault does not hide the next; the
    # limits make a runaway input a finding rather than a stuck run.
    QT_QPA_PLATFORM=offscreen "$build/bin/fuzz_$t" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 \
        -ignore_ooms=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/findings/$t/" "$build/corpus/$t" "$root/tests/fuzz/corpus/$t" \
        >"$log" 2>&1 || true
    # The last progress line: "#<executions>: cov: ... time: <seconds>s ...".
    execs=$(grep -E '^#[0-9]+: cov' "$log" | tail -n1 | sed -E 's/^#([0-9]+):.*/\1/')
    took=$(grep -E '^#[0-9]+: cov' "$log" | tail -n1 | sed -E 's/.* time: ([0-9]+)s.*/\1/')
    rate=$(awk -v e="${execs:-0}" -v s="${took:-0}" 'BEGIN { if (s > 0) printf "%d", e / s }')
    findings=$(find "$build/findings/$t" -type f | wc -l)
    printf '%-14s %12s %10s %9s\n' "$t" "${execs:-?}" "${rate:-?}" "$findings"
    if [ "$findings" -gt 0 ]; then
        found=1
        for f in "$build/findings/$t"/*; do
            # A time-out found is an input that never finishes: the run is cut short again.
            timeout 30 "$build/bin/fuzz_$t" -timeout=10 "$f" 2>&1 |
                grep -m1 -E 'fuzz fault|runtime error|ERROR: ' || true
        done | sed -E 's/^==[0-9]+==//' | sort | uniq -c | sed 's/^/   /'
    fi
done
exit $found
