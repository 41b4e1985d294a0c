# zep_add_library(NAME <target> DIR <src dir> [FLAT] DEPS <libs...>)
# One static library from every .cpp/.h under DIR (recursively; with FLAT
# only those directly in DIR, its subfolders being libraries of their own).
function(zep_add_library)
  cmake_parse_arguments(A "FLAT" "NAME;DIR" "DEPS;TEST_DEPS" ${ARGN})
  if(A_FLAT)
    file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*.cpp ${A_DIR}/*.h)
  else()
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${A_DIR}/*.cpp ${A_DIR}/*.h)
  endif()
  add_library(${A_NAME} STATIC ${srcs})
  target_include_directories(${A_NAME} PUBLIC ${A_DIR})
  target_link_libraries(${A_NAME} PUBLIC ${A_DEPS})
endfunction()

# zep_add_tests(NAME <target> DIR <tests dir> DEPS <libs...>)
function(zep_add_tests)
  cmake_parse_arguments(A "" "NAME;DIR" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${A_DIR}/*.cpp ${A_DIR}/*.h)
  if(NOT srcs)
    return()
  endif()
  add_executable(${A_NAME} ${srcs})
  set_target_properties(${A_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${A_NAME} PRIVATE ${A_DIR})
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS} zep_test_main GTest::gtest GTest::gmock Qt6::Test)
  gtest_discover_tests(${A_NAME}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZEP_SOURCE_DIR=${CMAKE_SOURCE_DIR};ZEP_BUILD_DIR=${CMAKE_BINARY_DIR}"
    DISCOVERY_TIMEOUT 60)
endfunction()
