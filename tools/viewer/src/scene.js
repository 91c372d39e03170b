// Reading the scene theme3d wrote: the glTF JSON and binary chunks of a .glb, and for every
// feature node where it lies on the globe (its extent, its top), so that labels stand above the
// features and the camera starts on them.
import { Cartesian3, Ellipsoid, Matrix4 } from "cesium";

const GLB_MAGIC = 0x46546c67; // "glTF"
const CHUNK_JSON = 0x4e4f534a;
const CHUNK_BIN = 0x004e4942;

export function parseGlb(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  if (bytes.byteLength < 20 || view.getUint32(0, true) !== GLB_MAGIC) throw new Error("not a binary glTF file");
  const length = Math.min(view.getUint32(8, true), bytes.byteLength);
  let json;
  let bin;
  for (let offset = 12; offset + 8 <= length; ) {
    const chunkLength = view.getUint32(offset, true);
    const type = view.getUint32(offset + 4, true);
    const start = offset + 8;
    if (start + chunkLength > length) throw new Error("binary glTF chunk runs past the end of the file");
    const chunk = bytes.subarray(start, start + chunkLength);
    if (type === CHUNK_JSON && !json) json = JSON.parse(new TextDecoder().decode(chunk));
    else if (type === CHUNK_BIN && !bin) bin = chunk;
    offset = start + chunkLength;
  }
  if (!json) throw new Error("binary glTF file without JSON");
  return { json, bin };
}

export function parentOf(nodes, index) {
  const parent = nodes.findIndex((n) => n.children?.includes(index));
  return parent < 0 ? undefined : parent;
}

// The float VEC3 positions of one accessor, as [x, y, z] triples in glTF's frame.
function* positions(glb, accessorIndex, maxCount) {
  const accessor = glb.json.accessors?.[accessorIndex];
  const bufferView = glb.json.bufferViews?.[accessor?.bufferView];
  if (!accessor || !bufferView || !glb.bin || accessor.componentType !== 5126 || accessor.type !== "VEC3") return;
  const stride = bufferView.byteStride ?? 12;
  const base = glb.bin.byteOffset + (bufferView.byteOffset ?? 0) + (accessor.byteOffset ?? 0);
  const data = new DataView(glb.bin.buffer);
  const step = Math.max(1, Math.ceil(accessor.count / maxCount));
  for (let i = 0; i < accessor.count; i += step) {
    const at = base + i * stride;
    if (at + 12 > glb.bin.byteOffset + glb.bin.byteLength) return;
    yield [data.getFloat32(at, true), data.getFloat32(at + 4, true), data.getFloat32(at + 8, true)];
  }
}

const RADIANS = 180 / Math.PI;

// fid -> { top, west, south, east, north, area, anchor } of every feature node with a mesh.
export function featureRecords(glb, modelMatrix, maxVerticesPerFeature = 3000) {
  const records = new Map();
  const ellipsoid = Ellipsoid.WGS84;
  const local = new Cartesian3();
  const world = new Cartesian3();
  for (const node of glb.json.nodes ?? []) {
    const fid = node.extras?.fid;
    const mesh = glb.json.meshes?.[node.mesh];
    if (fid === undefined || !mesh) continue;
    const r = { top: -Infinity, west: 180, south: 90, east: -180, north: -90 };
    for (const primitive of mesh.primitives ?? []) {
      for (const [x, y, z] of positions(glb, primitive.attributes?.POSITION, maxVerticesPerFeature)) {
        // glTF x east, y up, z south -> east, north, up.
        Cartesian3.fromElements(x, -z, y, local);
        Matrix4.multiplyByPoint(modelMatrix, local, world);
        const c = ellipsoid.cartesianToCartographic(world);
        if (!c) continue;
        r.top = Math.max(r.top, c.height);
        r.west = Math.min(r.west, c.longitude * RADIANS);
        r.east = Math.max(r.east, c.longitude * RADIANS);
        r.south = Math.min(r.south, c.latitude * RADIANS);
        r.north = Math.max(r.north, c.latitude * RADIANS);
      }
    }
    if (r.top === -Infinity) continue;
    const midLat = ((r.south + r.north) / 2) / RADIANS;
    r.area = (r.east - r.west) * (r.north - r.south) * Math.cos(midLat);
    r.anchor = [(r.west + r.east) / 2, (r.south + r.north) / 2];
    records.set(fid, r);
  }
  return records;
}
