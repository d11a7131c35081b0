#include "modbus/SocketLayer.h"
#include "tests/modbus/SocketLayerTestSupport.h"
#include "tests/support/LoopbackDevice.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace SocketLayerTest;

namespace {

// Swaps a descriptor into place 0 (standard input) for one test and puts the original back.
class StandardInputSwap {
  public:
    StandardInputSwap() : saved(::dup(STDIN_FILENO)) {}
    ~StandardInputSwap() {
        ::dup2(saved, STDIN_FILENO);
        ::close(saved);
    }

  private:
    int saved;
};

TEST(SocketLayerHandles, HandleZeroIsNoSocketAndNeverReachesStandardInput) {
    StandardInputSwap swap;
    // Standard input becomes a UDP socket with a datagram waiting: it must stay there.
    const int standardInput = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in own{};
    own.sin_family = AF_INET;
    own.sin_addr.s_addr = ipv4("127.0.0.27");
    socklen_t ownSize = sizeof own;
    ASSERT_EQ(::bind(standardInput, reinterpret_cast<sockaddr*>(&own), sizeof own), 0);
    ::getsockname(standardInput, reinterpret_cast<sockaddr*>(&own), &ownSize);
    ASSERT_EQ(::sendto(standardInput, "x", 1, 0, reinterpret_cast<sockaddr*>(&own), ownSize), 1);
    ASSERT_EQ(::dup2(standardInput, STDIN_FILENO), STDIN_FILENO);
    ::close(standardInput);

    Buffer buffer{};
    EXPECT_FALSE(SocketLayer::receiveFrom(0, buffer));
    EXPECT_EQ(SocketLayer::lastError(), ENOTSOCK);
    SocketLayer::setLastError(0);
    EXPECT_FALSE(SocketLayer::sendTo(0, pattern(12), {own.sin_addr.s_addr, ntohs(own.sin_port)}));
    EXPECT_EQ(SocketLayer::lastError(), ENOTSOCK);
    SocketLayer::setLastError(0);
    EXPECT_FALSE(SocketLayer::setNonBlocking(0));
    EXPECT_EQ(SocketLayer::lastError(), ENOTSOCK);

    char waiting = 0;
    EXPECT_EQ(::recv(STDIN_FILENO, &waiting, 1, MSG_DONTWAIT), 1);
    EXPECT_EQ(waiting, 'x');
    EXPECT_EQ(::fcntl(STDIN_FILENO, F_GETFL) & O_NONBLOCK, 0);
}

TEST(SocketLayerHandles, ASocketNeverGetsAStandardDescriptor) {
    StandardInputSwap swap;
    ::close(STDIN_FILENO);
    const SocketLayer::Handle handle = SocketLayer::openUdpSocket();
    EXPECT_GT(handle, STDERR_FILENO);
    EXPECT_EQ(::fcntl(STDIN_FILENO, F_GETFD), -1) << "descriptor 0 was taken and left open";
    SocketLayer::closeSocket(handle);
}

TEST(SocketLayerDatagrams, UpTo2000BytesArriveWholeLongerOnesFailAndAreDropped) {
    LoopbackDevice device("127.0.0.10");
    LayerSocket client;
    ASSERT_TRUE(SocketLayer::sendTo(client.handle, pattern(12), port502("127.0.0.10")));
    ASSERT_EQ(device.receive(), pattern(12));
    device.reply(pattern(2000));
    device.reply(pattern(2001));
    device.reply(pattern(3));

    Buffer buffer{};
    ASSERT_EQ(receiveSoon(client.handle, buffer), 2000u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), pattern(2000).begin()));
    EXPECT_FALSE(receiveSoon(client.handle, buffer));
    EXPECT_EQ(SocketLayer::lastError(), SocketLayer::MessageTooLong);
    EXPECT_EQ(SocketLayer::errorText(SocketLayer::lastError()), "Message too long");
    EXPECT_EQ(receiveSoon(client.handle, buffer), 3u);
}

