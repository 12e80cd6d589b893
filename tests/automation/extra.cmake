# The automation tests also build a plain C99 host (warnings are errors there, so the C header
# stays valid C) and run the Python binding's tests against the shared library.
set(_lantrel_c_host ${CMAKE_CURRENT_SOURCE_DIR}/automation/c_host.c)
target_sources(${t} PRIVATE ${_lantrel_c_host})
set_source_files_properties(${_lantrel_c_host} PROPERTIES
  COMPILE_OPTIONS "-std=c99;-Wall;-Wextra;-Wpedantic;-Werror")

find_package(Python3 COMPONENTS Interpreter QUIET)
if(Python3_Interpreter_FOUND)
  set(_lantrel_python_env
    "LANTREL_LIBRARY=$<TARGET_FILE:lantrel>"
    "PYTHONPATH=${CMAKE_SOURCE_DIR}/python"
    "LANTREL_DATA_SOURCES=${LANTREL_DATA_SOURCES}"
    "LANTREL_BINARY_DIR=${CMAKE_BINARY_DIR}")
  if(LANTREL_SANITIZE)
    # An instrumented library needs the sanitizer runtimes loaded ahead of the interpreter;
    # the interpreter's own allocations at exit are not ours to report.
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libasan.so
                    OUTPUT_VARIABLE _lantrel_asan OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libubsan.so
                    OUTPUT_VARIABLE _lantrel_ubsan OUTPUT_STRIP_TRAILING_WHITESPACE)
    list(APPEND _lantrel_python_env
      "LD_PRELOAD=${_lantrel_asan}:${_lantrel_ubsan}"
      "ASAN_OPTIONS=detect_leaks=0")
  endif()
  add_test(NAME python_binding
           COMMAND ${Python3_EXECUTABLE} -m unittest discover
                   -s ${CMAKE_CURRENT_SOURCE_DIR}/automation -p "test_*.py")
  set_tests_properties(python_binding PROPERTIES
    ENVIRONMENT "${_lantrel_python_env}" LABELS automation)
endif()
