# Build helpers shared by every folder.
#
# glyphwell_library(<target> [QT] [DEPS <libs>...])
#   A static library of every *.cpp in the calling folder except *_test.cpp and
#   main.cpp. Core libraries (no QT keyword) cannot see Qt at all, so a widget
#   include in core fails to compile.
#
# glyphwell_tests(<target> [DEPS <libs>...])
#   One GoogleTest executable of every *_test.cpp in the calling folder,
#   registered test by test with ctest.

add_library(glyphwell_warnings INTERFACE)
target_compile_options(glyphwell_warnings INTERFACE -Wall -Wextra)

function(glyphwell_library target)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  list(FILTER srcs EXCLUDE REGEX "(_test|/main)\\.cpp$")
  if(srcs)
    add_library(${target} STATIC ${srcs})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE glyphwell_warnings)
    if(ARG_QT)
      target_link_libraries(${target} PUBLIC Qt6::Widgets)
      set_target_properties(${target} PROPERTIES AUTOMOC ON)
    endif()
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

function(glyphwell_tests target)
  if(NOT GLYPHWELL_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp")
  if(NOT srcs)
    return()
  endif()
  add_executable(${target} ${srcs})
  if("Qt6::Test" IN_LIST ARG_DEPS)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
  endif()
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} glyphwell_testsupport GTest::gtest_main
                                          GTest::gmock glyphwell_warnings)
  target_compile_definitions(${target} PRIVATE
    GLYPHWELL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    GLYPHWELL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;GLYPHWELL_BIN_DIR=${PROJECT_BINARY_DIR}/bin")
endfunction()
