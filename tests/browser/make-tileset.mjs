// A small 3D Tiles 1.1 tileset made by hand, for the viewer's tileset path: one tile of three
// extruded squares near 8.5 E 47.4 N, merged into one primitive per colour whose vertices carry
// their feature's row (EXT_mesh_features), and a property table (EXT_structural_metadata) with
// each feature's id, label, class caption and a number. No labels file: the page must take the
// labels from the metadata. Every value here is written out, so the test's expectations are too.
// Usage: node make-tileset.mjs OUT_DIR
import { mkdirSync, rmSync, writeFileSync } from "node:fs";
import { join } from "node:path";

const out = process.argv[2];
rmSync(out, { recursive: true, force: true });
mkdirSync(out, { recursive: true });

const lon = 8.5;
const lat = 47.4;
// Rows of the property table; x east and z south of the tile's origin, metres.
const features = [
  { fid: 7, label: "Northfield", caption: "high", pop: 1250.5, x: -600, z: -500, size: 800, height: 600, color: 1 },
  { fid: 8, label: "Southgate", caption: "low", pop: 80, x: 600, z: 500, size: 800, height: 200, color: 0 },
  { fid: 9, label: "Eastmere", caption: "low", pop: 95, x: 700, z: -700, size: 500, height: 150, color: 0 },
];
const colors = [
  [1.0, 1.0, 0.445, 1], // #FFFFB2 in linear terms
  [0.508, 0.0, 0.019, 1], // #BD0026
];

// An extruded square: top and four sides, each face with its own vertices and normal (glTF
// frame: x east, y up, z south), wound counter-clockwise seen from outside.
function box(f) {
  const h = f.size / 2;
  const [x0, x1, z0, z1, y1] = [f.x - h, f.x + h, f.z - h, f.z + h, f.height];
  const faces = [
    [[x0, y1, z1], [x1, y1, z1], [x1, y1, z0], [x0, y1, z0], [0, 1, 0]],
    [[x0, 0, z1], [x1, 0, z1], [x1, y1, z1], [x0, y1, z1], [0, 0, 1]],
    [[x1, 0, z0], [x0, 0, z0], [x0, y1, z0], [x1, y1, z0], [0, 0, -1]],
    [[x1, 0, z1], [x1, 0, z0], [x1, y1, z0], [x1, y1, z1], [1, 0, 0]],
    [[x0, 0, z0], [x0, 0, z1], [x0, y1, z1], [x0, y1, z0], [-1, 0, 0]],
  ];
  return faces;
}

const chunks = [];
let binLength = 0;
const bufferViews = [];
function addView(bytes, target) {
  while (binLength % 8 !== 0) {
    chunks.push(new Uint8Array(1));
    binLength += 1;
  }
  bufferViews.push({ buffer: 0, byteOffset: binLength, byteLength: bytes.byteLength, ...(target ? { target } : {}) });
  chunks.push(new Uint8Array(bytes.buffer, bytes.byteOffset, bytes.byteLength));
  binLength += bytes.byteLength;
  return bufferViews.length - 1;
}

const accessors = [];
const primitives = [];
for (const [c] of colors.entries()) {
  const positions = [];
  const normals = [];
  const ids = [];
  const indices = [];
  features.forEach((f, row) => {
    if (f.color !== c) return;
    for (const [a, b, cc, d, n] of box(f)) {
      const base = positions.length / 3;
      for (const v of [a, b, cc, d]) {
        positions.push(...v);
        normals.push(...n);
        ids.push(row);
      }
      indices.push(base, base + 1, base + 2, base, base + 2, base + 3);
    }
  });
  const min = [0, 1, 2].map((k) => Math.min(...positions.filter((_, i) => i % 3 === k)));
  const max = [0, 1, 2].map((k) => Math.max(...positions.filter((_, i) => i % 3 === k)));
  const count = positions.length / 3;
  accessors.push({ bufferView: addView(new Float32Array(positions), 34962), componentType: 5126, count, type: "VEC3", min, max });
  accessors.push({ bufferView: addView(new Float32Array(normals), 34962), componentType: 5126, count, type: "VEC3" });
  accessors.push({ bufferView: addView(new Float32Array(ids), 34962), componentType: 5126, count, type: "SCALAR" });
  accessors.push({ bufferView: addView(new Uint32Array(indices), 34963), componentType: 5125, count: indices.length, type: "SCALAR" });
  const a = accessors.length - 4;
  primitives.push({
    attributes: { POSITION: a, NORMAL: a + 1, _FEATURE_ID_0: a + 2 },
    indices: a + 3,
    material: c,
    extensions: { EXT_mesh_features: { featureIds: [{ featureCount: new Set(ids).size, attribute: 0, propertyTable: 0 }] } },
  });
}

