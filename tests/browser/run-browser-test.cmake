# Makes a scene (KIND demo: `theme3d demo`; KIND handmade-tileset: make-tileset.mjs), then runs
# the browser test on its folder.
file(REMOVE_RECURSE ${SCENE})
if(KIND STREQUAL "demo")
  execute_process(COMMAND ${THEME3D} demo -o ${SCENE} RESULT_VARIABLE rc)
else()
  execute_process(COMMAND ${NODE} ${SOURCE_DIR}/make-tileset.mjs ${SCENE} RESULT_VARIABLE rc)
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "making the ${KIND} scene failed: ${rc}")
endif()
set(ENV{CHROMIUM} ${CHROMIUM})
execute_process(COMMAND ${NODE} ${SOURCE_DIR}/viewer-test.mjs --theme3d ${THEME3D} --scene ${SCENE}
  --expect ${SOURCE_DIR}/${KIND}-expect.json --screenshot ${SCENE}.png RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the browser test failed")
endif()
