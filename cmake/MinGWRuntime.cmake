# The programs link the compiler's runtime DLLs, as the Qt DLLs do, so a process holds one C++
# runtime. These are the DLLs the installer ships and Wine finds for the tests.
set(MINGW_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    file(REAL_PATH ${path} path)
    list(APPEND MINGW_RUNTIME_DLLS ${path})
endforeach()

# Each build tree gets a Wine prefix of its own; the runtime DLLs' folders are on its path.
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run
    ${CMAKE_BINARY_DIR}/wine)
foreach(dll IN LISTS MINGW_RUNTIME_DLLS)
    get_filename_component(folder ${dll} DIRECTORY)
    list(APPEND CMAKE_CROSSCOMPILING_EMULATOR --dll-dir ${folder})
endforeach()
