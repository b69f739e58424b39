# What `cmake --install build --prefix P` puts under P: the demo and aqtool,
# the launcher that plays the installed show from the user's data folder,
# the show itself, the menu's desktop entry and icon, the manual pages, and
# the copyright file and changelog. The launcher finds the demo beside
# itself and the show in its folder's ../share/aquarium, so the Debian
# package may move the two programs together (cmake/debian_layout.cmake).
install(TARGETS aquarium aqtool RUNTIME DESTINATION bin)
install(PROGRAMS dist/aquarium-show DESTINATION bin)
install(FILES ${CMAKE_BINARY_DIR}/dovra.kzp DESTINATION share/aquarium)
install(FILES dist/aquarium.desktop DESTINATION share/applications)
install(FILES ${CMAKE_BINARY_DIR}/aquarium.png DESTINATION share/icons/hicolor/256x256/apps)

# Who makes the Debian package: CPack's own variable, so that a packager sets
# it as for any project, and the changelog's signature too.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Aquarium team <aquarium@example.org>" CACHE STRING
    "Who makes the Debian package, as Name <address>: its Maintainer, and the changelog's signature")
configure_file(dist/changelog.in ${CMAKE_BINARY_DIR}/dist/changelog @ONLY)

# Pages and changelog compressed as Debian keeps them: at gzip's best, and
# without a name or time stamp, so that every build makes the same bytes.
set(COMPRESSED "")
foreach(source man/aquarium.6 man/aquarium-show.6 man/aqtool.1 ${CMAKE_BINARY_DIR}/dist/changelog)
  get_filename_component(name ${source} NAME)
  set(copy ${CMAKE_BINARY_DIR}/compressed/${name})
  add_custom_command(OUTPUT ${copy}.gz
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
                     COMMAND gzip -9nf ${copy}
                     DEPENDS ${source} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
  list(APPEND COMPRESSED ${copy}.gz)
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${COMPRESSED})

install(FILES ${CMAKE_BINARY_DIR}/compressed/aquarium.6.gz ${CMAKE_BINARY_DIR}/compressed/aquarium-show.6.gz
        DESTINATION share/man/man6)
install(FILES ${CMAKE_BINARY_DIR}/compressed/aqtool.1.gz DESTINATION share/man/man1)
install(FILES dist/copyright ${CMAKE_BINARY_DIR}/compressed/changelog.gz DESTINATION share/doc/aquarium)

# The same files as a Debian package.
include(cmake/debian_package.cmake)
