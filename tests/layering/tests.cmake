# The library's layers hold: a file of a layer that includes a header of a layer it may not use
# does not compile. Each probe is one such file, built on its own (outside the default build) with
# its layer's include folders; the test passes when the compiler cannot find the header.
# Table: probe name, the layer it stands in, the header it must not reach.
set(_lantrel_layer_probes
  core_includes_projection        core        projection/zone_table.hpp
  projection_includes_transform   projection  transform/route.hpp
  carter_includes_projection      carter      projection/zone_table.hpp
  datum_includes_refdata          datum       refdata/lookup.hpp
  refdata_includes_datum          refdata     datum/nadcon.hpp
  transform_includes_automation   transform   automation/boundary.hpp
  automation_includes_transform   automation  transform/route.hpp
  tool_includes_refdata           cli         refdata/reference_data.hpp
  serve_includes_core             serve       core/raise.hpp)
while(_lantrel_layer_probes)
  list(POP_FRONT _lantrel_layer_probes name layer header)
  set(probe_source ${CMAKE_CURRENT_BINARY_DIR}/layering/${name}.cpp)
  file(CONFIGURE OUTPUT ${probe_source} CONTENT "#include \"${header}\"\n")
  add_library(lantrel_probe_${name} OBJECT EXCLUDE_FROM_ALL ${probe_source})
  if(layer STREQUAL "cli" OR layer STREQUAL "serve")
    # The tool and every front end compile against the public headers only: the probe
    # gets the include folders of the tool's own library.
    if(NOT TARGET lantrel_${layer})
      continue()
    endif()
    target_include_directories(lantrel_probe_${name} PRIVATE
      $<TARGET_PROPERTY:lantrel_${layer},INCLUDE_DIRECTORIES>)
  else()
    target_link_libraries(lantrel_probe_${name} PRIVATE lantrel_layer_${layer})
  endif()
  string(REPLACE "." "\\." header_pattern "${header}")
  add_test(NAME layering.${name}
           COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target lantrel_probe_${name})
  set_tests_properties(layering.${name} PROPERTIES
    PASS_REGULAR_EXPRESSION "${header_pattern}: No such file or directory"
    RESOURCE_LOCK lantrel_build_tree LABELS layering)
endwhile()
