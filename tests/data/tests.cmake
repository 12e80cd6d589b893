# The source data in data/: checksums, the NADCON window against NOAA's grid, and no tracked file
# reading source data from outside the repository.
find_package(Python3 COMPONENTS Interpreter QUIET)
if(Python3_Interpreter_FOUND)
  add_test(NAME data.Sources COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/check_sources.py
                                     ${PROJECT_SOURCE_DIR})
  set_tests_properties(data.Sources PROPERTIES LABELS data)
endif()
