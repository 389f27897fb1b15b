# The Debian package (scripts/package.sh runs CPack). It holds whatever the install() rules
# place, so a new install() rule lands in the package with no change here.
set(QAV_PACKAGE_MAINTAINER "The qavshow authors <qavshow@users.noreply.github.com>"
  CACHE STRING "Maintainer field of the Debian package")

# The package's documents: the licence and the changelog, as Debian places them.
set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
file(STRINGS ${packaging_dir}/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^qavshow \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not begin with an entry for version "
    "${PROJECT_VERSION}: add one")
endif()
set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${packaging_dir}/changelog > ${changelog_gz}
  DEPENDS ${packaging_dir}/changelog)
add_custom_target(package_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${packaging_dir}/copyright ${changelog_gz} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qavshow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The qavshow authors")
set(CPACK_PACKAGE_CONTACT ${QAV_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QAV_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries come from dpkg-shlibdeps; Qt's platform plugins are loaded at run time, so
# the window needs them named.
if(QAV_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
endif()
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "viewer for QAV images, Windows bitmaps and GIF images
qavshow shows QAV images of every storage method (run-length and Huffman
coded palette pictures, fractal true-colour pictures), Windows bitmaps and
GIF images, and saves the shown picture as a Windows bitmap. A fractal
picture can be decoded again with a chosen number of passes, or watched
pass by pass.
.
The package also holds qavconv, which converts pictures as the viewer opens
and saves them, and qavenc, which encodes Windows bitmaps as QAV images.")
include(CPack)
