# Installation: the libraries with their CMake package and pkg-config file, headers, tool,
# manual page and data file, in four install components (runtime, dev, tool, data) that the
# Debian packages follow (cmake/LantrelDebian.cmake).
include(CMakePackageConfigHelpers)

set(LANTREL_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/lantrel CACHE STRING
    "Where the CMake package files are installed, relative to the prefix")
set(LANTREL_INSTALL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/lantrel)

install(TARGETS lantrel EXPORT lantrelTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_SKIP)
install(TARGETS lantrel EXPORT lantrelTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev NAMELINK_ONLY)
install(TARGETS lantrel_static EXPORT lantrelTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(DIRECTORY include/lantrel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)

install(EXPORT lantrelTargets NAMESPACE lantrel:: DESTINATION ${LANTREL_INSTALL_CMAKEDIR}
        COMPONENT dev)
configure_package_config_file(cmake/lantrelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/generated/lantrelConfig.cmake
  INSTALL_DESTINATION ${LANTREL_INSTALL_CMAKEDIR}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR LANTREL_INSTALL_DATA_DIR)
# Compatibility follows the binary interface, not the release's major version: a request for a
# release is met by this one when both share one SONAME (LANTREL_ABI_FIRST_RELEASE up to this
# release), so a program built against an older interface is not linked to this one unawares.
configure_file(cmake/lantrelConfigVersion.cmake.in
  ${PROJECT_BINARY_DIR}/generated/lantrelConfigVersion.cmake @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/generated/lantrelConfig.cmake
              ${PROJECT_BINARY_DIR}/generated/lantrelConfigVersion.cmake
        DESTINATION ${LANTREL_INSTALL_CMAKEDIR} COMPONENT dev)

# pkg-config: the prefix is found from the .pc file's own folder, so the tree can move.
# Libs.private lists what a static link needs beyond liblantrel.a itself.
set(LANTREL_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}"
   OR IS_ABSOLUTE "${CMAKE_INSTALL_DATADIR}")
  # Absolute folders were asked for: the file names them as they are.
  set(LANTREL_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
  set(LANTREL_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
  set(LANTREL_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
  set(LANTREL_PC_DATADIR "${CMAKE_INSTALL_FULL_DATADIR}/lantrel")
else()
  file(RELATIVE_PATH _lantrel_up "/prefix/${LANTREL_PC_DIR}" "/prefix")
  string(REGEX REPLACE "/$" "" _lantrel_up "${_lantrel_up}")
  set(LANTREL_PC_PREFIX "\${pcfiledir}/${_lantrel_up}")
  set(LANTREL_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
  set(LANTREL_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
  set(LANTREL_PC_DATADIR "\${prefix}/${CMAKE_INSTALL_DATADIR}/lantrel")
endif()
set(LANTREL_PC_LIBS_PRIVATE "-lstdc++ -lm")
foreach(lib ${CMAKE_DL_LIBS})
  string(APPEND LANTREL_PC_LIBS_PRIVATE " -l${lib}")
endforeach()
configure_file(cmake/lantrel.pc.in ${PROJECT_BINARY_DIR}/generated/lantrel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/generated/lantrel.pc DESTINATION ${LANTREL_PC_DIR}
        COMPONENT dev)
