#!/usr/bin/env bash
# Scale benchmark of theme3d render: builds theme3d optimised (build/scale), generates synthetic
# layers with GDAL (theme3d-make-layer), and measures wall time and peak resident memory
# (/usr/bin/time -v) of:
#   polygons  N polygons (default 1 000 000), range + bars + labels, to 3D Tiles, --jobs 2
#   points    N points (default 10 000 000), range only, to 3D Tiles, --jobs 2
#   glb       100 000 polygons with bars and labels as one .glb: one node per feature (--nodes,
#             the former writer) against merged meshes
# and prints one markdown table (bytes per feature = output size / features).
# Usage: bench/scale/run-scale.sh [--polygons N] [--points N] [--glb N] [--only NAME] [--jobs N]
# Layers are kept in build/scale/data and reused; outputs go to build/scale/out and are removed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/scale
polygons=1000000 points=10000000 glb=100000 only="" jobs=2
while [ $# -gt 0 ]; do
    case $1 in
    --polygons) polygons=$2; shift 2 ;;
    --points) points=$2; shift 2 ;;
    --glb) glb=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
    esac
done

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVY_BUILD_TOOLS=ON \
    -DVY_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target theme3d theme3d-make-layer >/dev/null
exe=$build/tools/theme3d/theme3d
make_layer=$build/tools/theme3d/theme3d-make-layer
data=$build/data out=$build/out
mkdir -p "$data"
rm -rf "$out" && mkdir -p "$out"
trap 'rm -rf "$out"' EXIT

layer() { # kind n -> path, generated once
    local path=$data/$1-$2.gpkg
    [ -f "$path" ] || "$make_layer" "$1" "$2" "$path"
    echo "$path"
}

themes() { # layer prefix: range, bar and label themes next to the outputs
    "$exe" classify "$1" --field value --method quantile --classes 5 --extrude 30 -o "$out/$2-range.xml" >/dev/null
    "$exe" chart "$1" --fields a,b --type bar -o "$out/$2-bar.xml" >/dev/null
    "$exe" label "$1" --field name -o "$out/$2-label.xml" >/dev/null
}

rows=()
measure() { # name features output command...
    local name=$1 n=$2 target=$3
    shift 3
    local log=$out/time.log
    /usr/bin/time -v "$@" >/dev/null 2>"$log"
    local wall rss bytes
    wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$log")
    rss=$(awk -F': ' '/Maximum resident set size/ {printf "%.0f", $2 / 1024}' "$log")
    bytes=$(du -sb "$target" | cut -f1)
    rows+=("| $name | $n | $wall | $rss MiB | $((bytes / 1048576)) MiB | $((bytes / n)) |")
    rm -rf "$target"
}

if [ -z "$only" ] || [ "$only" = polygons ]; then
    path=$(layer polygons "$polygons")
    themes "$path" p
    measure "polygons, range + bars + labels, 3D Tiles, --jobs $jobs" "$polygons" "$out/p-tiles" \
        "$exe" render "$path" --theme "$out/p-range.xml" --theme "$out/p-bar.xml" \
        --theme "$out/p-label.xml" --jobs "$jobs" -o "$out/p-tiles/"
fi
if [ -z "$only" ] || [ "$only" = points ]; then
    path=$(layer points "$points")
    themes "$path" q
    measure "points, range only, 3D Tiles, --jobs $jobs" "$points" "$out/q-tiles" \
        "$exe" render "$path" --theme "$out/q-range.xml" --jobs "$jobs" -o "$out/q-tiles/"
fi
if [ -z "$only" ] || [ "$only" = glb ]; then
    path=$(layer polygons "$glb")
    themes "$path" g
    for mode in nodes merged; do
        flag=""
        [ $mode = nodes ] && flag=--nodes
        measure "polygons, range + bars + labels, one .glb, $mode, --jobs 1" "$glb" "$out/g.glb" \
            "$exe" render "$path" --theme "$out/g-range.xml" --theme "$out/g-bar.xml" \
            --theme "$out/g-label.xml" $flag -o "$out/g.glb"
        rm -f "$out/g.labels.geojson"
    done
fi

echo "| render | features | wall time | peak RSS | output | bytes/feature |"
echo "|---|---|---|---|---|---|"
printf '%s\n' "${rows[@]}"
