# `cpack -G DEB` in the build folder makes sorvanel_VERSION_ARCH.deb from the
# install rules. Its library dependencies are read off the binaries by
# dpkg-shlibdeps; what the show needs beyond linked libraries is named here.
# (CPack adds an ldconfig call on install and removal because the module lies
# under /usr/lib; it is harmless for a library nothing links.)
set(CPACK_PACKAGE_NAME sorvanel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Sorvanel developers")
set(CPACK_PACKAGE_CONTACT "The Sorvanel developers <sorvanel@sorvanel.example>")
# Debian's control file has no licence field: the licence travels as the
# package's /usr/share/doc/sorvanel/copyright (installed by desktop/), and
# CPack's generators that show a licence show the same file.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D demo in step with its own tracker song")
set(CPACK_PACKAGE_DESCRIPTION
    "A 26-minute scripted show of extruded 3D text, textured mesh figures, sprite\n"
    "fountains and fades, drawn with OpenGL in step with an original tracker song.\n"
    "The launcher, talvenor, plays it in a window or full screen, and renders it\n"
    "offscreen to video with sound or to single pictures.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The 3D letters need a heavy face (Roboto Black stands in for Arial Black);
# the Mesa drivers draw where no other GL driver is installed, and offscreen.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-roboto-unhinted, libgl1-mesa-dri, libegl-mesa0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${SORVANEL_HOMEPAGE}")
set(CPACK_STRIP_FILES ON)
include(CPack)
