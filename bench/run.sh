#!/usr/bin/env bash
# Runs every benchmark of a build and prints their figures.
#
#   bench/run.sh BUILD_DIR
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
shopt -s nullglob
benches=("$1"/bin/bench_*)
if [ ${#benches[@]} -eq 0 ]; then
    echo "$0: no bench_* programs in $1/bin: build with PAGEWARDEN_BUILD_BENCH=ON first" >&2
    exit 1
fi
echo "benchmarks on $(nproc) cores, $(uname -r)"
status=0
for exe in "${benches[@]}"; do
    echo
    echo "== $(basename "$exe")"
    "$exe" || status=1
done
exit $status
