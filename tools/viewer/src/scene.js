// Reading the scenes theme3d writes: the glTF JSON and binary chunks of a .glb, its property
// table when it has one, and for every feature where it lies on the globe (its extent, its top),
// so that labels stand above the features and the camera starts on them. Features are found
// either as nodes whose extras hold their "fid", or as the feature IDs of merged meshes
// (EXT_mesh_features) whose property table (EXT_structural_metadata) holds "fid" and "label".
import { Cartesian3, Ellipsoid, Matrix4, Quaternion } from "cesium";

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

function bufferViewData(glb, index) {
  const bufferView = glb.json.bufferViews?.[index];
  if (!bufferView || !glb.bin) return undefined;
  const start = bufferView.byteOffset ?? 0;
  if (start + bufferView.byteLength > glb.bin.byteLength) return undefined;
  return { view: new DataView(glb.bin.buffer, glb.bin.byteOffset + start, bufferView.byteLength), stride: bufferView.byteStride };
}

const COMPONENTS = {
  5120: [1, "getInt8"],
  5121: [1, "getUint8"],
  5122: [2, "getInt16"],
  5123: [2, "getUint16"],
  5125: [4, "getUint32"],
  5126: [4, "getFloat32"],
};
const TYPE_SIZES = { SCALAR: 1, VEC2: 2, VEC3: 3, VEC4: 4 };

// The elements of an accessor (arrays of its components), at most about maxCount of them spread
// evenly over it, with their indices.
function* elements(glb, accessorIndex, maxCount = Infinity) {
  const accessor = glb.json.accessors?.[accessorIndex];
  const data = accessor && bufferViewData(glb, accessor.bufferView);
  const component = accessor && COMPONENTS[accessor.componentType];
  const size = accessor && TYPE_SIZES[accessor.type];
  if (!data || !component || !size) return;
  const [bytes, getter] = component;
  const stride = data.stride ?? bytes * size;
  const base = accessor.byteOffset ?? 0;
  const step = Math.max(1, Math.ceil(accessor.count / maxCount));
  for (let i = 0; i < accessor.count; i += step) {
    const at = base + i * stride;
    if (at + bytes * size > data.view.byteLength) return;
    const element = new Array(size);
    for (let c = 0; c < size; c += 1) element[c] = data.view[getter](at + c * bytes, true);
    yield [i, element];
  }
}

// One column of a property table as an array of plain values (64-bit integers as numbers).
function column(glb, table, classProperties, id) {
  const property = table.properties?.[id];
  const definition = classProperties?.[id];
  if (!property || !definition) return undefined;
  const values = bufferViewData(glb, property.values);
  if (!values) return undefined;
  const count = table.count ?? 0;
  if (definition.type === "STRING") {
    const offsetType = property.stringOffsetType ?? "UINT32";
    const offsets = bufferViewData(glb, property.stringOffsets);
    if (!offsets) return undefined;
    const read = (i) => (offsetType === "UINT8" ? offsets.view.getUint8(i) : offsetType === "UINT16" ? offsets.view.getUint16(i * 2, true) : offsetType === "UINT64" ? Number(offsets.view.getBigUint64(i * 8, true)) : offsets.view.getUint32(i * 4, true));
    const decoder = new TextDecoder();
    const bytes = new Uint8Array(values.view.buffer, values.view.byteOffset, values.view.byteLength);
    return Array.from({ length: count }, (_, i) => decoder.decode(bytes.subarray(read(i), read(i + 1))));
  }
  if (definition.type !== "SCALAR") return undefined;
  const readers = {
    INT8: [1, (v, at) => v.getInt8(at)],
    UINT8: [1, (v, at) => v.getUint8(at)],
    INT16: [2, (v, at) => v.getInt16(at, true)],
    UINT16: [2, (v, at) => v.getUint16(at, true)],
    INT32: [4, (v, at) => v.getInt32(at, true)],
    UINT32: [4, (v, at) => v.getUint32(at, true)],
    INT64: [8, (v, at) => Number(v.getBigInt64(at, true))],
    UINT64: [8, (v, at) => Number(v.getBigUint64(at, true))],
    FLOAT32: [4, (v, at) => v.getFloat32(at, true)],
    FLOAT64: [8, (v, at) => v.getFloat64(at, true)],
  };
  const reader = readers[definition.componentType];
  if (!reader || count * reader[0] > values.view.byteLength) return undefined;
  return Array.from({ length: count }, (_, i) => reader[1](values.view, i * reader[0]));
}

