# Installed-tree tests: the build tree is installed into a temporary prefix (no rebuild), and
# consumer projects are built against it; the Debian packages are built and used.
set(_lantrel_install_script ${CMAKE_CURRENT_LIST_DIR}/check_install.sh)
set(_lantrel_install_work ${PROJECT_BINARY_DIR}/install-tests)

add_test(NAME install.Exports
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_exports.sh $<TARGET_FILE:lantrel>
                 ${PROJECT_SOURCE_DIR}/include/lantrel/lantrel.h)
add_test(NAME install.Tree COMMAND bash ${_lantrel_install_script} tree ${PROJECT_BINARY_DIR}
                                   ${_lantrel_install_work})
set_tests_properties(install.Tree PROPERTIES FIXTURES_SETUP lantrel_installed)
foreach(kind shared static)
  add_test(NAME install.FindPackage.${kind}
           COMMAND bash ${_lantrel_install_script} cmake ${PROJECT_BINARY_DIR} ${_lantrel_install_work} ${kind})
  add_test(NAME install.PkgConfig.${kind}
           COMMAND bash ${_lantrel_install_script} pkgconfig ${PROJECT_BINARY_DIR} ${_lantrel_install_work} ${kind})
  set_tests_properties(install.FindPackage.${kind} install.PkgConfig.${kind} PROPERTIES
    FIXTURES_REQUIRED lantrel_installed)
endforeach()
add_test(NAME install.MovedPrefix COMMAND bash ${_lantrel_install_script} moved ${PROJECT_BINARY_DIR}
                                          ${_lantrel_install_work})
set_tests_properties(install.MovedPrefix PROPERTIES SKIP_RETURN_CODE 77)
set_tests_properties(install.Exports install.Tree install.FindPackage.shared install.FindPackage.static
                     install.PkgConfig.shared install.PkgConfig.static install.MovedPrefix
                     PROPERTIES LABELS install)

add_test(NAME install.DebianPackages
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check_debian.sh ${PROJECT_BINARY_DIR}
                 ${PROJECT_BINARY_DIR}/debian-tests)
set_tests_properties(install.DebianPackages PROPERTIES LABELS install)

# Embedding with add_subdirectory: configured (not built) in a project of its own.
add_test(NAME install.Embedded
         COMMAND ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/embed
                 -B ${PROJECT_BINARY_DIR}/install-tests/embed -G ${CMAKE_GENERATOR}
                 -DLANTREL_SOURCE=${PROJECT_SOURCE_DIR} -DLANTREL_DATA_SOURCES=${LANTREL_DATA_SOURCES})
set_tests_properties(install.Embedded PROPERTIES LABELS install)
