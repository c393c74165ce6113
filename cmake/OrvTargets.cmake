# Helpers that keep each folder's CMakeLists short.

# orv_library(NAME [DEPS targets...])
# A static library from src/*.cpp with its public headers in include/.
function(orv_library name)
  cmake_parse_arguments(A "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
  add_library(${name} STATIC ${srcs})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                     PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${A_DEPS} PRIVATE ${A_PRIVATE_DEPS})
endfunction()

# orv_gtest(NAME DEPS targets...)
# One test program from every *_test.cpp of the current folder.
function(orv_gtest name)
  cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    message(STATUS "${name}: no test sources yet")
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE ORV_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  orv_test_headers(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# orv_test_headers(TARGET [HEADERS...])
# Compiles GoogleTest's header (and the given ones) once for all of a test program's
# files rather than in each: some seconds a file, a large share of the test build.
function(orv_test_headers name)
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h> ${ARGN})
endfunction()
