# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which has
# std::thread); the test programs run under Wine through scripts/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

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
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run
    ${CMAKE_BINARY_DIR}/wine)
foreach(dll IN LISTS MINGW_RUNTIME_DLLS)
    get_filename_component(folder ${dll} DIRECTORY)
    list(APPEND CMAKE_CROSSCOMPILING_EMULATOR --dll-dir ${folder})
endforeach()
