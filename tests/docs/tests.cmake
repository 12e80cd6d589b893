# The API reference (target lantrel_docs) must build without warnings: every public member is
# documented. Needs Doxygen (Debian package doxygen, installed by .ci/deps.sh); a build
# configured with LANTREL_BUILD_DOCS=OFF has no reference to check.
if(LANTREL_DOXYGEN AND TARGET lantrel_docs)
  add_test(NAME docs.Reference
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_reference.sh ${LANTREL_DOXYGEN}
                   ${PROJECT_BINARY_DIR}/generated/Doxyfile ${PROJECT_SOURCE_DIR}/include/lantrel
                   ${LANTREL_DOCS_OUTPUT})
  set_tests_properties(docs.Reference PROPERTIES LABELS docs)
elseif(LANTREL_BUILD_DOCS)
  add_test(NAME docs.Reference
           COMMAND sh -c "echo 'FAIL: doxygen is missing (Debian package doxygen)'; exit 1")
  set_tests_properties(docs.Reference PROPERTIES LABELS docs)
endif()
