# The reference data tests. The test program runs from its own folder so that a new position
# does not find the built data file beside it; tests that need the real file name its folder.
set_target_properties(${t} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/refdata)
if(TARGET lantrel_refdata)
  add_dependencies(${t} lantrel_refdata)
endif()

# A program linked with the shared library, in a folder of its own: the search must find the
# data file in the library's folder.
if(TARGET lantrel_refdata)
  add_executable(lantrel_refdata_shared_search ${CMAKE_CURRENT_SOURCE_DIR}/refdata/shared/shared_search.cpp)
  target_link_libraries(lantrel_refdata_shared_search PRIVATE lantrel)
  set_target_properties(lantrel_refdata_shared_search PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/refdata/shared)
  add_dependencies(lantrel_refdata_shared_search lantrel_refdata)
  add_test(NAME refdata.SharedLibraryFindsItsDataFile COMMAND lantrel_refdata_shared_search)
  set_tests_properties(refdata.SharedLibraryFindsItsDataFile PROPERTIES LABELS refdata)
endif()
