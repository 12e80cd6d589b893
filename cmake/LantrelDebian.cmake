# Debian packages, one per install component (`make package`, or `cpack -G DEB` in the build
# folder):
#   liblantrel4     runtime: liblantrel.so.4 (named after the SONAME, LANTREL_ABI_VERSION);
#                   recommends the data
#   liblantrel-dev  headers, liblantrel.a, the liblantrel.so link, CMake package, lantrel.pc
#   lantrel         the command-line tool (the library linked in) and its manual page
#   lantrel-data    the reference data file (architecture-independent), when it was built
#   liblantrel4-dbgsym, lantrel-dbgsym
#                   the debug information of the two packages holding ELF files: CPack strips
#                   them and keeps what it took in /usr/lib/debug/.build-id/ (.ddeb files)
# The libraries go to the multiarch folder (CMAKE_INSTALL_LIBDIR, lib/<triplet> on Debian; see
# CMakeLists.txt). Dependencies on system libraries come from dpkg-shlibdeps; those between the
# packages are exact versions, since the files of one build belong together. A component added
# later names itself in CPACK_COMPONENTS_ALL and sets its own CPACK_DEBIAN_<COMPONENT>_* values
# (and _DEBUGINFO_PACKAGE when it ships compiled code).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lantrel)
set(CPACK_PACKAGE_VENDOR "lantrel")
set(CPACK_PACKAGE_CONTACT "lantrel maintainers <lantrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Coordinate conversion for Kentucky and its neighbouring states")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(_lantrel_deb_version "${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE}")

set(CPACK_COMPONENTS_ALL runtime dev tool)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME liblantrel${LANTREL_ABI_VERSION})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
    "lantrel coordinate library (shared library)\n Kentucky's state-plane zones and those of its neighbours, UTM 16/17,\n NAD 27 <-> NAD 83, the Carter grid and state/county/quadrangle lookup.")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_RUNTIME_DEBUGINFO_PACKAGE ON)

set(CPACK_DEBIAN_DEV_PACKAGE_NAME liblantrel-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${CPACK_DEBIAN_RUNTIME_PACKAGE_NAME} (= ${_lantrel_deb_version})")
set(CPACK_DEBIAN_DEV_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_DEV_DESCRIPTION
    "lantrel coordinate library (development files)\n C and C++ headers, the static library, the CMake package and pkg-config file.")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME lantrel)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION science)
set(CPACK_DEBIAN_TOOL_DESCRIPTION
    "lantrel coordinate tool\n Converts points between coordinate systems, datums and units and names the\n state, county and quadrangle of each (lantrel convert, lantrel locate).")
set(CPACK_DEBIAN_TOOL_DEBUGINFO_PACKAGE ON)

if(TARGET lantrel_refdata)
  list(APPEND CPACK_COMPONENTS_ALL data)
  set(CPACK_DEBIAN_DATA_PACKAGE_NAME lantrel-data)
  set(CPACK_DEBIAN_DATA_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
  set(CPACK_DEBIAN_DATA_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_DATA_DESCRIPTION
      "lantrel reference data\n State, county and 7.5-minute quadrangle outlines (US Census Bureau and USGS,\n public domain) for lantrel's location lookup.")
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "lantrel-data (= ${_lantrel_deb_version})")
  set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "lantrel-data (= ${_lantrel_deb_version})")
endif()

# The page of 'lantrel serve' draws its map with Debian's Leaflet, served from its own folder.
if(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS)
  string(APPEND CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS ", libjs-leaflet")
else()
  set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "libjs-leaflet")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/LantrelDebianPython.cmake)
include(CPack)
