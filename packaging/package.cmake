# The Debian package, built by CPack from the install rules: cpack in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvtool)
set(CPACK_PACKAGE_VENDOR "ORVANTA")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for the devices on an ORVANTA bus")
# The extended description in lines that fit 80 columns, as Debian wants them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "orvtool finds the devices on an ORVANTA bus through the ORV-NET USB\n"
    "interface, gives them addresses, reads, edits and stores the configurations\n"
    "of ORV-Input8 and ORV-RS232 devices and replaces firmware. orvtool-sim is\n"
    "the same program on a simulated bus. orvctl does the same from the command\n"
    "line and backs up and restores every configuration on a bus.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ORVANTA TOOL maintainers <maintainers@orvanta.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The library packages (wx, libstdc++, libc) come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
