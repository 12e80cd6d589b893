# The QGIS plugin's tests: a headless QGIS over the pip-installed lantrel package, made the way
# the Python package tests make it (and over the same library build, hence the lock). Skipped,
# naming the Debian packages, without QGIS.
if(NOT LANTREL_SANITIZE AND EXISTS ${LANTREL_DEBIAN_PYTHON})
  add_test(NAME qgis_plugin
           COMMAND ${LANTREL_DEBIAN_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/run_qgis_tests.py
                   ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/python-package)
  set_tests_properties(qgis_plugin PROPERTIES
    LABELS "python;qgis" SKIP_RETURN_CODE 77 TIMEOUT 1200 COST 4000
    RESOURCE_LOCK python-package
    ENVIRONMENT "LANTREL_DATA_SOURCES=${LANTREL_DATA_SOURCES};LANTREL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  if(TEST python_package)
    set_tests_properties(python_package PROPERTIES RESOURCE_LOCK python-package)
  endif()
endif()

# The Debian packages python3-lantrel and qgis-plugin-lantrel, extracted into an empty root
# with the library and data packages, and the plugin loaded from there.
if(NOT LANTREL_SANITIZE AND NOT LANTREL_SANITIZE_THREAD AND EXISTS ${LANTREL_DEBIAN_PYTHON})
  add_test(NAME install.QgisPluginPackages
           COMMAND ${LANTREL_DEBIAN_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/check_debian_plugin.py
                   ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/qgis-package-tests)
  set_tests_properties(install.QgisPluginPackages PROPERTIES
    LABELS "install;qgis" SKIP_RETURN_CODE 77 TIMEOUT 900 RESOURCE_LOCK cpack)
  if(TEST install.DebianPackages)
    set_tests_properties(install.DebianPackages PROPERTIES RESOURCE_LOCK cpack)
  endif()
endif()
