// The page theme3d view writes next to a scene: the scene on an offline globe at its true place,
// its labels, its features' values on a click, and its legend.
//
// Everything comes from the folder the page sits in: no imagery, terrain or token from the
// internet. The page reads its configuration from the JSON block theme3d view wrote into it.
import {
  Axis,
  BoundingSphere,
  Cartesian2,
  Cartesian3,
  Cartographic,
  Color,
  DirectionalLight,
  Cesium3DTileFeature,
  Cesium3DTileset,
  Ellipsoid,
  EllipsoidalOccluder,
  EllipsoidTerrainProvider,
  HeadingPitchRange,
  HorizontalOrigin,
  Ion,
  LabelCollection,
  LabelStyle,
  Matrix4,
  Model,
  ModelFeature,
  NearFarScalar,
  Rectangle,
  SceneTransforms,
  ScreenSpaceEventHandler,
  ScreenSpaceEventType,
  Transforms,
  VerticalOrigin,
  Viewer,
} from "cesium";
import { featureKey, featureRecords, parseGlb, parentOf } from "./scene.js";
import { declutter } from "./declutter.js";

const config = JSON.parse(document.getElementById("theme3d-config").textContent);
const state = { ready: false, errors: [], labels: [], labelsHidden: false, nodes: null, records: null };
window.theme3d = state;

// No ion: no default token, so nothing can reach the ion servers even by accident.
Ion.defaultAccessToken = "";

const viewer = new Viewer("globe", {
  baseLayer: false,
  baseLayerPicker: false,
  geocoder: false,
  animation: false,
  timeline: false,
  fullscreenButton: false,
  sceneModePicker: false,
  projectionPicker: false,
  infoBox: false,
  selectionIndicator: false,
  navigationHelpButton: false,
  homeButton: true,
  skyBox: false,
  skyAtmosphere: false,
  terrainProvider: new EllipsoidTerrainProvider(),
  msaaSamples: 1,
  creditContainer: document.getElementById("credits"),
});
state.viewer = viewer;
const scene = viewer.scene;
scene.globe.baseColor = Color.fromCssColorString(config.globeColor ?? "#3E5C7A");
scene.globe.showGroundAtmosphere = false;
scene.globe.enableLighting = false;
scene.fog.enabled = false;
scene.backgroundColor = Color.fromCssColorString("#10141c");
// A light that follows the camera: the scene reads the same by day and by night, and faces
// turned towards the viewer are the brightest. Its intensity is about pi, which the diffuse term
// divides by, so a face seen head-on shows nearly its own colour.
const headlight = new DirectionalLight({ direction: Cartesian3.clone(viewer.camera.directionWC), intensity: 3.0 });
scene.light = headlight;
scene.preRender.addEventListener(() => Cartesian3.clone(scene.camera.directionWC, headlight.direction));
scene.renderError.addEventListener((_, error) => fail(error));

function fail(error) {
  const text = error instanceof Error ? error.message : String(error);
  state.errors.push(text);
  document.getElementById("status").textContent = `Cannot show the scene: ${text}`;
  console.error(error);
}

// Light from the sky and the ground would tint and grey the class colours; only the headlight
// shades the scene, so a face turned to the viewer shows its class colour as the legend does.
function trueColours(primitive) {
  primitive.imageBasedLighting.imageBasedLightingFactor = new Cartesian2(0.0, 0.0);
}

// The frame of a scene theme3d wrote as glTF: east-north-up at the origin it records, in metres.
// glTF's y up becomes z up in the model's own frame, which is exactly east-north-up.
function enuMatrix(origin) {
  const [lon, lat] = origin;
  return Transforms.eastNorthUpToFixedFrame(Cartesian3.fromDegrees(lon, lat, 0));
}

// A .gltf as the .glb reader sees it: its JSON, and its one buffer fetched from beside it.
async function fetchGltf() {
  const response = await fetch(config.scene);
  if (!response.ok) throw new Error(`${config.scene}: HTTP ${response.status}`);
  const json = await response.json();
  const uri = json.buffers?.[0]?.uri;
  if (!uri) return { json, bin: undefined };
  const url = new URL(uri, new URL(config.scene, window.location.href));
  const binResponse = await fetch(url);
  if (!binResponse.ok) throw new Error(`${uri}: HTTP ${binResponse.status}`);
  return { json, bin: new Uint8Array(await binResponse.arrayBuffer()) };
}

