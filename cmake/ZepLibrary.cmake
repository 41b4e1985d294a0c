# zep_add_library(NAME <core target> DIR <src dir> [FLAT] DEPS <libs...> [PRINT_DEPS <libs...>]
#                 [UI_DEPS <libs...>])
#
# Up to three static libraries from the .cpp/.h files under DIR
# (recursively; with FLAT only those directly in DIR, DIR/print and DIR/ui,
# its other subfolders being libraries of their own):
#   <NAME>     every file outside a folder named "ui": rules, data and SQL.
#              It links DEPS, which name no widgets library: Qt Core and
#              Xml, and the Firebird client library, at most.
#   <NAME>_print  every file inside a folder named "print": the prints'
#              layouts and their rendering to PDF and to a printer's page
#              (QTextDocument, QPainter, QPdfWriter). It links the core
#              library, PRINT_DEPS and Qt Gui, and no widgets library, so
#              that prints are tested without a display. Made when there are
#              such files or PRINT_DEPS are given.
#   <NAME>_ui  every file inside a folder named "ui": windows. It links the
#              core library, the print side when there is one, UI_DEPS and
#              Qt Widgets. It is made when there are such files or UI_DEPS
#              are given (a library with a widgets side to come).
# A side without files is an interface library, so that what links it needs
# no guard, and units added there later are picked up.
function(zep_add_library)
  cmake_parse_arguments(A "FLAT" "NAME;DIR" "DEPS;PRINT_DEPS;UI_DEPS" ${ARGN})
  if(A_FLAT)
    file(GLOB all CONFIGURE_DEPENDS ${A_DIR}/*.cpp ${A_DIR}/*.h ${A_DIR}/ui/*.cpp ${A_DIR}/ui/*.h
      ${A_DIR}/print/*.cpp ${A_DIR}/print/*.h)
  else()
    file(GLOB_RECURSE all CONFIGURE_DEPENDS ${A_DIR}/*.cpp ${A_DIR}/*.h)
  endif()
  set(core_srcs)
  set(print_srcs)
  set(ui_srcs)
  set(print_dirs ${A_DIR}/print)
  set(ui_dirs ${A_DIR}/ui)
  foreach(src ${all})
    file(RELATIVE_PATH rel ${A_DIR} ${src})
    get_filename_component(dir ${src} DIRECTORY)
    if(rel MATCHES "(^|/)ui/")
      list(APPEND ui_srcs ${src})
      list(APPEND ui_dirs ${dir})
    elseif(rel MATCHES "(^|/)print/")
      list(APPEND print_srcs ${src})
      list(APPEND print_dirs ${dir})
    else()
      list(APPEND core_srcs ${src})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES ui_dirs)
  list(REMOVE_DUPLICATES print_dirs)

  _zep_library(${A_NAME} "${core_srcs}" "${A_DIR}" "${A_DEPS}")
  set(ui_links ${A_NAME})
  if(print_srcs OR A_PRINT_DEPS)
    _zep_library(${A_NAME}_print "${print_srcs}" "${print_dirs}" "${A_NAME};${A_PRINT_DEPS};Qt6::Gui")
    list(APPEND ui_links ${A_NAME}_print)
  endif()
  if(ui_srcs OR A_UI_DEPS)
    _zep_library(${A_NAME}_ui "${ui_srcs}" "${ui_dirs}" "${ui_links};${A_UI_DEPS};Qt6::Widgets")
  endif()
endfunction()

# One library of the pair: static over its files, or an interface library
# when it has none.
function(_zep_library name srcs dirs deps)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${dirs})
    target_link_libraries(${name} PUBLIC ${deps})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${dirs})
    target_link_libraries(${name} INTERFACE ${deps})
  endif()
endfunction()

# zep_add_tests(NAME <target> DIR <tests dir> [UI] DEPS <libs...>)
#
# One GoogleTest program from the files under DIR, registered with CTest.
# A core test program (the library's tests/unit) runs on a QCoreApplication
# and links no widgets library. With UI (the library's tests/ui) it runs on a
# QApplication on the offscreen platform, and also sees the headers and
# compiles the *Support.cpp files of the sibling tests/unit folder, which
# both programs share.
function(zep_add_tests)
  cmake_parse_arguments(A "UI" "NAME;DIR" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${A_DIR}/*.cpp ${A_DIR}/*.h)
  set(dirs ${A_DIR})
  set(main zep_test_main)
  if(A_UI)
    get_filename_component(unit ${A_DIR}/../unit ABSOLUTE)
    file(GLOB support CONFIGURE_DEPENDS ${unit}/*Support.cpp ${unit}/*Support.h)
    list(APPEND srcs ${support})
    list(APPEND dirs ${unit})
    set(main zep_test_main_ui)
  endif()
  add_executable(${A_NAME} ${srcs})
  set_target_properties(${A_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_include_directories(${A_NAME} PRIVATE ${dirs})
  target_link_libraries(${A_NAME} PRIVATE ${A_DEPS} ${main} GTest::gtest GTest::gmock Qt6::Test)
  # A parameterised case's ctest name is its GoogleTest name (the names its
  # generator gives, CaseName.h), without the printed value after it.
  gtest_discover_tests(${A_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
endfunction()

# zep_add_fuzzers(DIR <fuzz dir> DEPS <libs...>)
#
# With ZEP_FUZZ, one libFuzzer program per .cpp file in DIR, named
# fuzz_<file> in build/fuzz/. Run by hand, e.g.
#   build-fuzz/fuzz/fuzz_DataSetFileFuzzer -max_total_time=300 corpus/
function(zep_add_fuzzers)
  cmake_parse_arguments(A "" "DIR" "DEPS" ${ARGN})
  if(NOT ZEP_FUZZ)
    return()
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*.cpp)
  foreach(src ${srcs})
    get_filename_component(name ${src} NAME_WE)
    add_executable(fuzz_${name} ${src})
    target_link_libraries(fuzz_${name} PRIVATE ${A_DEPS})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endforeach()
endfunction()
