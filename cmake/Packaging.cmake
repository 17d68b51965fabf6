# The Debian package: `cpack -G DEB` in the build tree makes qelt_<version>_<arch>.deb of what
# `cmake --install` puts under /usr. Its Depends come from the binaries (dpkg-shlibdeps): the
# X11 platform plugin Qt loads comes with the Qt GUI library itself.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qelt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Qelt developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "market quotes and technical analysis for a commodity market")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The programs are built with debugging information; the package carries them stripped.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME qelt)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Qelt developers <qelt@example.org>")
# The long description under the summary line (CPack indents it and marks the empty line).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Qelt logs in to a quote server, keeps the board of all contracts up to date
every second and offers K-line charts with 21 technical indicators, the user's
own formulas and drawn analysis lines, the intraday chart, the trade list, the
multi-goods view, price alarms and notices, export and printing.

The package also holds qelt-server, a demo quote server to try the client
with, and qelt-ta, which prints the client's indicators of a bar file as CSV.")
find_program(QELT_DPKG dpkg)
if(QELT_DPKG)
  execute_process(COMMAND ${QELT_DPKG} --print-architecture OUTPUT_VARIABLE QELT_DEB_ARCH
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${QELT_DEB_ARCH})
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(QELT_BUILD_UI)
  # The board and charts are Chinese text, which needs a CJK font; Qt's own dialogs speak
  # Chinese with Qt's translations.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, qt6-translations-l10n")
endif()

include(CPack)
