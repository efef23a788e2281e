#!/usr/bin/env bash
# Runs the benchmarks of a build and prints their figures.
#
#   bench/run.sh BUILD_DIR
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
exe="$1/bin/bench_store"
if [ ! -x "$exe" ]; then
    echo "$0: $exe is missing: build the bench_store target first (PAGEWARDEN_BUILD_BENCH=ON)" >&2
    exit 1
fi
echo "bench_store on $(nproc) cores, $(uname -r)"
"$exe"
