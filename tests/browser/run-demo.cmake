# Makes the demo scene, then runs the browser test on its folder.
file(REMOVE_RECURSE ${SCENE})
execute_process(COMMAND ${THEME3D} demo -o ${SCENE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "theme3d demo failed: ${rc}")
endif()
set(ENV{CHROMIUM} ${CHROMIUM})
execute_process(COMMAND ${NODE} ${SCRIPT} --theme3d ${THEME3D} --scene ${SCENE} --expect ${EXPECT}
  --screenshot ${SCREENSHOT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the browser test failed")
endif()
