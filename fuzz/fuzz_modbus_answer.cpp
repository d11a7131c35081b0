// libFuzzer target: any datagram through the answer classifier and through the client's
// handling of one received datagram, with every callback registered.
#include "core/RuntimeErrors.h"
#include "modbus/UDP_Modbus.h"
#include "shell/Log.h"
#include "wire/FrameCodec.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <cstdlib>

namespace {

using FrameCodec::Verdict;

volatile std::uint32_t sink;

void require(bool condition) {
    if (!condition) std::abort();
}

// Reads every register handed over, so ASan sees any beyond what was decoded.
void onRead(std::uint16_t trId, std::uint16_t count, const TModbusRegArray& registers) {
    require(count <= FrameCodec::MaxRegisters);
    for (std::uint16_t i = 0; i < count; ++i)
        sink = sink + registers[i];
    // An error raised by a handler must be caught by the client.
    if (trId == 0xDEAD) throw RangeError();
}

void onWrite(std::uint16_t trId, std::uint16_t address, std::uint16_t value) {
    sink = sink + trId + address + value;
}

void onError(std::uint16_t trId, std::uint8_t code) {
    sink = sink + trId + code;
}

void checkVerdict(std::span<const std::uint8_t> datagram, const FrameCodec::Answer& answer) {
    const auto size = static_cast<std::int64_t>(datagram.size());
    require((size < 9) == (answer.verdict == Verdict::TooShort));
    switch (answer.verdict) {
    case Verdict::ReadAnswer:
        require(answer.registerCount >= 0 && answer.registerCount <= FrameCodec::MaxRegisters);
        require(size == 9 + 2 * answer.registerCount);
        break;
    case Verdict::TooManyRegisters:
        require(answer.functionCode == 3 && answer.registerCount > FrameCodec::MaxRegisters);
        break;
    case Verdict::WriteSingle:
    case Verdict::WriteMultiple:
        require(size == 12);
        break;
    case Verdict::Exception:
        require(size == 9);
        break;
    case Verdict::WrongLength:
        require(answer.rest != 0);
        break;
    case Verdict::UnknownFunction:
    case Verdict::TooShort:
        break;
    }
}

// Panes for the log, kept short, so that error lines land there instead of in message boxes.
void attachPanes() {
    static int argc = 1;
    static char name[] = "fuzz_modbus_answer";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    static QPlainTextEdit messages;
    static QPlainTextEdit errors;
    for (QPlainTextEdit* pane : {&messages, &errors})
        pane->setMaximumBlockCount(100);
    Log::attachPanes(&messages, &errors);
}

// One client for the whole run, silent as in cyclic reading; it never sends, so its target
// is never contacted.
TUDP_ModBus& makeClient() {
    static const bool cyclic = true;
    Log::bindSilencer(&cyclic);
    attachPanes();
    static TUDP_ModBus instance(QStringLiteral("127.0.0.39"));
    instance.SetErrorCallbacks(onError, onError, onError);
    instance.SetWriteCallbacks(onWrite, onWrite);
    instance.SetReadCallback(onRead);
    return instance;
}

TUDP_ModBus& client() {
    static TUDP_ModBus& instance = makeClient();
    return instance;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> datagram(data, size);
    checkVerdict(datagram, FrameCodec::classify(datagram));
    client().handleDatagram(datagram);
    // What the event loop does between two datagrams: without it the panes' posted events
    // pile up, about half a kilobyte an input.
    QCoreApplication::sendPostedEvents();
    return 0;
}
