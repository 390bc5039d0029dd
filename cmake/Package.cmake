# A Debian package from the installed layout (cpack in the build folder):
# tessaly_<version>_amd64.deb. CPack reuses the build the tests ran on, so
# the package holds exactly the tested program; dpkg-shlibdeps computes the
# library dependencies from the binary.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Tessaly developers <developers@tessaly.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.tessaly.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The text mark's font is Debian's own, linked from the program's folder.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, fonts-dejavu-core")
# The toolkit's own words (stock buttons, the folder tree) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wx3.2-i18n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack indents the lines after the first and turns the empty one into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "prepare a folder of photos for publishing
Tessaly processes every JPEG picture of a folder, optionally with all its
subfolders, in one batch: it shrinks each picture into a square box, turns
it upright by the orientation its camera recorded, blends a watermark in
at one of nine positions and saves it again as JPEG at a chosen quality.

A picture is replaced only once its new version is complete on disk, and
only when it could be read whole.")
include(CPack)
