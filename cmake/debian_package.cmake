# `cpack -G DEB` in the build folder makes aquarium_VERSION_ARCH.deb with
# what cmake/install.cmake installs, under /usr, the demo and its launcher
# in /usr/games (cmake/debian_layout.cmake). Its Depends come from
# dpkg-shlibdeps, none typed here: CPack's for the libraries the programs
# link, and gl_depends.cmake's for the GL and GLU libraries the demo opens at
# run time. Its Maintainer is CPACK_DEBIAN_PACKAGE_MAINTAINER, a cache
# variable of cmake/install.cmake.
set(CPACK_PACKAGE_NAME aquarium)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D demo: a race in 51 scenes, played with its music")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A non-interactive show of keyframed 3D scenes played one after the other
in step with one music track, drawn with OpenGL in a 640 x 480 full-screen
window: an intro, a race through a canyon, along a great wall and through a
city at night, the pit garage, the finish and the credits. The geometry is
computed on the processor. aquarium-show plays the installed show from the
menu or the shell, at the desktop's size; aqtool helps people who make data
for it.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/debian_layout.cmake)

# Built only when a package is made: the default build does not need it.
add_executable(gl_libraries EXCLUDE_FROM_ALL dist/gl_libraries.c)
target_link_libraries(gl_libraries PRIVATE -l:libGL.so.1 -l:libGLU.so.1)
target_link_options(gl_libraries PRIVATE -Wl,--no-as-needed)
set(GL_DEPENDS_SCRIPT ${CMAKE_BINARY_DIR}/gl_depends.cmake)
configure_file(cmake/gl_depends.cmake.in ${GL_DEPENDS_SCRIPT}.in @ONLY)
file(GENERATE OUTPUT ${GL_DEPENDS_SCRIPT} INPUT ${GL_DEPENDS_SCRIPT}.in)
set(CPACK_PROJECT_CONFIG_FILE ${GL_DEPENDS_SCRIPT})

include(CPack)
