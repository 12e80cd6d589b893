# API reference: Doxygen HTML of include/lantrel/ in <build>/docs/html (target lantrel_docs).
# Any Doxygen warning (an undocumented public member, a broken reference) fails it; the test
# docs.Reference runs it with every `make test`.
find_program(LANTREL_DOXYGEN doxygen)
set(LANTREL_DOCS_OUTPUT ${PROJECT_BINARY_DIR}/docs)
configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${PROJECT_BINARY_DIR}/generated/Doxyfile @ONLY)
if(LANTREL_DOXYGEN)
  add_custom_target(lantrel_docs
    COMMAND ${CMAKE_COMMAND} -E make_directory ${LANTREL_DOCS_OUTPUT}
    COMMAND ${LANTREL_DOXYGEN} ${PROJECT_BINARY_DIR}/generated/Doxyfile
    COMMAND ${CMAKE_COMMAND} -E echo "API reference: ${LANTREL_DOCS_OUTPUT}/html/index.html"
    COMMENT "Building the API reference with Doxygen"
    VERBATIM)
else()
  message(STATUS "doxygen not found: no target lantrel_docs (Debian package doxygen)")
endif()
