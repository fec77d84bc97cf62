# The Debian package, made by CPack from the installation rules (install.cmake) under /usr:
#   cmake --build build --target package      # build/cindermaze_VERSION_amd64.deb
# Its dependencies are the shared libraries the programs link, as dpkg-shlibdeps finds
# them, and freepats, the instruments of the music. docs/packaging.md tells the rest.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cindermaze)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT ${CINDERMAZE_CONTACT})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${CINDERMAZE_WEB_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS freepats)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "maze action game with bombs, blocks and diamonds")
# Lines of at most 80 characters, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
  "Cindermaze is a single-player action game on a grid maze seen from above.
Walk the maze, lay bombs whose flames spread in a cross, break blocks, uncover
bonuses, collect every diamond and keep away from the monsters, before the time
runs out.

Nine maps, seven bonuses, keys of your choice, and a map editor
(cindermaze-edit) that checks each maze as you draw it and plays it at once.
The game's texts are in French.")
include(CPack)
