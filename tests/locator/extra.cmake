# The locator tests run from a folder of their own, so that positions do not find the built data
# file beside the program and the tests can point both sides at the file they mean; they read
# the built file by its name.
set_target_properties(${t} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/locator)
if(TARGET lantrel_refdata)
  add_dependencies(${t} lantrel_refdata)
endif()
