# The tool's tests read its parsers directly and run the built program.
if(TARGET lantrel_cli)
  target_link_libraries(${t} PRIVATE lantrel_cli)
  add_dependencies(${t} lantrel_tool)
endif()
find_program(LANTREL_CS2CS cs2cs)
if(LANTREL_CS2CS)
  target_compile_definitions(${t} PRIVATE LANTREL_CS2CS="${LANTREL_CS2CS}")
endif()