async function loadGlb() {
  let bytes;
  let glb;
  if (config.type === "gltf") {
    glb = await fetchGltf();
  } else {
    const response = await fetch(config.scene);
    if (!response.ok) throw new Error(`${config.scene}: HTTP ${response.status}`);
    bytes = new Uint8Array(await response.arrayBuffer());
    glb = parseGlb(bytes);
  }
  const root = glb.json.nodes?.[glb.json.scenes?.[glb.json.scene ?? 0]?.nodes?.[0]];
  const origin = root?.extras?.origin;
  if (!Array.isArray(origin) || origin.length < 2) throw new Error(`${config.scene} records no origin`);
  const modelMatrix = enuMatrix(origin);
  state.nodes = glb.json.nodes;
  state.records = featureRecords(glb, modelMatrix);

  // The scene's axes are already east and north once y-up is turned z-up: no forward-axis turn.
  const model = await Model.fromGltfAsync({
    ...(bytes ? { gltf: bytes } : { url: config.scene }),
    basePath: config.scene,
    modelMatrix,
    upAxis: Axis.Y,
    forwardAxis: Axis.X,
  });
  trueColours(model);
  scene.primitives.add(model);
  await new Promise((resolve, reject) => {
    model.readyEvent.addEventListener(resolve);
    model.errorEvent.addEventListener(reject);
  });
  // The globe is the ground here; the scene's own ground would only fight it for depth.
  const ground = model.getNode("ground");
  if (ground) ground.show = false;
  return { model, rectangle: recordsRectangle(state.records) };
}

function recordsRectangle(records) {
  let west = 180, south = 90, east = -180, north = -90;
  for (const r of records.values()) {
    west = Math.min(west, r.west);
    south = Math.min(south, r.south);
    east = Math.max(east, r.east);
    north = Math.max(north, r.north);
  }
  return west <= east ? Rectangle.fromDegrees(west, south, east, north) : undefined;
}

async function loadTileset() {
  const tileset = await Cesium3DTileset.fromUrl(config.scene, { maximumScreenSpaceError: 8 });
  trueColours(tileset);
  scene.primitives.add(tileset);
  state.tileset = tileset;
  state.records = new Map();
  state.pendingTiles = 0;
  // Each tile's content is read once more here for where its features are and what their labels
  // say (the renderer keeps neither where a page can reach it).
  tileset.tileLoad.addEventListener((tile) => {
    const url = tile.content?.url;
    if (!url || !/\.glb($|\?)/.test(url)) return;
    state.pendingTiles += 1;
    readTile(url, Matrix4.clone(tile.computedTransform))
      .catch(fail)
      .finally(() => {
        state.pendingTiles -= 1;
      });
  });
  return { tileset };
}

