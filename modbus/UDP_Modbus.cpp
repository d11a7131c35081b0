#include "modbus/UDP_Modbus.h"

#include "core/CheckedMath.h"
#include "core/HexDigits.h"
#include "modbus/ErrorText.h"
#include "modbus/TimerResolution.h"
#include "shell/Dialogs.h"
#include "shell/EventGuard.h"
#include "shell/Log.h"
#include "shell/TimerSwitch.h"
#include "wire/WireFormat.h"

#include <QTimer>

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace {

constexpr int PollIntervalMs = 20;

// Two blanks and two upper-case hexadecimal digits per byte.
QString hexDump(std::span<const std::uint8_t> bytes) {
    QString text(static_cast<qsizetype>(4 * bytes.size()), u' ');
    QChar* out = text.data();
    for (std::uint8_t byte : bytes) {
        const std::array<char, 2> digits = hexDigits<2>(byte);
        out[2] = QLatin1Char(digits[0]);
        out[3] = QLatin1Char(digits[1]);
        out += 4;
    }
    return text;
}

QString systemErrorText(int code) {
    const std::string text = SocketLayer::errorText(code);
    const std::string_view trimmed = trimErrorText(text);
    return QString::fromLocal8Bit(trimmed.data(), static_cast<qsizetype>(trimmed.size()));
}

void deliverWrite(TModbusWriteProc callback, const FrameCodec::Answer& answer) {
    if (callback) callback(answer.trId, answer.address, answer.value);
}

void reportWrongLength(const FrameCodec::Answer& answer) {
    const QString rest = QString::number(answer.rest);
    if (answer.functionCode == WireFormat::ReadHoldingRegisters)
        LogError(QStringLiteral("F3 Antwort mit falscher länge,  rest=") + rest);
    else
        LogError(QStringLiteral("AntwortDaten mit falscher Länge,  rest=") + rest);
}

void reportReceiveFailure() {
    const int code = SocketLayer::lastError();
    if (code == SocketLayer::WouldBlock) return;
    LogError(QStringLiteral("..recvFrom: ") + QString::number(code) + u'=' + systemErrorText(code));
}

} // namespace

TUDP_ModBus::TUDP_ModBus(const QString& target) : timer(new QTimer(this)) {
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(PollIntervalMs);
    connect(timer, &QTimer::timeout, this, &TUDP_ModBus::OnPollTimer);
    OpenSocket(target);
}

TUDP_ModBus::~TUDP_ModBus() {
    SocketLayer::closeSocket(Sock);
}

void TUDP_ModBus::OpenSocket(const QString& target) {
    Sock = SocketLayer::openUdpSocket();
    if (Sock == 0) return LogLastError(QStringLiteral("invalid_socket create.."));
    const auto address = SocketLayer::resolve(target.toStdString());
    if (!address) return giveUpTarget(target);
    TargetAddr = {*address, WireFormat::ModbusPort};
    SocketLayer::setNonBlocking(Sock);
    ready = true;
}

void TUDP_ModBus::giveUpTarget(const QString& target) {
    LogLastError(QStringLiteral("GetHostByName.."));
    Dialogs::showMessage(QStringLiteral("Adresse von  \"") + target +
                         QStringLiteral("\"  nicht gefunden."));
    SocketLayer::closeSocket(std::exchange(Sock, 0));
}

void TUDP_ModBus::SetErrorCallbacks(TModbusErrorProc f3, TModbusErrorProc f6,
                                    TModbusErrorProc f16) {
    F3ErrorProc = f3;
    F6ErrorProc = f6;
    F16ErrorProc = f16;
}

void TUDP_ModBus::SetWriteCallbacks(TModbusWriteProc f6, TModbusWriteProc f16) {
    F6AnswerProc = f6;
    F16AnswerProc = f16;
}

void TUDP_ModBus::SetReadCallback(TModbusReadProc f3) {
    F3AnswerProc = f3;
}

std::int32_t TUDP_ModBus::Send_F3(std::uint16_t trId, std::uint16_t start, std::uint16_t count) {
    const auto size = FrameCodec::buildF3(SendBuf, trId, start, count);
    if (!size) return 1;
    LogMsgWhenShown(
        [&] { return QStringLiteral("Send F3: ") + hexDump(std::span(SendBuf).first(*size)); });
    sendFrame(*size, QStringLiteral("Error: Send_F3.."));
    return 0;
}

void TUDP_ModBus::Send_F6(std::uint16_t trId, std::uint16_t address, std::uint16_t value) {
    const std::size_t size = FrameCodec::buildF6(SendBuf, trId, address, value);
    LogMsg(QStringLiteral("Send F6"));
    sendFrame(size, QStringLiteral("Error: Send_F6.."));
}

std::int32_t TUDP_ModBus::Send_F16(std::uint16_t trId, std::uint16_t start, std::uint16_t count,
                                   const TModbusRegArray& values) {
    const auto size = FrameCodec::buildF16(SendBuf, trId, start, count, values);
    if (!size) return 1;
    LogMsg(QStringLiteral("Send F16"));
    sendFrame(*size, QStringLiteral("Error: Send_F16.."));
    return 0;
}

