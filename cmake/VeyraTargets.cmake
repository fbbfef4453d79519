# Helpers shared by every folder's CMakeLists.

# veyra_add_test(<name> SOURCES <files...> [LIBS <targets...>] [PARALLEL])
# A GoogleTest program run under Wine, built in both trees: build/x86 proves the shipped bitness, build/x64
# is the fast native loop. ctest discovers its cases and runs them one by one.
# Cases share one lock unless PARALLEL says the program touches no process-wide state (registry keys,
# the fake suite, drives).
function(veyra_add_test name)
  cmake_parse_arguments(ARG "PARALLEL" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} veyra_test_support GTest::gtest_main)
  set(lock_property RESOURCE_LOCK wine_shared_state)
  if(ARG_PARALLEL)
    set(lock_property "")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    PROPERTIES TIMEOUT 120 ${lock_property})
endfunction()

# veyra_add_dll(<name> DEF <file.def> SOURCES <files...> [LIBS <libs...>])
# A DLL whose entry points are exported by their undecorated names through a .def file.
function(veyra_add_dll name)
  cmake_parse_arguments(ARG "" "DEF;OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES} ${ARG_DEF})
  set_target_properties(${name} PROPERTIES PREFIX "")
  if(ARG_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME})
  endif()
  target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()
