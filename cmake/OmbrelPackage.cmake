# `make package`: the Debian package build/ombrel_<version>_<arch>.deb, made
# by CPack from the install rules, its dependencies found by dpkg-shlibdeps
# in the binaries. scripts/check-package.sh checks what it holds.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ombrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quillvex)
set(CPACK_PACKAGE_CONTACT "Ombrel developers <ombrel@quillvex.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "statistics step by step for people who are not statisticians")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Ombrel leads you from a small data set (up to 1000 rows by 26 columns) to a
plain-language answer in six steps: choose the kind of data, enter or paste it
in a spreadsheet grid, look at column statistics, choose a test by answering
plain-language questions, read the report with its interpretation, and view a
simple graph.

It offers t tests, nonparametric tests with exact P values, one-way and
repeated-measures ANOVA with post tests, contingency tables, linear and
multiple regression, and correlation. ombrel-cli prints the reports of saved
documents, draws their graphs and imports text files without a window.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside the libraries: Qt loads its X11 and other windowing plugins at run
# time, which dpkg-shlibdeps cannot see (libqt6gui6 only recommends them).
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Install as into /usr with DESTDIR, so that the desktop entry names
# /usr/bin/ombrel and not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
include(CPack)
