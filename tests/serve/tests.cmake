# lantrel serve: the API over HTTP (requests + jsonschema against the server's OpenAPI
# document) and the page in headless Chromium (Selenium). Run with Debian's interpreter.
if(TARGET lantrel_serve AND EXISTS ${LANTREL_DEBIAN_PYTHON})
  set(serve_env "LANTREL_BINARY_DIR=${CMAKE_BINARY_DIR};LANTREL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  add_test(NAME serve.Api COMMAND ${LANTREL_DEBIAN_PYTHON} -m unittest -v api_test
           WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
  set_tests_properties(serve.Api PROPERTIES LABELS serve TIMEOUT 300 ENVIRONMENT "${serve_env}")
  # The one long test: 70 s of load (10 s warm-up, 60 s measured). Started first (COST) so the
  # rest of the suite runs beside it.
  # Under a sanitizer the resident memory is the sanitizer allocator's (its quarantine grows
  # by design): there the run is shorter and checks only that every request is answered.
  set(load_env "${serve_env}")
  if(LANTREL_SANITIZE OR LANTREL_SANITIZE_THREAD)
    list(APPEND load_env "LANTREL_LOAD_SECONDS=20" "LANTREL_LOAD_MEMORY=unchecked")
  endif()
  add_test(NAME serve.Load60s COMMAND ${LANTREL_DEBIAN_PYTHON} -m unittest -v load_test
           WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
  set_tests_properties(serve.Load60s PROPERTIES LABELS "serve;load;long" TIMEOUT 200 COST 2000
                       ENVIRONMENT "${load_env}" SKIP_RETURN_CODE 77)
  if(EXISTS /usr/bin/chromedriver)
    add_test(NAME serve.Page COMMAND ${LANTREL_DEBIAN_PYTHON} -m unittest -v page_test
             WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
    set_tests_properties(serve.Page PROPERTIES LABELS serve TIMEOUT 300 ENVIRONMENT "${serve_env}"
                         SKIP_RETURN_CODE 77)
  endif()
endif()

# libFuzzer target over the request handlers: the server's sources built with clang and the
# fuzzer, linked with the tool's and the library's static libraries; a few seconds in make test.
set(LANTREL_SERVE_FUZZ_SECONDS 10 CACHE STRING "Seconds the server fuzz test runs")
if(TARGET lantrel_serve AND NOT LANTREL_SANITIZE AND LANTREL_CLANGXX AND LANTREL_HAVE_LIBFUZZER)
  set(serve_fuzz_dir ${CMAKE_BINARY_DIR}/tests/serve/fuzz)
  set(serve_fuzz_exe ${serve_fuzz_dir}/lantrel_serve_fuzz)
  file(GLOB serve_fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/lantrel/serve/*.cpp)
  list(REMOVE_ITEM serve_fuzz_sources ${CMAKE_SOURCE_DIR}/tools/lantrel/serve/http_server.cpp
       ${CMAKE_SOURCE_DIR}/tools/lantrel/serve/serve_command.cpp)
  file(GLOB serve_fuzz_headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/lantrel/serve/*.hpp)
  list(APPEND serve_fuzz_sources ${CMAKE_CURRENT_LIST_DIR}/fuzz/fuzz_serve.cpp)
  find_library(LANTREL_GDAL_LIBRARY gdal)
  set(serve_fuzz_libs $<TARGET_FILE:lantrel_vector> $<TARGET_FILE:lantrel_cli> $<TARGET_FILE:lantrel_static>)
  if(LANTREL_GDAL_LIBRARY)
    list(APPEND serve_fuzz_libs ${LANTREL_GDAL_LIBRARY})
  endif()
  file(MAKE_DIRECTORY ${serve_fuzz_dir}/corpus ${serve_fuzz_dir}/artifacts)
  add_custom_command(
    OUTPUT ${serve_fuzz_exe}
    COMMAND ${LANTREL_CLANGXX} -std=c++20 -g -O1 -ffp-contract=off -Wall -Wextra -Wpedantic
            -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
            -I${CMAKE_SOURCE_DIR}/include -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/tools/lantrel
            ${serve_fuzz_sources} ${serve_fuzz_libs} -ldl -lpthread -o ${serve_fuzz_exe}
    DEPENDS ${serve_fuzz_sources} ${serve_fuzz_headers} lantrel_vector lantrel_cli lantrel_static
    COMMENT "Building the server fuzz target with clang"
    VERBATIM)
  add_custom_target(lantrel_serve_fuzz ALL DEPENDS ${serve_fuzz_exe})
  add_test(NAME serve.Fuzz
           COMMAND ${serve_fuzz_exe} -max_total_time=${LANTREL_SERVE_FUZZ_SECONDS} -max_len=2048
                   -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=256 -print_final_stats=1
                   -artifact_prefix=${serve_fuzz_dir}/artifacts/
                   ${serve_fuzz_dir}/corpus ${CMAKE_CURRENT_LIST_DIR}/fuzz/corpus)
  set_tests_properties(serve.Fuzz PROPERTIES LABELS "serve;fuzz" TIMEOUT 120 COST 1000)
endif()
