include(GoogleTest)

# konfigor_add_test_suite(<name> LABEL <unit|integration|gui|fuzz> [TIMEOUT <s>] [THREADED]
#                         SOURCES <files...> [LIBRARIES <targets...>])
#
# One executable per suite; every test case becomes its own CTest test carrying the
# suite's label, timeout and the offscreen Qt platform, so no test ever needs a display.
# THREADED suites are labelled "<label>-threads" (ctest -L takes a regular expression, so
# -L unit still selects them, and -L threads selects them alone) and are built by the target
# threaded_tests, which the ThreadSanitizer run of scripts/check uses. One label only: test
# discovery hands the properties on as a flat list, which would split a list of labels.
function(konfigor_add_test_suite name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "THREADED" "LABEL;TIMEOUT" "SOURCES;LIBRARIES")
  if(NOT arg_LABEL MATCHES "^(unit|integration|gui|fuzz)$")
    message(FATAL_ERROR "konfigor_add_test_suite(${name}): LABEL must be unit, integration, gui or fuzz")
  endif()
  if(NOT arg_TIMEOUT)
    set(_default_timeouts unit 10 integration 60 gui 60 fuzz 120)
    list(FIND _default_timeouts ${arg_LABEL} _index)
    math(EXPR _index "${_index} + 1")
    list(GET _default_timeouts ${_index} arg_TIMEOUT)
  endif()

  set(_label ${arg_LABEL})
  if(arg_THREADED)
    set(_label ${arg_LABEL}-threads)
    if(NOT TARGET threaded_tests)
      add_custom_target(threaded_tests)
    endif()
    add_dependencies(threaded_tests ${name})
  endif()

  add_executable(${name} ${arg_SOURCES})
  if(arg_LABEL STREQUAL "gui")
    set(_main konfigor_gui_test_main)
  else()
    set(_main GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gmock ${_main} konfigor_warnings)
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_compile_definitions(${name} PRIVATE KONFIGOR_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
                                           KONFIGOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 30
    PROPERTIES
      LABELS ${_label}
      TIMEOUT ${arg_TIMEOUT}
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
