# What `cmake --install` adds beside the engine (its guides, example games,
# the new-game command and its template, the built-in font's licence and,
# once the `docs` target has run, the API reference), and the Debian
# development package that `cpack -G DEB` makes of it all.
include(GNUInstallDirs)

set(VINTREL_PACKAGE_NAME vintrel-dev)
set(VINTREL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${VINTREL_PACKAGE_NAME})
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${VINTREL_DOC_DIR})
# The licence of the font built into the library travels with it.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSES/Agave.txt DESTINATION ${VINTREL_DOC_DIR}/LICENSES)
# A new game's project in one command: vintrel-new-game NAME DIR.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/new-game DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME vintrel-new-game)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/template/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vintrel/template)
# Laid out as in the sources, so that the guides' links hold.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${VINTREL_DOC_DIR}/docs
  FILES_MATCHING PATTERN "*.md" REGEX "/examples/"
  PATTERN "api" EXCLUDE)
install(DIRECTORY ${PROJECT_BINARY_DIR}/docs/api/html/ DESTINATION ${VINTREL_DOC_DIR}/api OPTIONAL)

set(CPACK_PACKAGE_NAME ${VINTREL_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vintrel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Vintrel 2D game engine: headers, static library and CMake package")
set(CPACK_PACKAGE_DESCRIPTION "A 2D game engine whose world is a plane of character cells drawn with a \
monospaced TrueType font through SFML. Games use it with find_package(Vintrel) and the target \
Vintrel::vintrel.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vintrel developers")
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
# The static library links SFML, and the CMake package finds it.
if(VINTREL_SFML_MAJOR EQUAL 3)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsfml-dev (>= 3.0)")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsfml-dev (>= 2.5)")
endif()
# No font package: the library carries its own font (Agave, LICENSES/Agave.txt).
set(CPACK_GENERATOR DEB)
include(CPack)
