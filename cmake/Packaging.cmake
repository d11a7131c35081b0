# Windows has an installer of its own (cpack -G NSIS).
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/WindowsInstaller.cmake)
    return()
endif()

# Installation as a Linux desktop program, and its Debian package (cpack -G DEB).
include(GNUInstallDirs)

install(TARGETS UdpRavik RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET UdpRavikDevice)
    install(TARGETS UdpRavikDevice RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(UNIX AND NOT APPLE)
    install(FILES ${CMAKE_SOURCE_DIR}/app/resources/udpravik.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${CMAKE_SOURCE_DIR}/app/resources/udpravik.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
    # What a software centre shows of the program: summary, description and screenshot.
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.example.udpravik.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The package is made only in the tree make package configures, as the device's manual page
# needs help2man, which building and running the programs do not.
option(RAVIK_PACKAGE "Build the Debian package's documents and enable cpack (make package)" OFF)
if(NOT RAVIK_PACKAGE)
    return()
endif()

find_program(HELP2MAN help2man REQUIRED)
# Without it cpack would make a package that depends on nothing.
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps REQUIRED)
find_program(GZIP gzip REQUIRED)
set(docs ${CMAKE_CURRENT_BINARY_DIR}/packaging)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog ${docs}/changelog COPYONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/UdpRavik.1 ${docs}/UdpRavik.1 @ONLY)
# The device prints its usage but has no --version, so help2man is given the version.
add_custom_command(OUTPUT ${docs}/UdpRavikDevice.1
    COMMAND ${HELP2MAN} --no-info --version-string=${PROJECT_VERSION}
        "--name=Modbus/UDP device simulator to try UdpRavik with"
        --include=${CMAKE_SOURCE_DIR}/packaging/UdpRavikDevice.h2m
        --output=${docs}/UdpRavikDevice.1 $<TARGET_FILE:UdpRavikDevice>
    DEPENDS UdpRavikDevice ${CMAKE_SOURCE_DIR}/packaging/UdpRavikDevice.h2m VERBATIM)
# -n leaves out the name and time stamp, so the same text gives the same file.
foreach(document changelog UdpRavik.1 UdpRavikDevice.1)
    add_custom_command(OUTPUT ${docs}/${document}.gz
        COMMAND ${GZIP} -9nkf ${docs}/${document}
        DEPENDS ${docs}/${document} VERBATIM)
    list(APPEND compressed ${docs}/${document}.gz)
endforeach()
add_custom_target(package_docs ALL DEPENDS ${compressed})

install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${docs}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/udpravik)
install(FILES ${docs}/UdpRavik.1.gz ${docs}/UdpRavikDevice.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME udpravik)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME udpravik)
set(CPACK_PACKAGE_VENDOR "UDP/Ravik")
set(CPACK_PACKAGE_CONTACT "UDP/Ravik maintainers <udpravik@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop monitor for one Modbus device over UDP")
# Lines of at most 80 characters, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Reads and writes the holding registers of one Modbus device over UDP (MBAP
framing) and shows them in a grid. Includes UdpRavikDevice, a device simulator
to try it with.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
# The shared libraries the binaries link (Qt, whose platform plugins come with libqt6gui6 on
# Debian, and the C and C++ runtimes), with their versions, as dpkg-shlibdeps reads them from
# the binaries. CPACK_DEBIAN_PACKAGE_DEPENDS is for what it cannot see, and is added to them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts in German (the context menus of the panes and edits).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# The window's fixed layout is drawn for Liberation Sans metrics; without it Qt falls back to a
# wider font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
include(CPack)
