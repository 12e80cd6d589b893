# The reference data tests. The test program runs from its own folder so that a new position
# does not find the built data file beside it; tests that need the real file name its folder.
set_target_properties(${t} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/refdata)
if(TARGET lantrel_refdata)
  add_dependencies(${t} lantrel_refdata)
endif()
# The search's tests compare with the install layout the library was built for.
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/refdata/data_path_test.cpp PROPERTIES
  COMPILE_DEFINITIONS "${LANTREL_DATA_SEARCH_DEFINITIONS}")

# Copies of the built file with one byte changed (a few hundred, seconds): every copy the
# reader loads answers the survey's probe points as the sound file does. The full survey is
# bench/damage_survey.sh.
# Survey of one-byte damage to a data file (built with the tests, not by default): how many
# damaged copies load and answer differently, by decoding alone, with the reader's consistency
# checks, and through the reader with its checksum.
add_executable(lantrel_damage_survey EXCLUDE_FROM_ALL ${CMAKE_CURRENT_SOURCE_DIR}/refdata/survey/damage_survey.cpp)
target_link_libraries(lantrel_damage_survey PRIVATE lantrel_internal)
set_target_properties(lantrel_damage_survey PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LANTREL_OUTPUT_DIR})
if(TARGET lantrel_refdata)
  add_dependencies(${t} lantrel_damage_survey)
  add_test(NAME refdata.DamagedCopiesLoadOnlyWhenTheyAnswerAlike
           COMMAND lantrel_damage_survey --reader-only
                   $<TARGET_PROPERTY:lantrel_refdata,LANTREL_DATA_FILE> 300)
  set_tests_properties(refdata.DamagedCopiesLoadOnlyWhenTheyAnswerAlike PROPERTIES LABELS refdata)
endif()

# A program linked with the shared library, in a folder of its own: the search must find the
# data file in the library's folder.
if(TARGET lantrel_refdata)
  add_executable(lantrel_refdata_shared_search ${CMAKE_CURRENT_SOURCE_DIR}/refdata/shared/shared_search.cpp)
  target_link_libraries(lantrel_refdata_shared_search PRIVATE lantrel)
  set_target_properties(lantrel_refdata_shared_search PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/refdata/shared)
  add_dependencies(lantrel_refdata_shared_search lantrel_refdata)
  add_test(NAME refdata.SharedLibraryFindsItsDataFile COMMAND lantrel_refdata_shared_search)
  set_tests_properties(refdata.SharedLibraryFindsItsDataFile PROPERTIES LABELS refdata)
endif()

# libFuzzer target over the reader and the search, built with clang whatever compiler builds
# the library, and run for a bounded time as a test. Skipped in the sanitizer build (the fuzz
# target carries its own sanitizers) and when clang or its fuzzer runtime is missing.
set(LANTREL_FUZZ_SECONDS 60 CACHE STRING "Seconds the reference data fuzz test runs")
find_program(LANTREL_CLANGXX NAMES clang++ clang++-14)
if(NOT LANTREL_SANITIZE AND LANTREL_CLANGXX AND NOT DEFINED LANTREL_HAVE_LIBFUZZER)
  set(probe ${CMAKE_BINARY_DIR}/CMakeFiles/libfuzzer_probe.cpp)
  file(WRITE ${probe}
       "#include <cstddef>\n#include <cstdint>\nextern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }\n")
  execute_process(COMMAND ${LANTREL_CLANGXX} -fsanitize=fuzzer,address,undefined ${probe}
                          -o ${CMAKE_BINARY_DIR}/CMakeFiles/libfuzzer_probe
                  RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
  if(probe_result EQUAL 0)
    set(LANTREL_HAVE_LIBFUZZER ON CACHE INTERNAL "clang can build libFuzzer targets")
  else()
    set(LANTREL_HAVE_LIBFUZZER OFF CACHE INTERNAL "clang can build libFuzzer targets")
  endif()
endif()
if(NOT LANTREL_SANITIZE AND LANTREL_CLANGXX AND LANTREL_HAVE_LIBFUZZER)
  set(fuzz_dir ${CMAKE_BINARY_DIR}/tests/refdata/fuzz)
  set(fuzz_exe ${fuzz_dir}/lantrel_refdata_fuzz)
  set(fuzz_sources
      ${CMAKE_CURRENT_SOURCE_DIR}/refdata/fuzz/fuzz_refdata.cpp
      ${CMAKE_SOURCE_DIR}/src/refdata/reference_data.cpp
      ${CMAKE_SOURCE_DIR}/src/refdata/checksum.cpp
      ${CMAKE_SOURCE_DIR}/src/core/windows_1252.cpp
      ${CMAKE_SOURCE_DIR}/src/refdata/edge_index.cpp
      ${CMAKE_SOURCE_DIR}/src/refdata/lookup_grid.cpp
      ${CMAKE_SOURCE_DIR}/src/refdata/integrity.cpp
      ${CMAKE_SOURCE_DIR}/src/refdata/point_in_region.cpp
      ${CMAKE_SOURCE_DIR}/src/refdata/lookup.cpp
      ${CMAKE_SOURCE_DIR}/src/refdata/sp_zone_table.cpp
      ${CMAKE_SOURCE_DIR}/src/core/error.cpp)
  file(MAKE_DIRECTORY ${fuzz_dir}/corpus ${fuzz_dir}/artifacts)
  add_custom_command(
    OUTPUT ${fuzz_exe}
    COMMAND ${LANTREL_CLANGXX} -std=c++20 -g -O1 -ffp-contract=off -Wall -Wextra -Wpedantic
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
            -I${CMAKE_SOURCE_DIR}/include -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_CURRENT_SOURCE_DIR}/refdata/fuzz
            ${fuzz_sources} -o ${fuzz_exe}
    DEPENDS ${fuzz_sources} ${CMAKE_CURRENT_SOURCE_DIR}/refdata/fuzz/fuzz_check.hpp
            ${CMAKE_SOURCE_DIR}/src/refdata/reference_data.hpp ${CMAKE_SOURCE_DIR}/src/refdata/checksum.hpp
            ${CMAKE_SOURCE_DIR}/src/refdata/edge_index.hpp
            ${CMAKE_SOURCE_DIR}/src/refdata/lookup_grid.hpp
            ${CMAKE_SOURCE_DIR}/src/refdata/point_in_region.hpp ${CMAKE_SOURCE_DIR}/src/refdata/lookup.hpp
    COMMENT "Building the reference data fuzz target with clang"
    VERBATIM)
  add_custom_target(lantrel_refdata_fuzz ALL DEPENDS ${fuzz_exe})
  add_test(NAME refdata.Fuzz
           COMMAND ${fuzz_exe} -max_total_time=${LANTREL_FUZZ_SECONDS} -max_len=4096 -timeout=10
                   -rss_limit_mb=1024 -malloc_limit_mb=64 -print_final_stats=1
                   -artifact_prefix=${fuzz_dir}/artifacts/
                   ${fuzz_dir}/corpus ${CMAKE_CURRENT_SOURCE_DIR}/refdata/fuzz/corpus)
  math(EXPR fuzz_timeout "${LANTREL_FUZZ_SECONDS} + 120")
  # The longest test: started first so that it overlaps the others.
  set_tests_properties(refdata.Fuzz PROPERTIES LABELS "refdata;fuzz" TIMEOUT ${fuzz_timeout} COST 10000)
endif()
