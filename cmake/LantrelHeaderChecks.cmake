# Every public header compiles on its own, warning-free: the C++ headers as C++17 and C++20,
# the C header as C99 and as C++. A header that slips (a C++20-only feature, a missing include)
# breaks the build. The list is whatever include/lantrel/ holds.
file(GLOB _lantrel_public_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/lantrel/*.h
     ${PROJECT_SOURCE_DIR}/include/lantrel/*.hpp)
set(_lantrel_check_dir ${PROJECT_BINARY_DIR}/generated/header_checks)
set(_lantrel_cxx_checks)
set(_lantrel_c_checks)
foreach(header ${_lantrel_public_headers})
  get_filename_component(name ${header} NAME)
  string(MAKE_C_IDENTIFIER ${name} id)
  file(CONFIGURE OUTPUT ${_lantrel_check_dir}/${id}.cpp
       CONTENT "#include \"lantrel/${name}\"\n#include \"lantrel/${name}\"\n")
  list(APPEND _lantrel_cxx_checks ${_lantrel_check_dir}/${id}.cpp)
  if(name MATCHES "\\.h$")
    file(CONFIGURE OUTPUT ${_lantrel_check_dir}/${id}.c
         CONTENT "#include \"lantrel/${name}\"\n#include \"lantrel/${name}\"\n")
    list(APPEND _lantrel_c_checks ${_lantrel_check_dir}/${id}.c)
  endif()
endforeach()

foreach(std 17 20)
  add_library(lantrel_headers_cxx${std} OBJECT ${_lantrel_cxx_checks})
  target_include_directories(lantrel_headers_cxx${std} PRIVATE ${PROJECT_SOURCE_DIR}/include)
  set_target_properties(lantrel_headers_cxx${std} PROPERTIES
    CXX_STANDARD ${std} CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF)
  target_compile_options(lantrel_headers_cxx${std} PRIVATE -Werror)
endforeach()
if(_lantrel_c_checks)
  add_library(lantrel_headers_c99 OBJECT ${_lantrel_c_checks})
  target_include_directories(lantrel_headers_c99 PRIVATE ${PROJECT_SOURCE_DIR}/include)
  set_target_properties(lantrel_headers_c99 PROPERTIES
    C_STANDARD 99 C_STANDARD_REQUIRED ON C_EXTENSIONS OFF)
  target_compile_options(lantrel_headers_c99 PRIVATE -Werror)
endif()