// Sending never waits for an answer: the poll timer picks it up, whether the send worked or not.
void TUDP_ModBus::sendFrame(std::size_t size, const QString& failureText) {
    if (!SocketLayer::sendTo(Sock, std::span(SendBuf).first(size), TargetAddr))
        LogLastError(failureText);
    switchOn(*timer);
}

void TUDP_ModBus::OnPollTimer() {
    EventGuard::run([this] { PollReceive(); });
}

void TUDP_ModBus::PollReceive() {
    if (Sock == 0) return;
    const auto size = SocketLayer::receiveFrom(Sock, RecvBuf);
    if (!size) return reportReceiveFailure();
    handleReceived(*size);
}

void TUDP_ModBus::handleDatagram(std::span<const std::uint8_t> datagram) {
    // As from the socket: a datagram that does not fit the buffer fails the receive.
    if (datagram.size() > RecvBuf.size()) {
        SocketLayer::setLastError(SocketLayer::MessageTooLong);
        return reportReceiveFailure();
    }
    std::copy(datagram.begin(), datagram.end(), RecvBuf.begin());
    handleReceived(datagram.size());
}

void TUDP_ModBus::handleReceived(std::size_t size) {
    LogMsgWhenShown([size] { return QStringLiteral("Received: anz=") + QString::number(size); });
    if (size < FrameCodec::MinAnswerSize) return;
    const auto datagram = std::span<const std::uint8_t>(RecvBuf).first(size);
    const FrameCodec::Answer answer = FrameCodec::classify(datagram);
    LogMsgWhenShown([datagram] { return QStringLiteral("Empfangen_1: ") + hexDump(datagram); });
    // An error raised by a callback is reported here and never reaches the event loop.
    try {
        dispatch(answer, datagram);
    } catch (const std::exception& error) {
        LogError(QStringLiteral("Receive Exception: CallBack unInitialisiert ? ") +
                 QString::fromUtf8(error.what()));
    }
}

void TUDP_ModBus::dispatch(const FrameCodec::Answer& answer,
                           std::span<const std::uint8_t> datagram) {
    using FrameCodec::Verdict;
    if (answer.functionCode == WireFormat::ReadHoldingRegisters)
        LogMsgWhenShown([&answer] {
            return QStringLiteral("anzReg=") + QString::number(answer.registerCount);
        });
    switch (answer.verdict) {
    case Verdict::ReadAnswer:
        return deliverRead(answer, datagram);
    case Verdict::WriteSingle:
        return deliverWrite(F6AnswerProc, answer);
    case Verdict::WriteMultiple:
        return deliverWrite(F16AnswerProc, answer);
    case Verdict::Exception:
        return deliverException(answer);
    case Verdict::TooManyRegisters:
        return LogError(QStringLiteral("F3 Antwort mit mehr als ") +
                        QString::number(FrameCodec::MaxRegisters) +
                        QStringLiteral(" Register..wird verworfen"));
    case Verdict::WrongLength:
        return reportWrongLength(answer);
    case Verdict::UnknownFunction:
        return LogError(QStringLiteral("Unbekannte UDP/Modbus Antwort, FC=") +
                        QString::number(answer.functionCode));
    case Verdict::TooShort:
        return;
    }
}

void TUDP_ModBus::deliverRead(const FrameCodec::Answer& answer,
                              std::span<const std::uint8_t> datagram) {
    FrameCodec::decodeRegisters(datagram, answer, RecvRegisters);
    if (!F3AnswerProc) return LogError(QStringLiteral("F3 antwort CallBack unInitialisiert !"));
    F3AnswerProc(answer.trId, static_cast<std::uint16_t>(answer.registerCount), RecvRegisters);
}

void TUDP_ModBus::deliverException(const FrameCodec::Answer& answer) {
    using WireFormat::exceptionFunction;
    const TModbusErrorProc callback =
        answer.functionCode == exceptionFunction(WireFormat::ReadHoldingRegisters)  ? F3ErrorProc
        : answer.functionCode == exceptionFunction(WireFormat::WriteSingleRegister) ? F6ErrorProc
                                                                                    : F16ErrorProc;
    if (callback) callback(answer.trId, answer.exceptionCode);
}

void LogLastError(const QString& text) {
    const int code = SocketLayer::lastError();
    // The platform keeps the code unsigned; from 2^31 on it does not fit the signed line.
    checkedRange(static_cast<std::uint32_t>(code), 0, std::numeric_limits<std::int32_t>::max());
    LogMsg(text + QStringLiteral(": ") + QString::number(code) + u'=' + systemErrorText(code));
}

namespace UDP_Modbus {

void moduleStart() {
    TimerResolution::begin();
    if (!SocketLayer::startup()) LogLastError(QStringLiteral("WSAStartup..."));
}

void moduleStop() {
    TimerResolution::end();
    SocketLayer::cleanup();
}

} // namespace UDP_Modbus
