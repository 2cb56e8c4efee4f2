# Shared CMake helpers of the project.

# kvx_add_gtest(name sources... LIBS libs...)
# Builds a GoogleTest program and registers its tests with CTest.
function(kvx_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
    PROPERTIES ENVIRONMENT "KVX_BUILD_DIR=${CMAKE_BINARY_DIR}\\;KVX_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# kvx_ship_data(DEST subdir FILES files... PROGRAMS scripts...)
# Copies shipped data into the build tree (build/util, build/rules, ...) and
# installs it at the same place below the prefix; PROGRAMS are scripts,
# copied and installed executable.
function(kvx_ship_data)
  cmake_parse_arguments(S "" "DEST" "FILES;PROGRAMS" ${ARGN})
  foreach(f ${S_FILES})
    get_filename_component(rel ${f} DIRECTORY)
    configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${f} ${CMAKE_BINARY_DIR}/${S_DEST}/${f} COPYONLY)
    install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/${f} DESTINATION ${S_DEST}/${rel})
  endforeach()
  foreach(f ${S_PROGRAMS})
    get_filename_component(rel ${f} DIRECTORY)
    configure_file(${CMAKE_CURRENT_SOURCE_DIR}/${f} ${CMAKE_BINARY_DIR}/${S_DEST}/${f} COPYONLY
      FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                       WORLD_READ WORLD_EXECUTE)
    install(PROGRAMS ${CMAKE_CURRENT_SOURCE_DIR}/${f} DESTINATION ${S_DEST}/${rel})
  endforeach()
endfunction()
