# `cpack -G DEB` in the build folder makes a Debian package of what `cmake --install`
# puts in place. The libraries it needs are found by dpkg-shlibdeps, not listed here.
set(CPACK_PACKAGE_NAME valvix)
set(CPACK_PACKAGE_VENDOR "The Valvix developers")
set(CPACK_PACKAGE_CONTACT "The Valvix developers <valvix@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fit a triode model to a scanned data-sheet chart")
# The package's long description: paragraphs parted by an empty line.
set(CPACK_PACKAGE_DESCRIPTION
    "Valvix turns the published plate characteristics of a vacuum-tube triode into
a circuit-simulator model: import a picture of a data-sheet plate-curve chart,
line the plot frame up with its axes, and fit the five parameters of the triode
plate-current equation until the computed curves lie over the printed ones.

The fitted design is saved to a small text file, examined as a clean chart with
readouts, printed, and exported as a SPICE subcircuit and a test schematic.
valvix-cli does the same work without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# JPEG, GIF and BMP pictures and the desktop's display come with libqt6gui6, which
# dpkg-shlibdeps finds; the further Qt picture formats and ngspice (the simulator the
# exported models are checked in) are welcome but not needed to run.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, ngspice")
# Reading a chart's numbers needs Tesseract's English data beside its library.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "tesseract-ocr-eng")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
