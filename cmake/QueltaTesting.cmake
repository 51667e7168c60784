# quelta_add_gtest(<name> SOURCES ... LIBS ... [LABELS ...] [ENV ...])
# Builds one GoogleTest executable and registers its tests with CTest.
# Every test gets the paths of the sample and real-world data folders and a
# private profile folder, so no test reads the user's own settings.
function(quelta_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    QUELTA_REALWORLD_DIR="${QUELTA_REALWORLD_DIR}"
    QUELTA_SAMPLES_DIR="${QUELTA_SAMPLES_DIR}"
    QUELTA_TEST_BINARY_DIR="${CMAKE_CURRENT_BINARY_DIR}")
  set(env
    "XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config"
    "QT_QPA_PLATFORM=offscreen"
    ${ARG_ENV})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${env}" LABELS "${ARG_LABELS}")
endfunction()
