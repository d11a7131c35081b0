# The Windows installer and the portable ZIP (cpack -G "NSIS;ZIP"): one program folder with
# both programs, every DLL, plugin, translation and font they load, and the licences of all of
# it. The rules name each file themselves, so a cross build needs no windeployqt.
install(TARGETS UdpRavik RUNTIME DESTINATION .)
if(TARGET UdpRavikDevice)
    install(TARGETS UdpRavikDevice RUNTIME DESTINATION .)
endif()

foreach(library Qt6::Core Qt6::Gui Qt6::Widgets)
    install(FILES $<TARGET_FILE:${library}> DESTINATION .)
endforeach()
# Qt looks for its plugins in folders named by their kind beside the program.
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QICOPlugin> DESTINATION imageformats)
# Text drawn by FreeType, as on Linux: GDI hints Liberation Sans into other widths and cuts
# descenders in the 18-px rows.
install(FILES ${CMAKE_SOURCE_DIR}/packaging/windows/qt.conf DESTINATION .)

# The compiler's runtime, shared by the program and the Qt DLLs.
if(MINGW)
    install(FILES ${MINGW_RUNTIME_DLLS} DESTINATION .)
else()
    set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION .)
    include(InstallRequiredSystemLibraries)
endif()

install(FILES ${QTBASE_DE_QM} DESTINATION translations)

# The window is drawn for Liberation Sans metrics, which no Windows has; the program loads the
# fonts from here.
set(fonts ${RAVIK_FONT_DIR}/LiberationSans-Regular.ttf ${RAVIK_FONT_DIR}/LiberationSans-Bold.ttf)
install(FILES ${fonts} DESTINATION fonts)

include(${CMAKE_CURRENT_LIST_DIR}/WindowsLicenses.cmake)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME UdpRavik)
set(CPACK_PACKAGE_VENDOR "UDP/Ravik")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop monitor for one Modbus device over UDP")
set(CPACK_PACKAGE_FILE_NAME UdpRavik-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY UdpRavik)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY UdpRavik)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
# The installer's own caption and the list of installed programs may say "UDP/Ravik"; the
# Start menu, where "/" would part folders, says it without.
set(CPACK_NSIS_PACKAGE_NAME "UDP/Ravik ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "UDP/Ravik")
set(CPACK_RAVIK_SHORTCUT_NAME "UDP Ravik")
set(CPACK_RAVIK_SHORTCUT_DESCRIPTION "Monitor für ein Modbus-Gerät über UDP")
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/app/resources/udpravik.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/app/resources/udpravik.ico)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/WindowsPackageGenerator.cmake)
# Every staged file gets the time of the commit, which both the installer and the ZIP keep.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/FixedFileTimes.cmake)
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_SOURCE_DIR}/packaging/windows)
# The installer takes only what it installs; make windows builds the tests before it.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
