# velmorath_test(<name> LABEL unit|integration|ui SOURCES ... LIBS ...)
# One GoogleTest executable; its cases are registered with CTest under LABEL.
# Unattended runs: wx logs go to stderr, audio uses the dummy driver and HOME
# is a folder of the build tree so no test writes into the user's settings.
function(velmorath_test name)
  cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_LABEL)
    set(T_LABEL unit)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE "${CMAKE_SOURCE_DIR}" "${CMAKE_SOURCE_DIR}/tests")
  set(_home "${CMAKE_BINARY_DIR}/test-home")
  file(MAKE_DIRECTORY "${_home}")
  # The variables go through "cmake -E env" in front of each test: test
  # discovery flattens a list-valued ENVIRONMENT property and would keep only
  # its first variable.
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
    "${CMAKE_COMMAND}" -E env
    "HOME=${_home}" "XDG_CONFIG_HOME=${_home}/.config" SDL_AUDIODRIVER=dummy VELMORATH_LOG_STDERR=1
    "VELMORATH_SOURCE_DIR=${CMAKE_SOURCE_DIR}" "VELMORATH_STAGE_DIR=${VELMORATH_STAGE_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      LABELS ${T_LABEL}
      TIMEOUT ${T_TIMEOUT})
endfunction()

# velmorath_ui_test(<name> COMMAND ...): a test that needs a display; it runs
# under xvfb-run so it works on a machine without one.
function(velmorath_ui_test name)
  cmake_parse_arguments(T "" "TIMEOUT;SCREEN" "COMMAND" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  find_program(XVFB_RUN xvfb-run REQUIRED)
  if(T_SCREEN)
    # SCREEN WxHxDEPTH: the virtual display's size and depth.
    add_test(NAME ${name} COMMAND ${XVFB_RUN} -a -s "-screen 0 ${T_SCREEN}" ${T_COMMAND})
  else()
    add_test(NAME ${name} COMMAND ${XVFB_RUN} -a ${T_COMMAND})
  endif()
  set(_home "${CMAKE_BINARY_DIR}/test-home")
  file(MAKE_DIRECTORY "${_home}")
  # xvfb-run -a picks a free display by looking for lock files; two starting
  # at once can pick the same one, so the display tests take turns.
  set_tests_properties(${name} PROPERTIES
    LABELS ui
    RESOURCE_LOCK virtual_display
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "HOME=${_home};XDG_CONFIG_HOME=${_home}/.config;SDL_AUDIODRIVER=dummy;VELMORATH_LOG_STDERR=1;VELMORATH_EXIT_AFTER_IDLE=1")
endfunction()
