# Where `cmake --install` puts the programs and their files, and the Debian package CPack
# builds from the same install (`make package` -> build/qingheng_<version>_amd64.deb).
#
# The shipped data files go to share/qingheng/dat and the user guide to share/qingheng/help:
# the programs look for them at ../share/qingheng beside their own folder. The desktop entry,
# the icon and the metainfo carry the name QINGHENG_APP_ID (CMakeLists.txt).
set(QINGHENG_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/qingheng)

install(TARGETS qingheng qingheng-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/dat/ DESTINATION ${QINGHENG_SHARE_DIR}/dat PATTERN .gitkeep EXCLUDE)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/help/ DESTINATION ${QINGHENG_SHARE_DIR}/help)
configure_file(${CMAKE_SOURCE_DIR}/packaging/qingheng.desktop.in ${CMAKE_BINARY_DIR}/packaging/${QINGHENG_APP_ID}.desktop
               @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${QINGHENG_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/qingheng.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${QINGHENG_APP_ID}.svg)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/qingheng-256.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME ${QINGHENG_APP_ID}.png)

# The metainfo names the version and the date of this release.
configure_file(${CMAKE_SOURCE_DIR}/packaging/qingheng.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${QINGHENG_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${QINGHENG_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The documentation folder Debian asks of every package: the copyright file, which carries
# the MIT licence of LICENSE, and the changelog.
set(QINGHENG_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/qingheng)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE QINGHENG_LICENSE_TEXT)
string(FIND "${QINGHENG_LICENSE_TEXT}" "Permission is hereby granted" QINGHENG_LICENSE_START)
string(SUBSTRING "${QINGHENG_LICENSE_TEXT}" ${QINGHENG_LICENSE_START} -1 QINGHENG_LICENSE_TEXT)
string(STRIP "${QINGHENG_LICENSE_TEXT}" QINGHENG_LICENSE_TEXT)
# In a copyright file a licence's lines are indented by one space and a blank line is " .".
string(REPLACE "\n\n" "\n.\n" QINGHENG_LICENSE_FIELD "${QINGHENG_LICENSE_TEXT}")
string(REPLACE "\n" "\n " QINGHENG_LICENSE_FIELD " ${QINGHENG_LICENSE_FIELD}")
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)

# Debian keeps the changelog and the manual pages compressed (gzip -9n: no name, no date).
set(QINGHENG_COMPRESSED)
foreach(source changelog man/qingheng.1 man/qingheng-cli.1)
  get_filename_component(name ${source} NAME)
  set(copy ${CMAKE_BINARY_DIR}/packaging/${name})
  add_custom_command(
    OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/${source} ${copy}
    COMMAND gzip -9 -n -f ${copy}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source}
    VERBATIM)
  list(APPEND QINGHENG_COMPRESSED ${copy}.gz)
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${QINGHENG_COMPRESSED})
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${QINGHENG_DOC_DIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/qingheng.1.gz ${CMAKE_BINARY_DIR}/packaging/qingheng-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# ---- the Debian package
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qingheng)
set(CPACK_PACKAGE_VENDOR "The Qingheng authors")
set(CPACK_PACKAGE_CONTACT "The Qingheng authors <qingheng@users.noreply.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "six-lines (liuyao) divination workstation")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_SOURCE_DIR}/packaging/description.txt)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY qingheng)
set(CPACK_SET_DESTDIR OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What shlibdeps cannot see: the report font's stand-in and Qt's Chinese dialog texts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-arphic-uming, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
