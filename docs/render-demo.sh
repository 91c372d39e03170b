#!/usr/bin/env bash
# Renders the demo scene to docs/demo.png without a display: theme3d demo, then f3d under
# xvfb-run. The camera looks north over South Asia; the numbers are points of the demo's scene
# frame (metres east, up and south of the world layer's centre, 0 E 3.18 S).
# Usage: docs/render-demo.sh [path/to/theme3d]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/tools/tools/theme3d/theme3d}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$exe" demo -o "$work" >/dev/null
xvfb-run -a f3d --output "$root/docs/demo.png" --resolution 1200,800 --fxaa \
  --camera-position=14797771,-2345031,1117118 \
  --camera-focal-point=5339886,-5125181,-3242445 \
  --camera-view-up=-0.4830,-0.1772,-0.8575 \
  "$work/demo.glb"
echo "wrote $root/docs/demo.png"
