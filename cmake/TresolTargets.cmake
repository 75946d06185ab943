# Helpers that keep every folder of the core a library of its own, with its tests beside it.

function(tresol_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(TRESOL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

set(TRESOL_MODULES "" CACHE INTERNAL "")

# tresol_module(name [DEPENDS other ...]): src/<name>/*.cpp as the static library tresol_<name>.
# A folder without sources yet is skipped, and so are the dependencies that do not exist yet.
function(tresol_module name)
  cmake_parse_arguments(M "" "" "DEPENDS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${name}/*.cpp")
  if(NOT srcs)
    return()
  endif()
  add_library(tresol_${name} STATIC ${srcs})
  target_include_directories(tresol_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  foreach(dep IN LISTS M_DEPENDS)
    if(TARGET tresol_${dep})
      target_link_libraries(tresol_${name} PUBLIC tresol_${dep})
    endif()
  endforeach()
  tresol_warnings(tresol_${name})
  set(TRESOL_MODULES ${TRESOL_MODULES} ${name} CACHE INTERNAL "")
endfunction()

# tests/<name>/*.cpp as the GoogleTest program tests_<name>, registered with CTest.
function(tresol_module_tests name)
  file(GLOB srcs CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp")
  if(NOT srcs)
    return()
  endif()
  add_executable(tests_${name} ${srcs})
  target_include_directories(tests_${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  target_link_libraries(tests_${name} PRIVATE tresol_${name} GTest::gtest GTest::gmock GTest::gtest_main)
  tresol_warnings(tests_${name})
  gtest_discover_tests(tests_${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES ENVIRONMENT "TRESOL_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
