# One function per repeated target pattern, so every library and test is built the same way.
include(GenerateExportHeader)

function(vy_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(VY_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# vy_host_library(NAME SOURCES ... DEPENDS ...)
# A stand-in for one host library: headers from host/NAME, sources from standin/NAME,
# an export header NAME_export.h, and the alias Vy::NAME.
function(vy_host_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  add_library(Vy::${name} ALIAS ${name})
  string(TOUPPER ${name} upper)
  generate_export_header(${name}
    BASE_NAME ${upper}
    EXPORT_FILE_NAME ${PROJECT_BINARY_DIR}/include/${name}/${name}_export.h)
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/host>
    $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/vyhost>)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
  set_target_properties(${name} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  if(WIN32)
    set_target_properties(${name} PROPERTIES PREFIX "") # VyBase600.dll, as the host's own DLLs
  endif()
  vy_warnings(${name})
endfunction()

# vy_register_gtest(TARGET LABEL): a GoogleTest program's tests in CTest, one CTest test each. A
# cross build runs each program once as a whole instead: under an emulator (wine) every start
# costs far more than the tests themselves.
function(vy_register_gtest target label)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES LABELS ${label} TIMEOUT 600)
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${label})
  endif()
endfunction()

# vy_test(NAME SOURCES ... DEPENDS ...): one GoogleTest executable registered with CTest.
function(vy_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE VY_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
  vy_warnings(${name})
  vy_register_gtest(${name} ${name})
endfunction()

# vy_fuzz_target(NAME SOURCES ... DEPENDS ...), called from fuzz/: the program fuzz_NAME, its seeds
# in seeds/NAME and its minimised corpus in corpus/NAME. With VY_FUZZ a libFuzzer program;
# otherwise a replay program that CTest runs over the seeds and the corpus.
function(vy_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  set(target fuzz_${name})
  add_executable(${target} ${ARG_SOURCES})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${ARG_DEPENDS})
  if(VY_FUZZ)
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/FuzzReplayMain.cpp)
  endif()
  vy_warnings(${target})
  add_dependencies(fuzzers ${target})
  if(VY_BUILD_TESTS)
    add_test(NAME fuzz_replay_${name}
      COMMAND ${target} -runs=0 ${CMAKE_CURRENT_SOURCE_DIR}/seeds/${name}
              ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
    set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS fuzz TIMEOUT 600)
  endif()
endfunction()
