# kelvaro_module(NAME DEPS dep...): one static library per folder of src/, made of every
# .cc file in that folder. The DEPS list is the layering: a module links only what it may use,
# and it sees only the headers of those layers. Its include path is a folder of links to its
# own folder and to the folders of the kelvaro_* modules in DEPS, so including a header of a
# layer it may not use fails the build.
function(kelvaro_module name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  set(view ${CMAKE_BINARY_DIR}/layers/${name})
  set(layers ${name})
  foreach(dep ${ARG_DEPS})
    if(dep MATCHES "^kelvaro_(.+)$")
      list(APPEND layers ${CMAKE_MATCH_1})
    endif()
  endforeach()
  file(REMOVE_RECURSE ${view})
  file(MAKE_DIRECTORY ${view})
  foreach(layer ${layers})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${view}/${layer} SYMBOLIC)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cc)
  if(sources)
    add_library(kelvaro_${name} STATIC ${sources})
    target_include_directories(kelvaro_${name} PUBLIC ${view})
    target_link_libraries(kelvaro_${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(kelvaro_${name} INTERFACE)
    target_include_directories(kelvaro_${name} INTERFACE ${view})
    target_link_libraries(kelvaro_${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# kelvaro_test_suite(DIR LABEL LIBS...): every *_test.cc in tests/DIR becomes one GoogleTest
# executable kelvaro_DIR_tests, registered with CTest under LABEL.
function(kelvaro_test_suite dir label)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*_test.cc)
  if(NOT sources)
    return()
  endif()
  set(target kelvaro_${dir}_tests)
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE kelvaro_test_support ${ARGN})
  gtest_discover_tests(${target}
    PROPERTIES LABELS ${label} ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
  # Tests read the staged data; integration and CLI tests also run the command-line program.
  add_dependencies(${target} kelvaro_data)
  if(dir STREQUAL "integration" OR dir STREQUAL "cli")
    add_dependencies(${target} kelvaro)
  endif()
endfunction()
