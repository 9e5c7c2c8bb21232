# What `cmake --install` puts under the prefix, and the Debian package CPack
# makes of it (scripts/package).
set(QUADROVIA_ID org.quadrovia.Quadrovia)
set(QUADROVIA_HOMEPAGE "https://quadrovia.org/" CACHE STRING "Home page named in the package and the metainfo")
set(QUADROVIA_SCREENSHOT_URL "${QUADROVIA_HOMEPAGE}screenshot.png" CACHE STRING
  "Where the published copy of docs/screenshot.png is, for the metainfo")
set(QUADROVIA_RELEASE_DATE 2026-12-11)

install(TARGETS quadrovia RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Private: only --demo puts this folder on GST_PLUGIN_PATH.
install(TARGETS gstsynthcam LIBRARY DESTINATION ${QUADROVIA_INSTALL_PLUGIN_DIR})

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${QUADROVIA_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The same artwork as the window icon.
foreach(size 16 32 48 64 128)
  install(FILES ${PROJECT_SOURCE_DIR}/src/app/resources/icons/quadrovia-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME quadrovia.png)
endforeach()

set(QUADROVIA_METAINFO ${PROJECT_BINARY_DIR}/packaging/${QUADROVIA_ID}.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${QUADROVIA_ID}.metainfo.xml.in ${QUADROVIA_METAINFO} @ONLY)
install(FILES ${QUADROVIA_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian's policy wants both in the package's doc folder; the changelog
# compressed without a time stamp, so that rebuilds give the same bytes.
set(QUADROVIA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quadrovia)
set(changelog_gz ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${changelog_gz}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(packaging_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog_gz} DESTINATION ${QUADROVIA_DOC_DIR})

# The package: shared-library dependencies from dpkg-shlibdeps, plus what is
# only loaded at run time: GStreamer's plugins (capture, conversion, the WMV 8
# encoder, the ASF muxer and demuxer, X11 output), a CJK font for the Chinese
# interface, xdg-open for the recordings folder, Qt's own translations.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quadrovia)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quadrovia developers")
set(CPACK_PACKAGE_CONTACT "Quadrovia developers <packages@quadrovia.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "camera monitor that records up to four cameras")
set(CPACK_PACKAGE_DESCRIPTION "Quadrovia shows up to four cameras (web cameras, capture cards) live in
a 2x2 grid, records each running camera to its own ASF file (WMV 8,
56 kbps, video only) and serves the first recording live over HTTP on
port 3333. It sits in the notification area and can stay on top.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUADROVIA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly, gstreamer1.0-libav, gstreamer1.0-x, fonts-wqy-microhei, xdg-utils, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
