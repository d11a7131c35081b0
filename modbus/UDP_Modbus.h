#pragma once

#include "modbus/SocketLayer.h"
#include "wire/FrameCodec.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <span>

class QTimer;

// The register array of the client: the function 3 callback sees the decoded registers of
// the answer through it (valid only during the call), Send_F16 reads its values from one.
using TModbusRegArray = FrameCodec::RegisterArray;

using TModbusReadProc = void (*)(std::uint16_t trId, std::uint16_t count,
                                 const TModbusRegArray& registers);
using TModbusWriteProc = void (*)(std::uint16_t trId, std::uint16_t address, std::uint16_t value);
using TModbusErrorProc = void (*)(std::uint16_t trId, std::uint8_t exceptionCode);

// The one link to the device: a UDP socket aimed at port 502 of the target. Requests are
// sent and forgotten; a 20 ms timer polls for answers and hands each, by its function code,
// to the callback registered for it.
class TUDP_ModBus : public QObject {
    Q_OBJECT

  public:
    // Create: opens the socket and resolves the target (dotted quad or host name).
    explicit TUDP_ModBus(const QString& target);
    ~TUDP_ModBus() override;

    void SetErrorCallbacks(TModbusErrorProc f3, TModbusErrorProc f6, TModbusErrorProc f16);
    void SetWriteCallbacks(TModbusWriteProc f6, TModbusWriteProc f16);
    void SetReadCallback(TModbusReadProc f3);

    // 0 when the request was handed to the socket, 1 when count exceeds 500 (nothing done).
    std::int32_t Send_F3(std::uint16_t trId, std::uint16_t start, std::uint16_t count);
    void Send_F6(std::uint16_t trId, std::uint16_t address, std::uint16_t value);
    std::int32_t Send_F16(std::uint16_t trId, std::uint16_t start, std::uint16_t count,
                          const TModbusRegArray& values);

    // Takes at most one datagram from the socket and dispatches it.
    void PollReceive();
    // What PollReceive does with a datagram once it has taken it from the socket; the fuzz
    // target and the benchmarks feed datagrams in here.
    void handleDatagram(std::span<const std::uint8_t> datagram);

    // True once the socket exists, the target is resolved and the socket is non-blocking.
    bool Ready() const { return ready; }
    const QTimer& Timer() const { return *timer; }

  private:
    void OpenSocket(const QString& target);
    void giveUpTarget(const QString& target);
    void sendFrame(std::size_t size, const QString& failureText);
    void OnPollTimer();
    void handleReceived(std::size_t size);
    void dispatch(const FrameCodec::Answer& answer, std::span<const std::uint8_t> datagram);
    void deliverRead(const FrameCodec::Answer& answer, std::span<const std::uint8_t> datagram);
    void deliverException(const FrameCodec::Answer& answer);

    QTimer* timer = nullptr;
    SocketLayer::Handle Sock = 0;
    SocketLayer::Endpoint TargetAddr;
    FrameCodec::FrameBuffer SendBuf{};
    FrameCodec::FrameBuffer RecvBuf{};
    // The registers of the last read answer in host order, word-aligned apart from RecvBuf.
    TModbusRegArray RecvRegisters{};
    TModbusErrorProc F3ErrorProc = nullptr;
    TModbusErrorProc F6ErrorProc = nullptr;
    TModbusErrorProc F16ErrorProc = nullptr;
    TModbusReadProc F3AnswerProc = nullptr;
    TModbusWriteProc F6AnswerProc = nullptr;
    TModbusWriteProc F16AnswerProc = nullptr;
    bool ready = false;
};

// Exchanges the two bytes of a 16-bit word.
constexpr std::uint16_t SwapWord(std::uint16_t word) {
    return static_cast<std::uint16_t>((word << 8) | (word >> 8));
}

// Logs text with the last error code of the socket layer and its text, through LogMsg.
void LogLastError(const QString& text);

// Start and stop step of the client's module: timer resolution and socket layer.
namespace UDP_Modbus {
void moduleStart();
void moduleStop();
} // namespace UDP_Modbus
