# The server's connection threads need no HTTP library: built into the test from the tool's
# source, so they are tested (and run under ThreadSanitizer) wherever the library builds.
target_sources(${t} PRIVATE ${CMAKE_SOURCE_DIR}/tools/lantrel/serve/connection_threads.cpp)
target_include_directories(${t} PRIVATE ${CMAKE_SOURCE_DIR}/tools/lantrel)
find_package(Threads REQUIRED)
target_link_libraries(${t} PRIVATE Threads::Threads)
