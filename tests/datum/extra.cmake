# The committed grid source must be what tools/gen_nadcon_grid.py writes from the shared node
# table; the check is skipped (exit 77) when the table is not there.
find_package(Python3 COMPONENTS Interpreter QUIET)
if(Python3_Interpreter_FOUND)
  add_test(NAME datum.GridSourceUpToDate
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/gen_nadcon_grid.py --check
                   ${LANTREL_DATA_SOURCES}/nadcon/nadcon-window.csv ${CMAKE_SOURCE_DIR}/src/datum)
  set_tests_properties(datum.GridSourceUpToDate PROPERTIES SKIP_RETURN_CODE 77 LABELS datum)
endif()
