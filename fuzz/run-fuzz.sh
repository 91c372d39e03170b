#!/usr/bin/env bash
# Fuzzes one target of a "fuzz" preset build, then minimises its committed corpus.
#   fuzz/run-fuzz.sh <build dir> <target> [seconds] [max input bytes]
#   e.g. fuzz/run-fuzz.sh build/fuzz unique_xml 300; fuzz/run-fuzz.sh build/fuzz graph_xml 300 1048576
# New inputs are collected in a scratch directory; crashes, leaks and timeouts are written to
# <build dir>/fuzz-findings/<target>/. Afterwards fuzz/corpus/<target> is rebuilt with -merge=1 as
# the smallest set of inputs that, together with fuzz/seeds/<target>, reaches every edge seen
# (hit counts are not kept apart, which keeps the committed corpus small).
set -euo pipefail

build=${1:?build directory}
target=${2:?target name, e.g. unique_xml}
seconds=${3:-300}
# Inputs up to 1 MB by default: a document of that size asks a reader for its whole budget of
# values and keys in many ways, where 16 KB inputs never reached it.
max_len=${4:-1048576}
here=$(cd "$(dirname "$0")" && pwd)
fuzzer=$(cd "$build" && pwd)/fuzz/fuzz_$target
seeds=$here/seeds/$target
corpus=$here/corpus/$target
findings=$(cd "$build" && pwd)/fuzz-findings/$target
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$findings" "$corpus" "$scratch/new" "$scratch/merged"

# One process, bounded memory, and a slow input counts as a finding.
"$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len="$max_len" \
  -dict="$here/theme.dict" -artifact_prefix="$findings/" -print_final_stats=1 \
  "$scratch/new" "$corpus" "$seeds"

# The seeds go in first, so that the merge keeps only what they do not already reach.
cp "$seeds"/* "$scratch/merged/"
"$fuzzer" -merge=1 -use_counters=0 -rss_limit_mb=2048 -timeout=10 "$scratch/merged" "$corpus" "$scratch/new"
for seed in "$seeds"/*; do rm -f "$scratch/merged/$(basename "$seed")"; done
rm -rf "$corpus"
mkdir -p "$corpus"
cp "$scratch/merged"/* "$corpus/" 2>/dev/null || true
touch "$corpus/.gitkeep" # git keeps the directory even when the seeds already reach every edge
echo "corpus $target: $(ls "$corpus" | wc -l) files"
