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
  # The environment is applied through env(1) as the test launcher: a list
  # handed to gtest_discover_tests as an ENVIRONMENT property is split apart
  # on its way into the generated test file, and only its first entry would
  # reach the tests.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "env;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-config;QT_QPA_PLATFORM=offscreen;${ARG_ENV}")
  set(props)
  if(ARG_LABELS)
    set(props PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    ${props})
endfunction()
