#include "modbus/SocketLayer.h"

#include "modbus/SocketLayerPlatform.h"

#include <utility>

namespace SocketLayer {

namespace {
thread_local int lastErrorCode = 0;
Resolver customResolver;
} // namespace

void setResolver(Resolver r) {
    customResolver = std::move(r);
}

std::optional<std::uint32_t> resolve(std::string_view host) {
    return customResolver ? customResolver(host) : Platform::resolveHost(host);
}

void setLastError(int code) {
    lastErrorCode = code;
}

int lastError() {
    return lastErrorCode;
}

std::string errorText(int code) {
    return Platform::errorText(code);
}

} // namespace SocketLayer
