# Ninja's code-generator step does not notice a file that a re-run glob added;
# dropping its stamp when the source list changes makes it run again.
function(quadrovia_refresh_autogen name srcs)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_sources.txt)
  set(old_list "")
  if(EXISTS ${list_file})
    file(READ ${list_file} old_list)
  endif()
  if(NOT old_list STREQUAL "${srcs}")
    file(WRITE ${list_file} "${srcs}")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/timestamp)
  endif()
endfunction()

# One static library per layer. Sources are collected by glob so that adding a
# class is adding its .h/.cpp pair; subfolders listed in EXCLUDE build separately.
function(quadrovia_layer name)
  cmake_parse_arguments(L "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
    ${CMAKE_CURRENT_SOURCE_DIR}/*.ui ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  foreach(ex IN LISTS L_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${ex}/")
  endforeach()
  list(FILTER srcs INCLUDE REGEX "\\.(cpp|h|ui|qrc)$")
  set(has_code ${srcs})
  list(FILTER has_code INCLUDE REGEX "\\.cpp$")
  if(NOT has_code)
    # A layer not yet written: an interface target keeps its users linking.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${L_DEPS})
    return()
  endif()
  add_library(${name} STATIC ${srcs})
  # Generated form headers are public so tests can reach a form's controls.
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/include)
  target_link_libraries(${name} PUBLIC ${L_DEPS})
  set_target_properties(${name} PROPERTIES AUTOMOC ON AUTOUIC ON AUTORCC ON
    AUTOUIC_SEARCH_PATHS ${CMAKE_CURRENT_SOURCE_DIR}/forms)
  quadrovia_refresh_autogen(${name} "${srcs}")
  target_compile_options(${name} PRIVATE -Wall -Wextra)
endfunction()

# One GoogleTest executable per tested layer, from every .cpp in the folder.
# Tests run on Qt's offscreen platform and see the synthetic camera plugin.
function(quadrovia_tests name)
  cmake_parse_arguments(T "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${T_DEPS} test_support GTest::gtest GTest::gmock)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  quadrovia_refresh_autogen(${name} "${srcs}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    TEST_LIST ${name}_TESTS PROPERTIES TIMEOUT 120)
  # A list-valued ENVIRONMENT does not survive gtest_discover_tests: set it from
  # a script that runs after the discovered tests are defined.
  set(env_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_env.cmake)
  file(WRITE ${env_script} "set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT \"QT_QPA_PLATFORM=offscreen;GST_PLUGIN_PATH=${QUADROVIA_PLUGIN_DIR};GST_REGISTRY=${PROJECT_BINARY_DIR}/gst-registry.bin\")\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${env_script})
endfunction()