function strings(values) {
  const encoder = new TextEncoder();
  const encoded = values.map((v) => encoder.encode(v));
  const offsets = new Uint32Array(values.length + 1);
  encoded.forEach((e, i) => (offsets[i + 1] = offsets[i] + e.length));
  const bytes = new Uint8Array(offsets[values.length]);
  encoded.forEach((e, i) => bytes.set(e, offsets[i]));
  return { values: addView(bytes), stringOffsets: addView(offsets) };
}

const metadata = {
  schema: {
    id: "tiles",
    classes: {
      feature: {
        properties: {
          fid: { type: "SCALAR", componentType: "INT64" },
          label: { type: "STRING" },
          class: { type: "STRING" },
          pop: { type: "SCALAR", componentType: "FLOAT64" },
        },
      },
    },
  },
  propertyTables: [
    {
      class: "feature",
      count: features.length,
      properties: {
        fid: { values: addView(new BigInt64Array(features.map((f) => BigInt(f.fid)))) },
        label: strings(features.map((f) => f.label)),
        class: strings(features.map((f) => f.caption)),
        pop: { values: addView(new Float64Array(features.map((f) => f.pop))) },
      },
    },
  ],
};

const gltf = {
  asset: { version: "2.0", generator: "make-tileset.mjs" },
  extensionsUsed: ["EXT_mesh_features", "EXT_structural_metadata"],
  extensions: { EXT_structural_metadata: metadata },
  scene: 0,
  scenes: [{ nodes: [0] }],
  nodes: [{ name: "features", mesh: 0 }],
  meshes: [{ primitives }],
  materials: colors.map((c) => ({ pbrMetallicRoughness: { baseColorFactor: c, metallicFactor: 0, roughnessFactor: 0.9 } })),
  accessors,
  bufferViews,
  buffers: [{ byteLength: 0 }],
};
while (binLength % 4 !== 0) {
  chunks.push(new Uint8Array(1));
  binLength += 1;
}
gltf.buffers[0].byteLength = binLength;
let json = Buffer.from(JSON.stringify(gltf));
json = Buffer.concat([json, Buffer.alloc((4 - (json.length % 4)) % 4, 0x20)]);
const header = Buffer.alloc(12);
header.writeUInt32LE(0x46546c67, 0);
header.writeUInt32LE(2, 4);
header.writeUInt32LE(12 + 8 + json.length + 8 + binLength, 8);
const chunkHeader = (length, type) => {
  const b = Buffer.alloc(8);
  b.writeUInt32LE(length, 0);
  b.writeUInt32LE(type, 4);
  return b;
};
writeFileSync(
  join(out, "0.glb"),
  Buffer.concat([header, chunkHeader(json.length, 0x4e4f534a), json, chunkHeader(binLength, 0x004e4942), ...chunks.map((c) => Buffer.from(c))]),
);

// East-north-up at the origin on the WGS 84 ellipsoid, as a column-major matrix.
const a = 6378137.0;
const e2 = 6.69437999014e-3;
const [l, p] = [(lon * Math.PI) / 180, (lat * Math.PI) / 180];
const n = a / Math.sqrt(1 - e2 * Math.sin(p) ** 2);
const origin = [n * Math.cos(p) * Math.cos(l), n * Math.cos(p) * Math.sin(l), n * (1 - e2) * Math.sin(p)];
const east = [-Math.sin(l), Math.cos(l), 0];
const north = [-Math.sin(p) * Math.cos(l), -Math.sin(p) * Math.sin(l), Math.cos(p)];
const up = [Math.cos(p) * Math.cos(l), Math.cos(p) * Math.sin(l), Math.sin(p)];
const tileset = {
  asset: { version: "1.1" },
  geometricError: 2000,
  root: {
    transform: [...east, 0, ...north, 0, ...up, 0, ...origin, 1],
    // In the tile's z-up frame: 1050 m east and west, 1250 m north and south, 0 to 600 m up.
    boundingVolume: { box: [0, 0, 300, 1050, 0, 0, 0, 1250, 0, 0, 0, 300] },
    geometricError: 0,
    refine: "ADD",
    content: { uri: "0.glb" },
  },
};
writeFileSync(join(out, "tileset.json"), JSON.stringify(tileset, null, 1));
writeFileSync(
  join(out, "legend.svg"),
  '<svg xmlns="http://www.w3.org/2000/svg" width="140" height="70" font-family="sans-serif" font-size="13">\n' +
    '<rect width="100%" height="100%" fill="white"/>\n' +
    '<rect x="12" y="12" width="28" height="16" fill="#BD0026"/><text x="50" y="25">high</text>\n' +
    '<rect x="12" y="40" width="28" height="16" fill="#FFFFB2"/><text x="50" y="53">low</text>\n</svg>\n',
);
console.log(`wrote ${out}: tileset.json, 0.glb, legend.svg`);
