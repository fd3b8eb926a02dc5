# Installation and the Debian package (cmake --install, cpack -G DEB).
include(GNUInstallDirs)
install(TARGETS gx520 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET gxctl)
  install(TARGETS gxctl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The program looks for its data files in ../share/gx520 beside itself.
install(FILES ${CMAKE_SOURCE_DIR}/data/limits.txt ${CMAKE_SOURCE_DIR}/data/print_data.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/gx520)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/gx520.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/gx520.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# gxctl serve as a systemd service per site, and its example settings.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/gx520-serve@.service DESTINATION lib/systemd/system)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/serve-site.ini DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/gx520/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gx520)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "GX520 program team <gx520@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Program, monitor and log GX510 and GX520 generator-set controllers")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Reads a controller's profile over a serial line, an RS485 network, a
modem or a serial gateway on TCP, edits it within the ranges of limits.txt,
writes it back, saves, opens and prints it; monitors running sets live;
answers the fault calls of remote controllers into a call log. gxctl does
the same work from the command line; gxctl serve publishes the controllers
of a line over MQTT, with Home Assistant discovery (gx520-serve@SITE).
.
To use a serial port (or a USB serial adapter) the user must be in the
group dialout: sudo adduser $USER dialout, then log in again.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "mosquitto, mosquitto-clients")
# The system user of gx520-serve@SITE is made by the postinst script.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
