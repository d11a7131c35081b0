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
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME udpravik)
set(CPACK_PACKAGE_VENDOR "UDP/Ravik")
set(CPACK_PACKAGE_CONTACT "UDP/Ravik maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop monitor for one Modbus device over UDP")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads and writes the holding registers of one Modbus device over UDP (MBAP framing)
and shows them in a grid. Includes UdpRavikDevice, a device simulator to try it with.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
# The Qt runtime (its platform plugins, xcb and offscreen, come with libqt6gui6 on Debian)
# and the C++ runtime the binaries link. The window's fixed layout is drawn for Liberation
# Sans metrics; without it Qt falls back to a wider font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6widgets6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6core6 (>= 6.4), libstdc++6 (>= 11), libgcc-s1 (>= 3.0), libc6 (>= 2.34)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
include(CPack)
