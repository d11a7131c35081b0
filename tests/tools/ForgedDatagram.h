#pragma once

#include "wire/WireFormat.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <netinet/in.h>
#include <netinet/ip.h>
#include <netinet/udp.h>
#include <span>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

// Sends payload in one UDP datagram from <fromAddress>:502 to <toAddress>:502, as if a device
// on fromAddress had sent it, whoever holds that address. The IP and UDP headers are written
// here and sent through a raw socket, which needs CAP_NET_RAW: root in scripts/private-network.
inline void sendForgedDatagram(const std::string& fromAddress, const std::string& toAddress,
                               std::span<const std::uint8_t> payload) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    iphdr ip{};
    if (::inet_pton(AF_INET, fromAddress.c_str(), &ip.saddr) != 1 ||
        ::inet_pton(AF_INET, toAddress.c_str(), &to.sin_addr) != 1)
        throw std::invalid_argument("sendForgedDatagram: not IPv4: " + fromAddress + ", " +
                                    toAddress);
    ip.daddr = to.sin_addr.s_addr;
    ip.version = 4;
    ip.ihl = sizeof ip / 4;
    ip.ttl = 64;
    ip.protocol = IPPROTO_UDP;
    udphdr udp{};
    udp.source = udp.dest = htons(WireFormat::ModbusPort);
    udp.len = htons(static_cast<std::uint16_t>(sizeof udp + payload.size()));
    ip.tot_len = htons(static_cast<std::uint16_t>(sizeof ip + sizeof udp + payload.size()));
    // The kernel fills in the IP checksum; a UDP checksum of 0 means none, allowed on IPv4.
    std::vector<std::uint8_t> packet(sizeof ip + sizeof udp);
    std::memcpy(packet.data(), &ip, sizeof ip);
    std::memcpy(packet.data() + sizeof ip, &udp, sizeof udp);
    packet.insert(packet.end(), payload.begin(), payload.end());

    const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_RAW);
    if (fd < 0) throw std::runtime_error(std::string("raw socket: ") + std::strerror(errno));
    const ssize_t sent = ::sendto(fd, packet.data(), packet.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    const int error = errno;
    ::close(fd);
    if (sent != static_cast<ssize_t>(packet.size()))
        throw std::runtime_error(std::string("raw sendto: ") + std::strerror(error));
}
