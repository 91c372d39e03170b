# Makes a scene, then runs the browser test on it. KIND demo: `theme3d demo` (one .glb); tileset:
# the demo's themes on the countries layer as a 3D Tiles tileset of a few tiles (no labels file:
# the labels come from the tile metadata); nodes: the same as one .glb with a node per feature
# (no property table: a click shows the node's extras), viewed by its file name;
# layers: the countries outside Africa and those in it as two layers of one .gltf, so that the
# picked Egypt is a row of the second layer in the shared table; handmade-tileset:
# make-tileset.mjs.
file(REMOVE_RECURSE ${SCENE} ${SCENE}-themes)
set(legend)
if(KIND STREQUAL "demo")
  execute_process(COMMAND ${THEME3D} demo -o ${SCENE} RESULT_VARIABLE rc)
elseif(KIND STREQUAL "tileset")
  execute_process(COMMAND ${THEME3D} demo -o ${SCENE}-themes RESULT_VARIABLE rc)
  if(rc EQUAL 0)
    execute_process(COMMAND ${THEME3D} render ${DATA}/ne_110m_countries.gpkg
      --theme ${SCENE}-themes/range.xml --theme ${SCENE}-themes/graph.xml
      --theme ${SCENE}-themes/label.xml -o ${SCENE}/ --tile-size 40
      --legend ${SCENE}-themes/tileset-legend.svg RESULT_VARIABLE rc)
    set(legend --legend ${SCENE}-themes/tileset-legend.svg)
  endif()
elseif(KIND STREQUAL "nodes")
  execute_process(COMMAND ${THEME3D} demo -o ${SCENE} RESULT_VARIABLE rc)
  if(rc EQUAL 0)
    execute_process(COMMAND ${THEME3D} render ${DATA}/ne_110m_countries.gpkg
      --theme ${SCENE}/range.xml --theme ${SCENE}/graph.xml --theme ${SCENE}/label.xml
      -o ${SCENE}/world.glb --legend ${SCENE}/world.legend.svg --nodes --ground
      RESULT_VARIABLE rc)
  endif()
  set(view_scene ${SCENE}/world.glb)
elseif(KIND STREQUAL "layers")
  file(MAKE_DIRECTORY ${SCENE})
  execute_process(COMMAND ${THEME3D} demo -o ${SCENE}-themes RESULT_VARIABLE rc)
  if(rc EQUAL 0)
    execute_process(COMMAND ${THEME3D} render
      ${DATA}/ne_110m_countries.gpkg --where "continent <> 'Africa'"
      --theme ${SCENE}-themes/range.xml --theme ${SCENE}-themes/graph.xml
      --theme ${SCENE}-themes/label.xml
      ${DATA}/ne_110m_countries.gpkg --where "continent = 'Africa'"
      --theme ${SCENE}-themes/range.xml --theme ${SCENE}-themes/label.xml
      -o ${SCENE}/world.gltf --legend ${SCENE}/world.legend.svg RESULT_VARIABLE rc)
  endif()
  set(view_scene ${SCENE}/world.gltf)
else()
  execute_process(COMMAND ${NODE} ${SOURCE_DIR}/make-tileset.mjs ${SCENE} RESULT_VARIABLE rc)
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "making the ${KIND} scene failed: ${rc}")
endif()
if(NOT view_scene)
  set(view_scene ${SCENE})
endif()
set(ENV{CHROMIUM} ${CHROMIUM})
execute_process(COMMAND ${NODE} ${SOURCE_DIR}/viewer-test.mjs --theme3d ${THEME3D} --scene ${view_scene}
  --expect ${SOURCE_DIR}/${KIND}-expect.json --screenshot ${SCENE}.png ${legend} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the browser test failed")
endif()
