# The Debian package (scripts/package runs cpack -G DEB on a Release build).
# The version is the project's; the dependencies are found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nivora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)   # nivora_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "nivora maintainers <maintainers@users.noreply.c-seed-6d2c90ff.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${NIVORA_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "network traffic shown as pictures")
set(CPACK_PACKAGE_DESCRIPTION
  "nivora keeps up to 30000 Ethernet frames, from a recorded dataset or capture
file or live from a network adapter, decodes their Ethernet, IPv4, TCP and UDP
headers and plays them back like a video recorder, through a filter by
protocol, into seven views: text rainfall, byte frequency, binary rainfall,
parallel coordinates, a scatter plot, a combined view and a packet's detail.
.
nivora-cli reads, converts, captures and draws the same files without a
window. Capturing needs raw-capture rights, which the package does not grant.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not a library: the byte views write in "Courier New" and the thumbnails in
# "Liberation Sans", which this package's fonts provide (metric-compatible).
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
