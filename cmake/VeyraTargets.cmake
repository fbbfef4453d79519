# Helpers shared by every folder's CMakeLists.

# veyra_add_test(<name> SOURCES <files...> [LIBS <targets...>] [PARALLEL] [WOW64])
# A GoogleTest program run under Wine. In the 64-bit build every test program is built and ctest
# discovers and runs its cases one by one. In the 32-bit build only programs marked WOW64 are built:
# they prove what only a 32-bit process on a 64-bit system shows (registry views, the x86 code patcher,
# the shipped programs end to end), and each runs as one ctest test because every 32-bit process start
# costs about a minute on machines that emulate 32-bit code (see docs/platform.md).
# WOW64_ALONE names cases that the 32-bit run starts in processes of their own: under qemu a 32-bit
# Wine process that suspends threads or starts several of them now and then dies of an emulator signal
# or hangs (docs/platform.md); every case passes alone.
# Cases share one lock unless PARALLEL says the program touches no process-wide state (registry keys,
# the fake suite, drives).
function(veyra_add_test name)
  cmake_parse_arguments(ARG "PARALLEL;WOW64" "" "SOURCES;LIBS;WOW64_ALONE" ${ARGN})
  if(VEYRA_32BIT AND NOT ARG_WOW64)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} veyra_test_support GTest::gtest_main)
  set(lock_property RESOURCE_LOCK wine_shared_state)
  if(ARG_PARALLEL)
    set(lock_property "")
  endif()
  if(VEYRA_32BIT)
    set(rest_filter "")
    foreach(alone IN LISTS ARG_WOW64_ALONE)
      add_test(NAME ${name}.${alone} COMMAND ${name} --gtest_filter=${alone}
               WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
      set_tests_properties(${name}.${alone} PROPERTIES TIMEOUT 400 LABELS wow64 ${lock_property})
      string(APPEND rest_filter ":${alone}")
    endforeach()
    set(rest_arguments "")
    if(rest_filter)
      set(rest_arguments "--gtest_filter=-${rest_filter}")
      string(REPLACE "=-:" "=-" rest_arguments "${rest_arguments}")
    endif()
    add_test(NAME ${name} COMMAND ${name} ${rest_arguments} WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
    set_tests_properties(${name} PROPERTIES TIMEOUT 400 LABELS wow64 ${lock_property})
  else()
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
      PROPERTIES TIMEOUT 120 ${lock_property})
  endif()
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
