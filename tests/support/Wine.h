#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

// Whether the test runs under Wine, which binds a UDP socket to every address of its port
// and reports no refused UDP port.
inline bool underWine() {
#ifdef _WIN32
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}
