# The Debian package: `cpack -G DEB` in the build folder makes vellmark_VERSION_ARCH.deb from the
# install rules, with the dependencies that dpkg-shlibdeps finds in the programs (Qt 6, libcups).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellmark)
set(CPACK_PACKAGE_VENDOR "Vellmark")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vellmark developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "operator panel for the KSD Dotrix Ledger 9040 dot-matrix printer")
set(CPACK_PACKAGE_DESCRIPTION
    "Vellmark stands in for the operator panel of the KSD Dotrix Ledger 9040 printer. It edits
the settings that the printer stores (function selection, three stored paper forms, parameters
and the four memory switches) on seven tabs of one window, keeps sets of them in settings
files, and sends them to the printer through CUPS as one raw 180-byte job.

The command-line tool vellmark-cli writes, shows, changes and compares settings files and
sends them to one or many printers without the window.

The package installs the model's PPD, so that lpinfo -m and printer tools offer the
KSD Dotrix Ledger 9040 for new print queues. The window's texts are Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The raw socket backend and the driver listing (lpinfo -m) come with the scheduler; the
# window's Japanese texts need a Japanese font, and Qt's own button texts its translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "cups, fonts-ipafont-gothic | fonts-japanese-gothic, qt6-translations-l10n")
# The completion file is loaded by bash-completion's loader.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