// What a feature is known by: its id, and in a scene of several layers (whose ids repeat) the
// position of its layer after the first.
export function featureKey(layer, fid) {
  return layer ? `${layer}:${fid}` : fid;
}

// The property tables of the scene, each as { fid: [...], label: [...] } where present, with
// the keys of the features' ids.
export function propertyTables(glb) {
  const metadata = glb.json.extensions?.EXT_structural_metadata;
  const classes = metadata?.schema?.classes ?? {};
  return (metadata?.propertyTables ?? []).map((table) => {
    const properties = classes[table.class]?.properties;
    const fid = column(glb, table, properties, "fid");
    // A tile holds one layer; a scene of several says where each layer's rows start.
    const starts = table.extras?.layerRows ?? [];
    const layerOf = (row) => starts.reduce((layer, start, k) => (row >= start ? k : layer), table.extras?.layer);
    return { fid: fid?.map((id, row) => featureKey(layerOf(row), id)), label: column(glb, table, properties, "label") };
  });
}

const RADIANS = 180 / Math.PI;

// Each node's transform into the scene's glTF frame (matrix or translation/rotation/scale,
// composed from the scene's roots down).
function nodeMatrices(json) {
  const matrices = [];
  const visit = (index, parent, depth) => {
    const node = json.nodes?.[index];
    if (!node || matrices[index] || depth > 64) return;
    const own = node.matrix
      ? Matrix4.fromColumnMajorArray(node.matrix)
      : Matrix4.fromTranslationQuaternionRotationScale(
          Cartesian3.fromArray(node.translation ?? [0, 0, 0]),
          Quaternion.unpack(node.rotation ?? [0, 0, 0, 1]),
          Cartesian3.fromArray(node.scale ?? [1, 1, 1]),
        );
    matrices[index] = Matrix4.multiply(parent, own, new Matrix4());
    for (const child of node.children ?? []) visit(child, matrices[index], depth + 1);
  };
  for (const scene of json.scenes ?? []) for (const root of scene.nodes ?? []) visit(root, Matrix4.IDENTITY, 0);
  return matrices;
}

function newRecord() {
  return {
    top: -Infinity, west: 180, south: 90, east: -180, north: -90, label: undefined,
    sum: new Cartesian3(), count: 0, chartSum: new Cartesian3(), chartCount: 0,
  };
}