TEST(SocketLayerRefusedPort, ReportedOnceOnTheNextReceive) {
    LayerSocket client;
    ASSERT_TRUE(SocketLayer::sendTo(client.handle, pattern(12), port502("127.0.0.11")));
    Buffer buffer{};
    EXPECT_FALSE(receiveSoon(client.handle, buffer));
    EXPECT_EQ(SocketLayer::lastError(), ECONNREFUSED);
    EXPECT_EQ(SocketLayer::errorText(ECONNREFUSED), "Connection refused");
    EXPECT_FALSE(SocketLayer::receiveFrom(client.handle, buffer));
    EXPECT_EQ(SocketLayer::lastError(), SocketLayer::WouldBlock);
}

TEST(SocketLayerRefusedPort, QueuedRefusalsNeverCrowdOutAnswers) {
    LayerSocket client;
    // A small receive buffer: a few queued refusals would fill it if they stayed.
    const int small = 2048;
    ::setsockopt(client.handle, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(SocketLayer::sendTo(client.handle, pattern(12), port502("127.0.0.12")))
            << "send " << i << " failed: " << SocketLayer::lastError();
    Buffer buffer{};
    EXPECT_FALSE(receiveSoon(client.handle, buffer));
    EXPECT_EQ(SocketLayer::lastError(), ECONNREFUSED);

    LoopbackDevice device("127.0.0.12");
    ASSERT_TRUE(SocketLayer::sendTo(client.handle, pattern(12), port502("127.0.0.12")));
    ASSERT_TRUE(device.receive());
    device.reply(pattern(9));
    EXPECT_EQ(receiveSoon(client.handle, buffer), 9u);
}

TEST(SocketLayerRefusedPort, ARefusalNeverFailsTheNextSend) {
    LayerSocket client;
    ASSERT_TRUE(SocketLayer::sendTo(client.handle, pattern(12), port502("127.0.0.13")));
    std::this_thread::sleep_for(50ms); // the refusal comes back
    LoopbackDevice device("127.0.0.13");
    EXPECT_TRUE(SocketLayer::sendTo(client.handle, pattern(5), port502("127.0.0.13")));
    EXPECT_EQ(device.receive(), pattern(5));

    Buffer buffer{};
    EXPECT_FALSE(receiveSoon(client.handle, buffer));
    EXPECT_EQ(SocketLayer::lastError(), ECONNREFUSED);
}

TEST(SocketLayerResolver, NameCutShortByNulIsRefused) {
    SocketLayer::setResolver({});
    using namespace std::string_view_literals;
    EXPECT_FALSE(SocketLayer::resolve("127.0.0.1\0.example"sv));
    EXPECT_EQ(SocketLayer::lastError(), SocketLayer::ResolverErrorBase - EAI_NONAME);
}

struct ErrorTextRow {
    const char* name;
    int code;
    std::string text;
};

void PrintTo(const ErrorTextRow& row, std::ostream* out) {
    *out << "code " << row.code;
}

class SocketLayerErrorText : public testing::TestWithParam<ErrorTextRow> {};

TEST_P(SocketLayerErrorText, PlatformTextOrNone) {
    EXPECT_EQ(SocketLayer::errorText(GetParam().code), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SocketLayerErrorText,
    testing::Values(ErrorTextRow{"Success", 0, "Success"},
                    ErrorTextRow{"MessageTooLong", EMSGSIZE, "Message too long"},
                    ErrorTextRow{"NotASocket", ENOTSOCK, "Socket operation on non-socket"},
                    ErrorTextRow{"UnknownCodeHasNoText", 10051, ""},
                    ErrorTextRow{"NegativeCodeHasNoText", -1, ""},
                    ErrorTextRow{"ResolverNoName", SocketLayer::ResolverErrorBase - EAI_NONAME,
                                 gai_strerror(EAI_NONAME)},
                    ErrorTextRow{"ResolverTryAgain", SocketLayer::ResolverErrorBase - EAI_AGAIN,
                                 gai_strerror(EAI_AGAIN)},
                    ErrorTextRow{"UnknownResolverCodeHasNoText",
                                 SocketLayer::ResolverErrorBase + 999, ""}),
    [](const auto& info) { return info.param.name; });

} // namespace
