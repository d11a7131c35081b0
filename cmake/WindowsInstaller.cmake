# The Windows installer (cpack -G NSIS): both programs in bin with every DLL, plugin,
# translation and font they load, a Start-menu entry and an uninstaller; /S installs silently.
# The rules name each file themselves, so a cross build needs no windeployqt.
install(TARGETS UdpRavik RUNTIME DESTINATION bin)
if(TARGET UdpRavikDevice)
    install(TARGETS UdpRavikDevice RUNTIME DESTINATION bin)
endif()

foreach(library Qt6::Core Qt6::Gui Qt6::Widgets)
    install(FILES $<TARGET_FILE:${library}> DESTINATION bin)
endforeach()
# Qt looks for its plugins in folders named by their kind beside the program.
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION bin/platforms)
install(FILES $<TARGET_FILE:Qt6::QICOPlugin> DESTINATION bin/imageformats)
# Text drawn by FreeType, as on Linux: GDI hints Liberation Sans into other widths and cuts
# descenders in the 18-px rows.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/windows/qt.conf DESTINATION bin)

# The compiler's runtime, shared by the program and the Qt DLLs.
if(MINGW)
    install(FILES ${MINGW_RUNTIME_DLLS} DESTINATION bin)
else()
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION bin)
    include(InstallRequiredSystemLibraries)
endif()

install(FILES ${QTBASE_DE_QM} DESTINATION bin/translations)

# The window is drawn for Liberation Sans metrics, which no Windows has; the program loads the
# fonts from here. Their licence goes with them.
install(FILES ${RAVIK_FONT_DIR}/LiberationSans-Regular.ttf ${RAVIK_FONT_DIR}/LiberationSans-Bold.ttf
    DESTINATION bin/fonts)
if(EXISTS /usr/share/doc/fonts-liberation2/copyright)
    install(FILES /usr/share/doc/fonts-liberation2/copyright DESTINATION bin/fonts
        RENAME LICENSE.txt)
endif()

# CPack's NSIS installers are 32-bit unless told otherwise, and a 64-bit program belongs in the
# 64-bit Program Files: the template CMake ships, with the target set first (after its BOM).
set(cmake_template ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in)
file(READ ${cmake_template} template)
string(SUBSTRING "${template}" 0 3 byte_order_mark)
string(SUBSTRING "${template}" 3 -1 template)
file(WRITE ${CMAKE_BINARY_DIR}/nsis/NSIS.template.in
    "${byte_order_mark}Target amd64-unicode\n${template}")
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_BINARY_DIR}/nsis)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME UdpRavik)
set(CPACK_PACKAGE_VENDOR "UDP/Ravik")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop monitor for one Modbus device over UDP")
set(CPACK_PACKAGE_FILE_NAME UdpRavik-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY UdpRavik)
set(CPACK_PACKAGE_EXECUTABLES UdpRavik UdpRavik)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "UDP/Ravik ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "UDP/Ravik ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/app/resources/udpravik.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/app/resources/udpravik.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME bin\\\\UdpRavik.exe)
# The installer takes only what it installs; make windows builds the tests before it.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
