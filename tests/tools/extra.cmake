# The tool's tests read its parsers directly (the vector file code with GDAL too) and run the
# built program.
if(TARGET lantrel_cli)
  target_link_libraries(${t} PRIVATE lantrel_vector lantrel_cli)
  add_dependencies(${t} lantrel_tool)
  target_compile_definitions(${t} PRIVATE LANTREL_MODULE_BUILD_DIR="$<TARGET_FILE_DIR:lantrel_vector_module>")
  if(TARGET lantrel_serve_module)
    target_compile_definitions(${t} PRIVATE LANTREL_HAVE_SERVE=1)
  endif()
endif()
# The sample job of `make run`: every point named with its county and zone.
if(NOT TEST tools.SampleJob)
  add_test(NAME tools.SampleJob COMMAND bash ${CMAKE_SOURCE_DIR}/examples/run.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(tools.SampleJob PROPERTIES LABELS tools
    PASS_REGULAR_EXPRESSION "Frankfort +Franklin County \\(North\\), Frankfort East quadrangle \\(38084-B7\\)"
    FAIL_REGULAR_EXPRESSION "County \\([0-9]+\\);No such file;Traceback;names need the data file")
endif()
find_program(LANTREL_CS2CS cs2cs)
if(LANTREL_CS2CS)
  target_compile_definitions(${t} PRIVATE LANTREL_CS2CS="${LANTREL_CS2CS}")
endif()

# libFuzzer target over the tool's record framing, parsers and the conversion of a record,
# built with clang from the library's and the tool's sources and run for a bounded time as a
# test (like the reference data fuzzer, whose probe decides whether clang can build it).
set(LANTREL_TOOL_FUZZ_SECONDS 60 CACHE STRING "Seconds the tool input fuzz test runs")
if(NOT LANTREL_SANITIZE AND LANTREL_CLANGXX AND LANTREL_HAVE_LIBFUZZER)
  set(tool_fuzz_dir ${CMAKE_BINARY_DIR}/tests/tools/fuzz)
  set(tool_fuzz_exe ${tool_fuzz_dir}/lantrel_tool_fuzz)
  file(GLOB tool_fuzz_library CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/*.cpp)
  file(GLOB tool_fuzz_cli CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/lantrel/*.cpp)
  list(REMOVE_ITEM tool_fuzz_cli ${CMAKE_SOURCE_DIR}/tools/lantrel/main.cpp)
  file(GLOB tool_fuzz_headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/*.hpp
       ${CMAKE_SOURCE_DIR}/include/lantrel/*.hpp ${CMAKE_SOURCE_DIR}/tools/lantrel/*.hpp)
  set(tool_fuzz_sources ${CMAKE_CURRENT_SOURCE_DIR}/tools/fuzz/fuzz_tool.cpp ${tool_fuzz_library}
      ${tool_fuzz_cli})
  file(MAKE_DIRECTORY ${tool_fuzz_dir}/corpus ${tool_fuzz_dir}/artifacts)
  add_custom_command(
    OUTPUT ${tool_fuzz_exe}
    COMMAND ${LANTREL_CLANGXX} -std=c++20 -g -O1 -ffp-contract=off -Wall -Wextra -Wpedantic
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
            -I${CMAKE_SOURCE_DIR}/include -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/tools/lantrel
            ${tool_fuzz_sources} -ldl -o ${tool_fuzz_exe}
    DEPENDS ${tool_fuzz_sources} ${tool_fuzz_headers}
    COMMENT "Building the tool input fuzz target with clang"
    VERBATIM)
  add_custom_target(lantrel_tool_fuzz ALL DEPENDS ${tool_fuzz_exe})
  add_test(NAME tools.Fuzz
           COMMAND ${tool_fuzz_exe} -max_total_time=${LANTREL_TOOL_FUZZ_SECONDS} -max_len=4096
                   -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=256 -print_final_stats=1
                   -artifact_prefix=${tool_fuzz_dir}/artifacts/
                   ${tool_fuzz_dir}/corpus ${CMAKE_CURRENT_SOURCE_DIR}/tools/fuzz/corpus)
  math(EXPR tool_fuzz_timeout "${LANTREL_TOOL_FUZZ_SECONDS} + 240")
  set_tests_properties(tools.Fuzz PROPERTIES LABELS "tools;fuzz" TIMEOUT ${tool_fuzz_timeout} COST 10000)
endif()

# libFuzzer target over vector jobs (GDAL input files of every kind read, converted and
# written), built like the one above with the tool's vector sources and GDAL, and run for a
# bounded time as a test.
set(LANTREL_VECTOR_FUZZ_SECONDS 30 CACHE STRING "Seconds the vector job fuzz test runs")
find_package(GDAL CONFIG QUIET)
if(NOT LANTREL_SANITIZE AND LANTREL_CLANGXX AND LANTREL_HAVE_LIBFUZZER AND TARGET GDAL::GDAL
   AND NOT TARGET lantrel_vector_fuzz)
  set(vector_fuzz_dir ${CMAKE_BINARY_DIR}/tests/tools/fuzz_vector)
  set(vector_fuzz_exe ${vector_fuzz_dir}/lantrel_vector_fuzz)
  file(GLOB vector_fuzz_cli CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/lantrel/vector/*.cpp)
  file(GLOB vector_fuzz_headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/lantrel/vector/*.hpp)
  set(vector_fuzz_sources ${CMAKE_CURRENT_SOURCE_DIR}/tools/fuzz/fuzz_vector.cpp ${tool_fuzz_library}
      ${tool_fuzz_cli} ${vector_fuzz_cli})
  get_target_property(vector_fuzz_gdal_includes GDAL::GDAL INTERFACE_INCLUDE_DIRECTORIES)
  list(TRANSFORM vector_fuzz_gdal_includes PREPEND -I)
  file(MAKE_DIRECTORY ${vector_fuzz_dir}/corpus ${vector_fuzz_dir}/artifacts)
  add_custom_command(
    OUTPUT ${vector_fuzz_exe}
    COMMAND ${LANTREL_CLANGXX} -std=c++20 -g -O1 -ffp-contract=off -Wall -Wextra -Wpedantic
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -DLANTREL_HAVE_GDAL=1
            -I${CMAKE_SOURCE_DIR}/include -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/tools/lantrel
            -I${CMAKE_SOURCE_DIR}/tools/lantrel/vector ${vector_fuzz_gdal_includes}
            ${vector_fuzz_sources} $<TARGET_FILE:GDAL::GDAL> -ldl -o ${vector_fuzz_exe}
    DEPENDS ${vector_fuzz_sources} ${tool_fuzz_headers} ${vector_fuzz_headers}
    COMMENT "Building the vector job fuzz target with clang"
    VERBATIM)
  add_custom_target(lantrel_vector_fuzz ALL DEPENDS ${vector_fuzz_exe})
  # GDAL keeps caches for the life of the process, which the leak check would count.
  add_test(NAME tools.VectorFuzz
           COMMAND ${vector_fuzz_exe} -max_total_time=${LANTREL_VECTOR_FUZZ_SECONDS} -max_len=8192
                   -timeout=20 -rss_limit_mb=2048 -detect_leaks=0 -print_final_stats=1
                   -artifact_prefix=${vector_fuzz_dir}/artifacts/
                   ${vector_fuzz_dir}/corpus ${CMAKE_CURRENT_SOURCE_DIR}/tools/fuzz/vector_corpus)
  math(EXPR vector_fuzz_timeout "${LANTREL_VECTOR_FUZZ_SECONDS} + 240")
  # -detect_leaks=0 stops only the fuzzer's own check; the exit-time check is AddressSanitizer's.
  set_tests_properties(tools.VectorFuzz PROPERTIES LABELS "tools;fuzz" TIMEOUT ${vector_fuzz_timeout}
                       COST 10000 ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endif()
