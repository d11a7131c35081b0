#pragma once

#include "tools/device/DeviceSocket.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#endif

#include <cstring>

// The socket calls' address structure, which both platforms share with their own headers.
inline sockaddr_in toSockaddr(const Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    std::memcpy(&address.sin_addr, endpoint.address.data(), endpoint.address.size());
    return address;
}

inline Endpoint fromSockaddr(const sockaddr_in& address) {
    Endpoint endpoint;
    std::memcpy(endpoint.address.data(), &address.sin_addr, endpoint.address.size());
    endpoint.port = ntohs(address.sin_port);
    return endpoint;
}
