#include "tests/support/LoopbackDevice.h"

#include "tools/device/RequestHandler.h"

#include <cstring>
#include <stdexcept>

namespace {

Endpoint ownEndpoint(const std::string& address, std::uint16_t port) {
    const auto quad = parseDottedQuad(address);
    if (!quad) throw std::invalid_argument("LoopbackDevice: not an IPv4 address: " + address);
    return {*quad, port};
}

// Both hold the address in the order it goes on the wire.
Endpoint toEndpoint(const LoopbackDevice::Peer& peer) {
    Endpoint endpoint{{}, peer.port};
    std::memcpy(endpoint.address.data(), &peer.address, endpoint.address.size());
    return endpoint;
}

LoopbackDevice::Peer toPeer(const Endpoint& endpoint) {
    LoopbackDevice::Peer peer{0, endpoint.port};
    std::memcpy(&peer.address, endpoint.address.data(), endpoint.address.size());
    return peer;
}

} // namespace

LoopbackDevice::LoopbackDevice(const std::string& address, std::uint16_t port)
    : socket(ownEndpoint(address, port)) {}

std::optional<std::vector<std::uint8_t>>
LoopbackDevice::receive(std::chrono::milliseconds timeout) {
    auto datagram = socket.receive(timeout);
    if (!datagram) return std::nullopt;
    lastSender = toPeer(datagram->sender);
    return std::move(datagram->bytes);
}

void LoopbackDevice::reply(std::span<const std::uint8_t> bytes) {
    sendTo(lastSender, bytes);
}

void LoopbackDevice::sendTo(const Peer& peer, std::span<const std::uint8_t> bytes) {
    if (const int error = socket.send(bytes, toEndpoint(peer)))
        throw std::runtime_error("LoopbackDevice: cannot send to " +
                                 endpointText(toEndpoint(peer)) + ": " + errorText(error));
}

std::optional<std::vector<std::uint8_t>> LoopbackDevice::answer(std::chrono::milliseconds timeout) {
    auto request = receive(timeout);
    if (!request) return std::nullopt;
    const auto answer = RequestHandler::answer(*request, registers);
    if (!answer.empty()) reply(answer);
    return request;
}

int LoopbackDevice::serve() {
    while (answer(std::chrono::milliseconds(0)))
        ++served;
    return served;
}
