#!/usr/bin/env bash
# Renders the README's pictures of the demo scene without a display.
#   demo:   docs/demo.png by f3d under xvfb-run. The camera looks north over South Asia; the
#           numbers are points of the demo's scene frame (metres east, up and south of the world
#           layer's centre, 0 E 3.18 S).
#   viewer: docs/viewer.png, the scene in `theme3d view`'s page in headless Chromium after a click
#           on Algeria (the browser test's steps, see tests/browser/viewer-test.mjs).
# Usage: docs/render.sh demo|viewer [path/to/theme3d]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
usage="usage: docs/render.sh demo|viewer [path/to/theme3d]"
picture=${1:-}
[[ $picture == demo || $picture == viewer ]] || { echo "$usage" >&2; exit 2; }
exe=${2:-$root/build/tools/tools/theme3d/theme3d}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$exe" demo -o "$work" >/dev/null
case $picture in
  demo)
    xvfb-run -a f3d --output "$root/docs/demo.png" --resolution 1200,800 --fxaa \
      --camera-position=14797771,-2345031,1117118 \
      --camera-focal-point=5339886,-5125181,-3242445 \
      --camera-view-up=-0.4830,-0.1772,-0.8575 \
      "$work/demo.glb" ;;
  viewer)
    node "$root/tests/browser/viewer-test.mjs" --theme3d "$exe" --scene "$work" \
      --expect "$root/tests/browser/demo-expect.json" --screenshot-clicked "$root/docs/viewer.png" >/dev/null ;;
esac
echo "wrote $root/docs/$picture.png"
