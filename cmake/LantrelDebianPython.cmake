# Two more Debian packages, for Debian's /usr/bin/python3 and the QGIS it runs:
#   python3-lantrel       the lantrel Python package, over liblantrel4's library and
#                         lantrel-data's data file (its liblantrel.so is a relative link to the
#                         packaged library, which finds the packaged data file itself)
#   qgis-plugin-lantrel   the QGIS plugin, in QGIS's system plugin folder
# Included by cmake/LantrelDebian.cmake before CPack.
set(LANTREL_PYTHON_DIR lib/python3/dist-packages CACHE STRING
    "Where python3-lantrel installs the lantrel package, relative to the prefix")
set(LANTREL_QGIS_PLUGIN_DIR ${CMAKE_INSTALL_DATADIR}/qgis/python/plugins CACHE STRING
    "Where qgis-plugin-lantrel installs the plugin, relative to the prefix")

install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/lantrel DESTINATION ${LANTREL_PYTHON_DIR}
        COMPONENT python FILES_MATCHING PATTERN "*.py" PATTERN "py.typed"
        PATTERN "__pycache__" EXCLUDE)
file(RELATIVE_PATH _lantrel_python_to_library /prefix/${LANTREL_PYTHON_DIR}/lantrel
     /prefix/${CMAKE_INSTALL_LIBDIR}/liblantrel.so.${LANTREL_ABI_VERSION})
set(_lantrel_python_link ${PROJECT_BINARY_DIR}/generated/python-link/liblantrel.so)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/generated/python-link)
file(CREATE_LINK ${_lantrel_python_to_library} ${_lantrel_python_link} SYMBOLIC)
install(FILES ${_lantrel_python_link} DESTINATION ${LANTREL_PYTHON_DIR}/lantrel COMPONENT python)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/qgis/lantrel_qgis DESTINATION ${LANTREL_QGIS_PLUGIN_DIR}
        COMPONENT qgis FILES_MATCHING PATTERN "*.py" PATTERN "metadata.txt" PATTERN "*.svg"
        PATTERN "__pycache__" EXCLUDE)

list(APPEND CPACK_COMPONENTS_ALL python qgis)
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-lantrel)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "python3 (>= 3.9), python3-numpy, ${CPACK_DEBIAN_RUNTIME_PACKAGE_NAME} (= ${_lantrel_deb_version})")
set(CPACK_DEBIAN_PYTHON_PACKAGE_RECOMMENDS "python3-pandas")
if(TARGET lantrel_refdata)
  string(APPEND CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS ", lantrel-data (= ${_lantrel_deb_version})")
endif()
set(CPACK_DEBIAN_PYTHON_DESCRIPTION
    "lantrel coordinate library (Python 3)\n The lantrel package for Debian's python3: arrays of points converted between\n Kentucky's systems, state/county/quadrangle lookup, Carter locations, pandas\n and GeoPandas helpers, over the packaged shared library and data file.")

set(CPACK_DEBIAN_QGIS_PACKAGE_NAME qgis-plugin-lantrel)
set(CPACK_DEBIAN_QGIS_PACKAGE_SECTION science)
set(CPACK_DEBIAN_QGIS_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_QGIS_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_QGIS_PACKAGE_DEPENDS
    "python3-lantrel (= ${_lantrel_deb_version}), python3-pandas, python3-qgis (>= 3.22)")
set(CPACK_DEBIAN_QGIS_PACKAGE_ENHANCES "qgis")
set(CPACK_DEBIAN_QGIS_DESCRIPTION
    "lantrel plugin for QGIS\n Processing algorithms (convert, location fields, Carter and text coordinates\n to points, Carter grid and quadrangles), lantrel_* expression functions and\n map tools for Kentucky's coordinate systems.")

# The plugin as a zip for QGIS's plugin manager ("Install from ZIP"), for a QGIS whose Python
# already has the lantrel package (pip-installed into it).
file(GLOB_RECURSE _lantrel_plugin_files CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/qgis
     ${PROJECT_SOURCE_DIR}/qgis/lantrel_qgis/*.py ${PROJECT_SOURCE_DIR}/qgis/lantrel_qgis/*.txt
     ${PROJECT_SOURCE_DIR}/qgis/lantrel_qgis/*.svg)
add_custom_target(qgis_plugin_zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/qgis-plugin
  COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_SOURCE_DIR}/qgis
          ${CMAKE_COMMAND} -E tar cf ${PROJECT_BINARY_DIR}/qgis-plugin/lantrel_qgis.zip
          --format=zip ${_lantrel_plugin_files}
  COMMENT "Zipping the QGIS plugin: qgis-plugin/lantrel_qgis.zip" VERBATIM)
