#include "modbus/SocketLayer.h"
#include "tests/modbus/SocketLayerTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace SocketLayerTest;

namespace {

TEST(SocketLayerResolver, DottedQuadResolvesWithoutQuery) {
    SocketLayer::setResolver({});
    EXPECT_EQ(SocketLayer::resolve("127.0.0.10"), ipv4("127.0.0.10"));
    EXPECT_EQ(SocketLayer::resolve("127.200.10.40"), ipv4("127.200.10.40"));
}

TEST(SocketLayerResolver, AReplacedResolverIsAskedInstead) {
    std::string asked;
    SocketLayer::setResolver([&](std::string_view host) -> std::optional<std::uint32_t> {
        asked = host;
        return ipv4("127.0.0.29");
    });
    EXPECT_EQ(SocketLayer::resolve("device.invalid"), ipv4("127.0.0.29"));
    EXPECT_EQ(asked, "device.invalid");
    SocketLayer::setResolver({});
    EXPECT_EQ(SocketLayer::resolve("127.0.0.10"), ipv4("127.0.0.10"));
}

} // namespace