// fid -> { top, west, south, east, north, area, anchor, label } of every feature with geometry.
export function featureRecords(glb, modelMatrix, maxVerticesPerFeature = 3000) {
  const records = new Map();
  const ellipsoid = Ellipsoid.WGS84;
  const matrices = nodeMatrices(glb.json);
  const inScene = new Cartesian3();
  const local = new Cartesian3();
  const world = new Cartesian3();
  const toWorld = (nodeIndex, [x, y, z]) => {
    Matrix4.multiplyByPoint(matrices[nodeIndex] ?? Matrix4.IDENTITY, Cartesian3.fromElements(x, y, z, inScene), inScene);
    // glTF x east, y up, z south -> east, north, up.
    Cartesian3.fromElements(inScene.x, -inScene.z, inScene.y, local);
    return Matrix4.multiplyByPoint(modelMatrix, local, world);
  };
  const add = (fid, nodeIndex, p) => {
    let r = records.get(fid);
    if (!r) records.set(fid, (r = newRecord()));
    toWorld(nodeIndex, p);
    Cartesian3.add(r.sum, world, r.sum);
    r.count += 1;
    const c = ellipsoid.cartesianToCartographic(world);
    if (!c) return;
    r.top = Math.max(r.top, c.height);
    r.west = Math.min(r.west, c.longitude * RADIANS);
    r.east = Math.max(r.east, c.longitude * RADIANS);
    r.south = Math.min(r.south, c.latitude * RADIANS);
    r.north = Math.max(r.north, c.latitude * RADIANS);
  };

  // Nodes that are features.
  for (const [n, node] of (glb.json.nodes ?? []).entries()) {
    const fid = node.extras?.fid;
    const mesh = glb.json.meshes?.[node.mesh];
    if (fid === undefined || !mesh) continue;
    for (const primitive of mesh.primitives ?? []) {
      for (const [, p] of elements(glb, primitive.attributes?.POSITION, maxVerticesPerFeature)) add(fid, n, p);
    }
    if (typeof node.extras.label === "string" && records.has(fid)) records.get(fid).label = node.extras.label;
  }

  // Merged meshes whose vertices carry feature IDs into a property table. Instanced parts (the
  // charts) are left out: a feature's place is its body's.
  const tables = propertyTables(glb);
  for (const [n, node] of (glb.json.nodes ?? []).entries()) {
    const mesh = glb.json.meshes?.[node.mesh];
    if (!mesh || node.extensions?.EXT_mesh_gpu_instancing) continue;
    for (const primitive of mesh.primitives ?? []) {
      const ids = primitive.extensions?.EXT_mesh_features?.featureIds?.find((f) => f.attribute !== undefined);
      const table = ids && tables[ids.propertyTable];
      if (!table?.fid) continue;
      const featureOf = [];
      for (const [i, [id]] of elements(glb, primitive.attributes?.[`_FEATURE_ID_${ids.attribute}`])) featureOf[i] = id;
      for (const [i, p] of elements(glb, primitive.attributes?.POSITION)) {
        const fid = table.fid[featureOf[i]];
        if (fid === undefined) continue;
        add(fid, n, p);
        const label = table.label?.[featureOf[i]];
        if (label) records.get(fid).label = label;
      }
    }
  }

  // Charts drawn as instances stand at their feature's anchor, the place its label belongs.
  for (const [n, node] of (glb.json.nodes ?? []).entries()) {
    const attributes = node.extensions?.EXT_mesh_gpu_instancing?.attributes;
    const ids = node.extensions?.EXT_instance_features?.featureIds?.find((f) => f.attribute !== undefined);
    const table = ids && tables[ids.propertyTable];
    if (!attributes || !table?.fid) continue;
    const featureOf = [];
    for (const [i, [id]] of elements(glb, attributes[`_FEATURE_ID_${ids.attribute}`])) featureOf[i] = id;
    for (const [i, t] of elements(glb, attributes.TRANSLATION)) {
      const r = records.get(table.fid[featureOf[i]]);
      if (!r) continue;
      Cartesian3.add(r.chartSum, toWorld(n, t), r.chartSum);
      r.chartCount += 1;
    }
  }

  for (const [fid, r] of records) {
    if (r.top === -Infinity) {
      records.delete(fid);
      continue;
    }
    const midLat = (r.south + r.north) / 2 / RADIANS;
    r.area = (r.east - r.west) * (r.north - r.south) * Math.cos(midLat);
    // Where the label goes without a labels file: at the charts, else the middle of the
    // feature's vertices (which, unlike its box, stays on a feature across the antimeridian).
    const middle = ellipsoid.cartesianToCartographic(
      r.chartCount > 0 ? Cartesian3.divideByScalar(r.chartSum, r.chartCount, new Cartesian3()) : Cartesian3.divideByScalar(r.sum, r.count, new Cartesian3()),
    );
    r.anchor = middle
      ? [middle.longitude * RADIANS, middle.latitude * RADIANS]
      : [(r.west + r.east) / 2, (r.south + r.north) / 2];
    delete r.sum;
    delete r.chartSum;
  }
  return records;
}
