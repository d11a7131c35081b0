#include "tests/modbus/ClientTestSupport.h"

#include "modbus/ErrorText.h"
#include "modbus/SocketLayer.h"
#include "shell/Log.h"
#include "tests/support/Operator.h"

#include <chrono>
#include <filesystem>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

Recorded recorded;

namespace {

void onRead(std::uint16_t trId, std::uint16_t count, const TModbusRegArray& registers) {
    recorded.reads.push_back({trId, {registers.begin(), registers.begin() + count}});
}

template <int Function>
void onWrite(std::uint16_t trId, std::uint16_t address, std::uint16_t value) {
    recorded.writes.push_back({Function, trId, address, value});
}

template <int Function> void onError(std::uint16_t trId, std::uint8_t code) {
    recorded.errors.push_back({Function, trId, code});
}

} // namespace

void registerRecorders(TUDP_ModBus& client) {
    client.SetErrorCallbacks(onError<3>, onError<6>, onError<16>);
    client.SetWriteCallbacks(onWrite<6>, onWrite<16>);
    client.SetReadCallback(onRead);
}

QString dumpLine(const QString& prefix, std::span<const std::uint8_t> bytes) {
    QString line = prefix;
    for (std::uint8_t byte : bytes)
        line += QStringLiteral("  %1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    return line;
}

void ClientTest::SetUp() {
    recorded = {};
    Log::attachPanes(&messagePane, &errorPane);
}

void ClientTest::TearDown() {
    Log::detachPanes();
    SocketLayer::setResolver({});
}

QStringList ClientTest::messages() const {
    return Operator::linesOf(&messagePane);
}

QStringList ClientTest::errors() const {
    return Operator::linesOf(&errorPane);
}

void ClientTest::clearPanes() {
    messagePane.clear();
    errorPane.clear();
}

bool ClientTest::pollOnce(TUDP_ModBus& client) {
    const auto before = messagePane.document()->blockCount() + errorPane.document()->blockCount();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline) {
        client.PollReceive();
        if (messagePane.document()->blockCount() + errorPane.document()->blockCount() != before)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

QString messageTooLongLine() {
#ifdef _WIN32
    const std::string text = SocketLayer::errorText(SocketLayer::MessageTooLong);
    return QStringLiteral("..recvFrom: 10040=") +
           QString::fromStdString(std::string(trimErrorText(text)));
#else
    return QStringLiteral("..recvFrom: 90=Message too long");
#endif
}

int openDescriptors() {
#ifdef _WIN32
    DWORD handles = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handles);
    return static_cast<int>(handles);
#else
    return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                          std::filesystem::directory_iterator()));
#endif
}
