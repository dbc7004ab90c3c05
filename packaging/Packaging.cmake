# CPack: `cpack -G DEB` in the build folder makes varindel_<version>_amd64.deb
# for /usr, whatever prefix the build was configured with.
set(CPACK_PACKAGE_NAME varindel)
set(CPACK_PACKAGE_VENDOR "Varindel TLX Company")
set(CPACK_PACKAGE_CONTACT "Varindel TLX Company <support@varindel.ru>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "city business directory with a city map")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.varindel.ru/")
set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_STRIP_FILES ON)

# The install rules write paths under the real prefix (the menu entry names
# its editions folder), so CPack installs with DESTDIR into its staging area.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_PACKAGE_NAME varindel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Varindel TLX Company <support@varindel.ru>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_CURRENT_SOURCE_DIR}/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# What the binaries do not name: Qt loads the SVG plugins (button icons, the
# program's icon) at run time, and the button icons come from the Adwaita theme.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, adwaita-icon-theme")
# The desktop's CHM viewer opens the help and licence documents; Qt's own
# texts come in Russian from its translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xchm, qt6-translations-l10n, qt6-qpa-plugins")
# The summary line is CPACK_PACKAGE_DESCRIPTION_SUMMARY; CPack indents the
# rest and marks the empty line as Debian wants.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Varindel shows a city's firms by category, with addresses, telephones, logos
and articles, next to its own vector map of the city: an address flies the
map to the firm's building. Users search firms and houses, keep favourites,
map bookmarks and a diary, measure distances, print or save the map and
write to the publisher. Two demo city editions are included.

Вариндел — справочник организаций города со своей векторной картой города.
Организации показаны по рубрикам, с адресами, телефонами, логотипами и
статьями; адрес переносит карту к зданию организации. Можно искать
организации и дома, вести избранное, закладки карты и ежедневник, измерять
расстояния, печатать и сохранять карту, писать издателю. В пакет входят два
демонстрационных издания.]=])

include(CPack)
