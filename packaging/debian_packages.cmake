# The four Debian packages, one per install component (see CMakeLists.txt).
# Runtime dependencies on system libraries come from dpkg-shlibdeps; the
# programs' dependency on the library comes from the library's own shlibs line
# (any libwfcore1 of this major version from this minor version on), so that a
# newer libwfcore1 can be installed without rebuilding the programs.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${wf_components})
set(CPACK_PACKAGE_NAME wellfit)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Wellfit developers")
set(CPACK_PACKAGE_CONTACT "The Wellfit developers <developers@wellfit.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL ${WF_HOMEPAGE})
# Debian's paths whatever the build's own prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/solver)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
configure_file(cpack_project.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/cpack_project.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/cpack_project.cmake)
# After CPack: Installed-Size as dpkg counts it, and "Multi-Arch: same" for the
# library and its development files (CPack of CMake 3.25 writes no Multi-Arch),
# so that the packages of several architectures install side by side.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/deb_control_fixes.cmake)
set(CPACK_WF_MULTIARCH_SAME ${WF_LIB_PACKAGE} libwfcore-dev)

set(wf_lib_depends "${WF_LIB_PACKAGE} (>= ${PROJECT_VERSION})")

# libwfcore1: the shared library. Its shlibs file says "libwfcore 1
# libwfcore1 (>= 1.0)"; its symbols file gives the version that brought each
# exported function (scripts/check-package.sh compares it with the exports of
# wfcore.map). The library cache is refreshed by dpkg's ldconfig
# trigger rather than by maintainer scripts: CPack writes a postinst and a
# postrm calling ldconfig unless the package's control files already name
# them, so the names are given here without files (CPack skips a control file
# that does not exist, with a warning "missing file: .../postinst").
set(CPACK_DEBIAN_LIB_PACKAGE_NAME ${WF_LIB_PACKAGE})
set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_LIB_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_SOURCE_DIR}/triggers
    ${CMAKE_CURRENT_SOURCE_DIR}/symbols
    ${CMAKE_CURRENT_BINARY_DIR}/no-maintainer-script/postinst
    ${CMAKE_CURRENT_BINARY_DIR}/no-maintainer-script/postrm)
set(CPACK_DEBIAN_LIB_DESCRIPTION "solver library of the Wellfit pumping-test analysis
libwfcore runs the radial finite-element model of Wellfit: a thin conductive
fracture layer over a thick rock matrix, pumped from a well. One entry call
builds the mesh, prepares the drawdowns of the observation boreholes, and fits
the transmissivity and storativity of both layers to them (Marquardt least
squares), runs the model once or predicts a longer test.
.
This package holds the shared library.")

# libwfcore-dev: what a program needs to be built against the library.
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libwfcore-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${WF_LIB_PACKAGE} (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEV_DESCRIPTION "solver library of Wellfit - development files
libwfcore runs the radial finite-element model of Wellfit: a thin conductive
fracture layer over a thick rock matrix, pumped from a well, with the fit of
the transmissivity and storativity of both layers to measured drawdowns.
.
This package holds the C and C++ headers (C99, C++14 and later), the
libwfcore.so link, the CMake package (find_package(wfcore), target
wfcore::wfcore) and the pkg-config file wfcore.")

# wellfit-cli: the runner, without the desktop program and without Qt.
set(CPACK_DEBIAN_CLI_PACKAGE_NAME wellfit-cli)
set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "${wf_lib_depends}")
set(CPACK_DEBIAN_CLI_DESCRIPTION "pumping-test analysis in fractured rock - command-line runner
wellfit-cli fits the transmissivity and storativity of a thin conductive
fracture layer and of the rock matrix below it to the drawdowns measured in
observation boreholes during a pumping test, using a radial finite-element
model. It reads and writes the project files of the desktop program Wellfit
and needs no display: for batch work and servers.
.
This package holds the runner, its manual page, bash completion and the Oude
Korendijk pumping test as an example project.")

# wellfit: the desktop program. The Qt platform plugins are loaded at run time
# and so are named here.
set(CPACK_DEBIAN_GUI_PACKAGE_NAME wellfit)
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "${wf_lib_depends}, qt6-qpa-plugins")
set(CPACK_DEBIAN_GUI_PACKAGE_RECOMMENDS wellfit-cli)
set(CPACK_DEBIAN_GUI_DESCRIPTION "pumping-test analysis in fractured rock - desktop program
Wellfit fits the transmissivity and storativity of a thin conductive fracture
layer and of the rock matrix below it to the drawdowns measured in observation
boreholes during a pumping test, using a radial finite-element model. Dialogs
edit the drawdowns, the pumping schedule, the geometry and the units; a chart
shows the measurements, the model fit, the derivative and the residuals.
.
This package holds the desktop program with its menu entry, the project-file
type .wft, icons and AppStream metadata.")

include(CPack)