async function readTile(url, transform) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: HTTP ${response.status}`);
  const records = featureRecords(parseGlb(new Uint8Array(await response.arrayBuffer())), transform);
  for (const [fid, record] of records) {
    const known = state.records.get(fid);
    // A feature that spans tiles is as high as its highest part.
    if (!known || record.top > known.top) state.records.set(fid, record);
  }
  labelsFromRecords(records);
}

// Labels as the label theme gave them, at each feature's anchor and above its top: from the
// labels file beside the scene, else from the scene's own metadata.
const labelLayer = { collection: undefined, scale: undefined, size: 1e6, byFid: new Map() };

function setUpLabels(size) {
  labelLayer.collection = scene.primitives.add(new LabelCollection({ scene }));
  labelLayer.size = size;
  // Labels shrink with distance from about the scene's size out to ten times that.
  labelLayer.scale = new NearFarScalar(size * 0.5, 1.0, size * 10, 0.55);
  const occluder = new EllipsoidalOccluder(Ellipsoid.WGS84, Cartesian3.ZERO);
  scene.postRender.addEventListener(() => declutter(scene, state.labels, occluder, state.labelsHidden));
}

function placeLabel(fid, text, lonLat, height, priority) {
  const position = Cartesian3.fromDegrees(lonLat[0], lonLat[1], height + labelLayer.size * 0.002);
  const known = fid === undefined ? undefined : labelLayer.byFid.get(fid);
  if (known) {
    known.label.position = position;
    known.position = position;
    known.priority = priority;
    return;
  }
  const label = labelLayer.collection.add({
    position,
    text,
    font: "600 15px sans-serif",
    fillColor: Color.WHITE,
    outlineColor: Color.fromCssColorString("#1b1b1b"),
    outlineWidth: 3,
    style: LabelStyle.FILL_AND_OUTLINE,
    horizontalOrigin: HorizontalOrigin.CENTER,
    verticalOrigin: VerticalOrigin.BOTTOM,
    scaleByDistance: labelLayer.scale,
    // Drawn over the scene's own solids; the globe's far side is hidden by the declutter pass.
    disableDepthTestDistance: Number.POSITIVE_INFINITY,
    show: false,
  });
  const entry = { label, fid, text, lonLat, height, position, priority };
  state.labels.push(entry);
  if (fid !== undefined) labelLayer.byFid.set(fid, entry);
}

function sortLabels() {
  state.labels.sort((a, b) => b.priority - a.priority);
}

async function loadLabelFile() {
  const response = await fetch(config.labels);
  if (!response.ok) throw new Error(`${config.labels}: HTTP ${response.status}`);
  const collection = await response.json();
  for (const feature of collection.features ?? []) {
    const coordinates = feature.geometry?.coordinates;
    const text = feature.properties?.label;
    if (!Array.isArray(coordinates) || typeof text !== "string" || text === "") continue;
    const fid = featureKey(feature.properties?.layer, feature.properties?.fid);
    const record = state.records?.get(fid);
    if (record) record.anchor = coordinates;
    placeLabel(fid, text, coordinates, coordinates[2] ?? record?.top ?? 0, record?.area ?? 0);
  }
  sortLabels();
}

// Features read after the labels file: their labels rise to their tops; without a labels file
// the scene's own label texts are placed at the features' centres.
function labelsFromRecords(records) {
  for (const [fid, record] of records) {
    const known = labelLayer.byFid.get(fid);
    if (known) {
      record.anchor = known.lonLat;
      if (known.lonLat[2] === undefined) placeLabel(fid, known.text, known.lonLat, record.top, record.area);
    } else if (!config.labels && record.label) {
      placeLabel(fid, record.label, record.anchor, record.top, record.area);
    }
  }
  sortLabels();
}

function rectangleSize(rectangle) {
  const sw = Cartesian3.fromRadians(rectangle.west, rectangle.south);
  const ne = Cartesian3.fromRadians(rectangle.east, rectangle.north);
  return Math.max(Cartesian3.distance(sw, ne), 1000);
}

// The camera looks at the data from the south, tilted so that heights read, from far enough to
// hold its extent (a world-wide layer: the hemisphere around its centre). A single scene is
// looked at around the centre of its features, weighted by their size (so a world layer is seen
// around where most land is); a tileset around where its bounding volume meets the ground.
function frame(loaded) {
  let center;
  let radius;
  if (loaded.rectangle) {
    const sum = new Cartesian3();
    for (const r of state.records.values()) {
      const p = Cartesian3.fromDegrees(r.anchor[0], r.anchor[1]);
      Cartesian3.add(sum, Cartesian3.multiplyByScalar(p, Math.max(r.area, 1e-9), p), sum);
    }
    center = Ellipsoid.WGS84.cartesianToCartographic(sum) ?? Rectangle.center(loaded.rectangle);
    radius = rectangleSize(loaded.rectangle) / 2;
  } else {
    const sphere = loaded.tileset.boundingSphere;
    const ground = Ellipsoid.WGS84.scaleToGeodeticSurface(sphere.center);
    center = ground ? Ellipsoid.WGS84.cartesianToCartographic(ground) : new Cartographic(0, 0, 0);
    radius = sphere.radius;
  }
  radius = Math.min(Math.max(radius, 50), 6.0e6);
  const sphere = new BoundingSphere(Cartesian3.fromRadians(center.longitude, center.latitude, 0), radius);
  const pitch = radius > 2.0e6 ? -Math.PI * 0.34 : -Math.PI * 0.3;
  const options = { duration: 0, offset: new HeadingPitchRange(0, pitch, radius * 2.4) };
  viewer.camera.flyToBoundingSphere(sphere, options);
  viewer.homeButton.viewModel.command.beforeExecute.addEventListener((e) => {
    e.cancel = true;
    viewer.camera.flyToBoundingSphere(sphere, { ...options, duration: 1.5 });
  });
}

// What a click shows: the feature's values from the tile or model metadata when the scene has
// any, otherwise what its node records.
function describe(picked) {
  if (picked instanceof Cesium3DTileFeature || picked instanceof ModelFeature) {
    const values = {};
    for (const id of picked.getPropertyIds()) values[id] = picked.getProperty(id);
    return values;
  }
  const index = picked?.detail?.node?.node?.index;
  if (index === undefined || !state.nodes) return undefined;
  let node = state.nodes[index];
  let nodeIndex = index;
  // A chart belongs to its feature.
  while (node && node.extras?.fid === undefined) {
    nodeIndex = parentOf(state.nodes, nodeIndex);
    node = nodeIndex === undefined ? undefined : state.nodes[nodeIndex];
  }
  if (!node) return undefined;
  return { ...node.extras };
}

function show(values) {
  const panel = document.getElementById("info");
  if (!values) {
    panel.hidden = true;
    return;
  }
  const title = values.label ?? values.name ?? (values.fid !== undefined ? `feature ${values.fid}` : "feature");
  panel.querySelector("h2").textContent = title;
  const body = panel.querySelector("tbody");
  body.replaceChildren();
  for (const [key, value] of Object.entries(values)) {
    // A column the feature has nothing in (no chart texts, a null number) says nothing.
    if (value === undefined || value === null || value === "" || Number.isNaN(value)) continue;
    const row = body.insertRow();
    row.insertCell().textContent = key;
    row.insertCell().textContent = typeof value === "object" ? JSON.stringify(value) : String(value);
  }
  panel.hidden = false;
  state.shown = values;
}

function pickAt(x, y) {
  // Labels are drawn over everything and are picked first: look through them to the feature.
  const picks = scene.drillPick(new Cartesian2(x, y), 4);
  const values = picks.map(describe).find((v) => v !== undefined);
  show(values);
  return values;
}
state.pickAt = pickAt;

// Where a labelled feature's label stands on the screen now (for tests and for the curious).
state.labelWindowPosition = (text) => {
  const entry = state.labels.find((l) => l.text === text);
  if (!entry) return undefined;
  const p = SceneTransforms.worldToWindowCoordinates(scene, entry.position);
  return p ? { x: p.x, y: p.y } : undefined;
};
// Where a labelled feature's body is on the screen: the label's anchor at the feature's top.
state.featureWindowPosition = (text) => {
  const entry = state.labels.find((l) => l.text === text);
  const record = entry && state.records?.get(entry.fid);
  if (!record) return undefined;
  const p = SceneTransforms.worldToWindowCoordinates(
    scene,
    Cartesian3.fromDegrees(record.anchor[0], record.anchor[1], record.top * 0.5),
  );
  return p ? { x: p.x, y: p.y } : undefined;
};

new ScreenSpaceEventHandler(scene.canvas).setInputAction((click) => {
  pickAt(click.position.x, click.position.y);
}, ScreenSpaceEventType.LEFT_CLICK);
document.querySelector("#info button").addEventListener("click", () => show(undefined));

// Ready once the scene, the labels and every tile the view needs are loaded and drawn.
function whenSettled(tileset) {
  return new Promise((resolve) => {
    let quiet = 0;
    const check = () => {
      const loaded = scene.globe.tilesLoaded && (!tileset || (tileset.tilesLoaded && state.pendingTiles === 0));
      quiet = loaded ? quiet + 1 : 0;
      if (quiet >= 3) {
        scene.postRender.removeEventListener(check);
        resolve();
      }
    };
    scene.postRender.addEventListener(check);
  });
}

async function main() {
  document.title = config.title ?? document.title;
  const loaded = config.type === "tileset" ? await loadTileset() : await loadGlb();
  frame(loaded);
  setUpLabels(loaded.rectangle ? rectangleSize(loaded.rectangle) : Math.max(loaded.tileset.boundingSphere.radius * 2, 1000));
  if (config.labels) await loadLabelFile();
  if (state.records.size > 0) labelsFromRecords(state.records);
  await whenSettled(loaded.tileset);
  document.getElementById("status").textContent = "";
  state.ready = true;
  document.body.dataset.ready = "true";
}

main().catch(fail);
