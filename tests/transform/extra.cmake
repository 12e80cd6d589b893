# The array error test looks points up in the built data file as well.
if(TARGET lantrel_refdata)
  add_dependencies(${t} lantrel_refdata)
endif()
