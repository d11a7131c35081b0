# The licences of everything the program folder holds: the program's own beside it, the rest
# in licenses/, each text as Debian ships it on the machine that builds the installer.
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
if(NOT MINGW)
    return() # a Qt kit on Windows brings its own licence texts
endif()

# debian_copyright(FILE VARIABLE): Debian's copyright file of the package that installed FILE.
function(debian_copyright file variable)
    file(REAL_PATH ${file} path)
    execute_process(COMMAND dpkg-query --search ${path} OUTPUT_VARIABLE owner
        COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX REPLACE "[:,].*" "" package "${owner}")
    execute_process(COMMAND dpkg-query --listfiles ${package} OUTPUT_VARIABLE listed
        COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\n" ";" listed "${listed}")
    # The package's documentation folder, which may be a link to that of a package it
    # depends on, holds its copyright file.
    foreach(listed_file IN LISTS listed)
        if(listed_file MATCHES "/doc/${package}$" AND EXISTS ${listed_file}/copyright)
            set(${variable} ${listed_file}/copyright ${package} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    message(FATAL_ERROR "${package}, which installed ${file}, has no copyright file")
endfunction()

# The MinGW runtime DLLs (the GCC runtime library exception; winpthreads) and the fonts (OFL).
foreach(shipped IN LISTS MINGW_RUNTIME_DLLS fonts)
    debian_copyright(${shipped} found)
    list(GET found 1 package)
    list(GET found 0 copyright)
    list(FIND packages ${package} seen)
    if(seen EQUAL -1)
        list(APPEND packages ${package})
        install(FILES ${copyright} DESTINATION licenses RENAME ${package}.txt)
    endif()
endforeach()

# Qt: the LGPL-3.0 and the GPL-3.0 it builds on, and the record scripts/windows-qt kept of the
# source it built the shipped Qt from, with its patches.
foreach(licence LGPL-3 GPL-3)
    find_file(${licence}_TEXT ${licence} PATHS /usr/share/common-licenses REQUIRED
        NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    install(FILES ${${licence}_TEXT} DESTINATION licenses/Qt RENAME ${licence}.txt)
endforeach()
set(qt_source ${QT6_INSTALL_PREFIX}/source)
file(GLOB qt_patches ${qt_source}/*.patch)
install(FILES ${qt_source}/SOURCE.txt ${qt_patches} DESTINATION licenses/Qt)
install(FILES ${qt_source}/copyright DESTINATION licenses/Qt RENAME copyright.txt)
