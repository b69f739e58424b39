# Run by cpack on the installation it staged, before it packs it. The
# Debian package's section is games, and Debian keeps games in /usr/games:
# the demo and its launcher move there together, while aqtool, a tool for
# people who make data, stays in /usr/bin, as lintian is told. Other
# prefixes keep all three in bin, where their users' shells look.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
  file(MAKE_DIRECTORY "${usr}/games")
  foreach(program aquarium aquarium-show)
    file(RENAME "${usr}/bin/${program}" "${usr}/games/${program}")
  endforeach()
  file(MAKE_DIRECTORY "${usr}/share/lintian/overrides")
  file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/../dist/lintian-overrides" "${usr}/share/lintian/overrides/aquarium")
endif()
