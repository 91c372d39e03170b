// Labels that would overlap on the screen are hidden, the most important kept first (the caller
// sorts them), and so are labels on the far side of the globe. Runs after each frame; a label's
// box is estimated from its text, which is close enough to keep texts apart.
import { BoundingRectangle, Cartesian3, SceneTransforms } from "cesium";

function overlaps(a, b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The factor a NearFarScalar gives at a distance, as the label shader computes it.
function scaleAt(scalar, distance) {
  if (!scalar) return 1;
  const t = Math.min(Math.max((distance - scalar.near) / (scalar.far - scalar.near), 0), 1);
  return scalar.nearValue + (scalar.farValue - scalar.nearValue) * t;
}

export function declutter(scene, entries, occluder, hidden = false) {
  const camera = scene.camera.positionWC;
  occluder.cameraPosition = camera;
  const width = scene.canvas.clientWidth;
  const height = scene.canvas.clientHeight;
  const kept = [];
  for (const entry of entries) {
    let visible = !hidden && occluder.isPointVisible(entry.position);
    const p = visible ? SceneTransforms.worldToWindowCoordinates(scene, entry.position) : undefined;
    if (!p || p.x < 0 || p.y < 0 || p.x > width || p.y > height) visible = false;
    if (visible) {
      const scale = scaleAt(entry.label.scaleByDistance, Cartesian3.distance(camera, entry.position));
      const w = (entry.text.length * 8.5 + 8) * scale;
      const h = 19 * scale;
      const box = new BoundingRectangle(p.x - w / 2, p.y - h, w, h);
      visible = !kept.some((k) => overlaps(k, box));
      if (visible) kept.push(box);
    }
    if (entry.label.show !== visible) entry.label.show = visible;
  }
}
