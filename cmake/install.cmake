# What `cmake --install build --prefix P` puts under P: the demo and aqtool,
# the launcher that plays the installed show from the user's data folder,
# the show itself, the menu's desktop entry and icon, and the manual pages.
# The launcher finds the demo beside itself and the show in its folder's
# ../share/aquarium, so the Debian package may move the two programs
# together (cmake/debian_layout.cmake).
install(TARGETS aquarium aqtool RUNTIME DESTINATION bin)
install(PROGRAMS dist/aquarium-show DESTINATION bin)
install(FILES ${CMAKE_BINARY_DIR}/dovra.kzp DESTINATION share/aquarium)
install(FILES dist/aquarium.desktop DESTINATION share/applications)
install(FILES ${CMAKE_BINARY_DIR}/aquarium.png DESTINATION share/icons/hicolor/256x256/apps)
install(FILES man/aquarium.6 DESTINATION share/man/man6)
install(FILES man/aqtool.1 DESTINATION share/man/man1)

# The same files as a Debian package.
include(cmake/debian_package.cmake)
