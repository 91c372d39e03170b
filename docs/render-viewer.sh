#!/usr/bin/env bash
# Takes docs/viewer.png: the demo scene in `theme3d view`'s page in headless Chromium, after a
# click on Algeria (the browser test's steps, see tests/browser/viewer-test.mjs).
# Usage: docs/render-viewer.sh [path/to/theme3d]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/tools/tools/theme3d/theme3d}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$exe" demo -o "$work" >/dev/null
node "$root/tests/browser/viewer-test.mjs" --theme3d "$exe" --scene "$work" \
  --expect "$root/tests/browser/demo-expect.json" --screenshot-clicked "$root/docs/viewer.png" >/dev/null
echo "wrote $root/docs/viewer.png"
