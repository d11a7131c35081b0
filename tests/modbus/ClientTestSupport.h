#pragma once

#include "modbus/UDP_Modbus.h"
#include "tests/support/DialogRecorder.h"

#include <QPlainTextEdit>
#include <QStringList>

#include <gtest/gtest.h>

#include <span>
#include <vector>

// What the recording callbacks saw, in order.
struct ReadCall {
    std::uint16_t trId;
    std::vector<std::uint16_t> registers;
    bool operator==(const ReadCall&) const = default;
};
struct WriteCall {
    int function;
    std::uint16_t trId, address, value;
    bool operator==(const WriteCall&) const = default;
};
struct ErrorCall {
    int function;
    std::uint16_t trId;
    std::uint8_t code;
    bool operator==(const ErrorCall&) const = default;
};
struct Recorded {
    std::vector<ReadCall> reads;
    std::vector<WriteCall> writes;
    std::vector<ErrorCall> errors;
    std::size_t callbacks() const { return reads.size() + writes.size() + errors.size(); }
};
extern Recorded recorded;

// Registers the six recording callbacks in the order the monitor does.
void registerRecorders(TUDP_ModBus& client);

// The log line of a frame dump: two blanks and two upper-case digits per byte.
QString dumpLine(const QString& prefix, std::span<const std::uint8_t> bytes);

// Log panes attached, dialogs answered and recorded, the recorder emptied; the real resolver
// is back after each test.
class ClientTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    QStringList messages() const;
    QStringList errors() const;
    void clearPanes();
    // Polls until the client takes a datagram or reports a receive failure; false after 2 s.
    bool pollOnce(TUDP_ModBus& client);

    QPlainTextEdit messagePane;
    QPlainTextEdit errorPane;
    DialogRecorder dialogs;
};

// The receive failure line of a datagram over 2000 bytes. Windows words the system's text in
// its own language, so there the line takes it from the socket layer.
QString messageTooLongLine();

// Open descriptors (Windows: handles) of the test process: a socket left open shows here.
int openDescriptors();
