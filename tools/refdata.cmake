# The reference data file lantrel.bin, built from the public-domain boundary and quadrangle
# sources under LANTREL_DATA_SOURCES. It lands in the output folder of the library and programs
# (where the library looks first) and is installed to <datadir>/lantrel. Without the sources
# or Python the build goes on without the file, and location lookups report error 1010.
find_package(Python3 COMPONENTS Interpreter QUIET)

set(LANTREL_REFDATA_STATES ${LANTREL_DATA_SOURCES}/boundaries/states-from-counties-500k.geojson)
set(LANTREL_REFDATA_COUNTIES ${LANTREL_DATA_SOURCES}/boundaries/ky-counties-500k.geojson)
set(LANTREL_REFDATA_QUADS ${LANTREL_DATA_SOURCES}/quads/quads.csv)
set(LANTREL_REFDATA_FILE ${LANTREL_OUTPUT_DIR}/lantrel.bin)

if(Python3_Interpreter_FOUND AND EXISTS ${LANTREL_REFDATA_STATES}
   AND EXISTS ${LANTREL_REFDATA_COUNTIES} AND EXISTS ${LANTREL_REFDATA_QUADS})
  add_custom_command(
    OUTPUT ${LANTREL_REFDATA_FILE}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/build_refdata.py
            --states ${LANTREL_REFDATA_STATES}
            --counties ${LANTREL_REFDATA_COUNTIES}
            --quads ${LANTREL_REFDATA_QUADS}
            --output ${LANTREL_REFDATA_FILE}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/build_refdata.py ${LANTREL_REFDATA_STATES}
            ${LANTREL_REFDATA_COUNTIES} ${LANTREL_REFDATA_QUADS}
    COMMENT "Building the reference data file lantrel.bin"
    VERBATIM)
  add_custom_target(lantrel_refdata ALL DEPENDS ${LANTREL_REFDATA_FILE})
  # Where the file is made, for projects that embed lantrel and copy it next to their programs.
  set_target_properties(lantrel_refdata PROPERTIES LANTREL_DATA_FILE ${LANTREL_REFDATA_FILE})
  install(FILES ${LANTREL_REFDATA_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/lantrel COMPONENT data)
else()
  message(STATUS "lantrel.bin will not be built: Python 3 or the sources under "
                 "${LANTREL_DATA_SOURCES} are missing (see docs/refdata.md)")
endif()
