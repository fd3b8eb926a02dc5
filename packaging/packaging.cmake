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

# The package's maintainer: the project's own address.
set(GX_MAINTAINER "Seed 3cbf80f8 maintainers <maintainers@users.noreply.c-seed-3cbf80f8.example>")

# The documents Debian expects: the machine-readable copyright and the
# changelog (compressed, as a native package has it).
set(GX_PACKAGE_DOCS ${CMAKE_BINARY_DIR}/package-doc)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${GX_PACKAGE_DOCS}/changelog @ONLY)
add_custom_command(OUTPUT ${GX_PACKAGE_DOCS}/changelog.gz
                   COMMAND gzip -9nc ${GX_PACKAGE_DOCS}/changelog > ${GX_PACKAGE_DOCS}/changelog.gz
                   DEPENDS ${GX_PACKAGE_DOCS}/changelog VERBATIM)
install(FILES ${GX_PACKAGE_DOCS}/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/gx520)

# The manual pages, made by help2man from each program's --help and --version:
# the options are written down once.
find_program(GX_HELP2MAN help2man)
set(GX_DOC_FILES ${GX_PACKAGE_DOCS}/changelog.gz)
if(GX_HELP2MAN)
  set(GX_MAN_NAME_gx520 "program, monitor and log GX510 and GX520 generator-set controllers")
  set(GX_MAN_NAME_gxctl "the work of the GX510-520 program from the command line")
  foreach(prog gx520 gxctl)
    if(TARGET ${prog})
      add_custom_command(OUTPUT ${GX_PACKAGE_DOCS}/${prog}.1.gz
                         COMMAND ${GX_HELP2MAN} --no-info --section=1 "--name=${GX_MAN_NAME_${prog}}"
                                 --output=${GX_PACKAGE_DOCS}/${prog}.1 $<TARGET_FILE:${prog}>
                         COMMAND gzip -9nf ${GX_PACKAGE_DOCS}/${prog}.1
                         DEPENDS ${prog} VERBATIM)
      list(APPEND GX_DOC_FILES ${GX_PACKAGE_DOCS}/${prog}.1.gz)
      install(FILES ${GX_PACKAGE_DOCS}/${prog}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endif()
  endforeach()
else()
  message(WARNING "help2man is missing (scripts/setup.sh installs it): the package will have no manual pages")
endif()
add_custom_target(package-docs ALL DEPENDS ${GX_DOC_FILES})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/gx520.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# gxctl serve as a systemd service per site, and its example settings.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/gx520-serve@.service DESTINATION lib/systemd/system)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/serve-site.ini DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/gx520/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gx520)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "${GX_MAINTAINER}")
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
