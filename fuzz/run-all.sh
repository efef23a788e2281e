#!/usr/bin/env bash
# Runs every fuzz target of a build for a while each and prints one line per target.
#
#   fuzz/run-all.sh DIR SECONDS
#
# DIR holds the fuzz_* executables (build-fuzz/fuzz). Each target starts from the seeds
# in fuzz/corpus/<target>/, which are only read; what it finds on the way goes into a
# scratch folder that is removed afterwards, so the checkout is never written to.
# A crash, a sanitizer report or a broken property fails the run: the input that did it
# and the target's log are kept under DIR/findings/ and named in the summary.
set -uo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 DIR SECONDS" >&2
    exit 2
fi
dir=$1
seconds=$2
case $seconds in
'' | *[!0-9]*)
    echo "$0: SECONDS must be a whole number, not '$seconds'" >&2
    exit 2
    ;;
esac

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/pagewarden-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# Any report must end the run with a stack, UBSan's included (it only warns by default).
# Settings the caller already exported come last and so win.
export ASAN_OPTIONS="halt_on_error=1:print_stacktrace=1:detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

shopt -s nullglob
targets=()
for exe in "$dir"/fuzz_*; do
    if [ -f "$exe" ] && [ -x "$exe" ]; then
        targets+=("$exe")
    fi
done
if [ ${#targets[@]} -eq 0 ]; then
    echo "$0: no fuzz_* executables in $dir" >&2
    exit 1
fi

failed=0
summary=()
for exe in "${targets[@]}"; do
    name=$(basename "$exe")
    work="$scratch/$name"
    mkdir -p "$work/corpus" "$work/artifacts"
    seeds="$here/corpus/$name"
    inputs=("$work/corpus")
    if [ -d "$seeds" ]; then
        inputs+=("$seeds")
    else
        echo "$name: no seeds in $seeds, starting from nothing" >&2
    fi

    echo "== $name: $seconds s" >&2
    # The first corpus folder receives new inputs: the scratch one, never the seeds.
    "$exe" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -timeout=30 \
        -print_final_stats=1 -artifact_prefix="$work/artifacts/" "${inputs[@]}" >"$work/log" 2>&1
    status=$?

    runs=$(grep -Eo '^Done [0-9]+ runs in [0-9]+ second' "$work/log" | tail -1 | awk '{print $2}')
    secs=$(grep -Eo '^Done [0-9]+ runs in [0-9]+ second' "$work/log" | tail -1 | awk '{print $5}')
    execs=$(grep -E '^stat::number_of_executed_units:' "$work/log" | awk '{print $2}')
    rate=$(grep -E '^stat::average_exec_per_sec:' "$work/log" | awk '{print $2}')
    rss=$(grep -E '^stat::peak_rss_mb:' "$work/log" | awk '{print $2}')
    cov=$(grep -Eo 'cov: [0-9]+' "$work/log" | tail -1 | awk '{print $2}')
    found=$(find "$work/corpus" -type f | wc -l)

    if [ $status -eq 0 ]; then
        summary+=("$(printf '%-20s ok      %9s execs in %3s s (%s/s), cov %s, %s new inputs, peak RSS %s MB' \
            "$name" "${execs:-${runs:-?}}" "${secs:-?}" "${rate:-?}" "${cov:-?}" "$found" "${rss:-?}")")
    else
        failed=1
        keep="$dir/findings/$name"
        rm -rf "$keep"
        mkdir -p "$keep"
        cp "$work/log" "$keep/log"
        cp "$work"/artifacts/* "$keep/" 2>/dev/null
        what=$(grep -Eo 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer): [^ ]+( [^ ]+)?|runtime error: .*|property broken: .*' \
            "$work/log" | head -1)
        summary+=("$(printf '%-20s FAILED  exit %s: %s; kept in %s' "$name" "$status" "${what:-see the log}" "$keep")")
        # The reason and the stack right away, so a CI log shows them without the files.
        grep -E -A40 'ERROR: |runtime error: |property broken: ' "$work/log" | head -60 >&2
        for artifact in "$work"/artifacts/*; do
            [ -f "$artifact" ] || continue
            echo "input $(basename "$artifact") ($(stat -c %s "$artifact") bytes), first 256 bytes in hex:" >&2
            head -c 256 "$artifact" | od -An -tx1 -v >&2
        done
    fi
done

echo
echo "Fuzz summary ($seconds s per target):"
printf '%s\n' "${summary[@]}"
exit $failed
