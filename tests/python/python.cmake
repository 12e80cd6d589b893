# The Python package's tests: pip-install the package into a fresh virtual environment made
# from Debian's interpreter and run pytest against the installed copy. The sanitizer build
# skips them (the package builds its own, uninstrumented library).
set(LANTREL_DEBIAN_PYTHON /usr/bin/python3 CACHE FILEPATH
    "Interpreter whose packages (numpy, pandas, pytest, ...) the Python package tests use")
if(NOT LANTREL_SANITIZE AND EXISTS ${LANTREL_DEBIAN_PYTHON})
  add_test(NAME python_package
           COMMAND ${LANTREL_DEBIAN_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/run_package_tests.py
                   ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/python-package)
  set_tests_properties(python_package PROPERTIES
    LABELS python SKIP_RETURN_CODE 77 TIMEOUT 1200 COST 5000
    ENVIRONMENT "LANTREL_DATA_SOURCES=${LANTREL_DATA_SOURCES};LANTREL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endif()
