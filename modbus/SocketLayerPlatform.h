#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What each platform's socket file supplies to the common part of the socket layer.
namespace SocketLayer::Platform {

// The system's resolver; on failure it sets the last error and returns nullopt.
std::optional<std::uint32_t> resolveHost(std::string_view host);
// The platform's text for a socket or resolver error code; empty when it has none.
std::string errorText(int code);

} // namespace SocketLayer::Platform
