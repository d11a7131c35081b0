#include "modbus/UDP_Modbus.h"

#include <QTimer>

// placeholder: replaced by the client work
TUDP_ModBus::TUDP_ModBus(const QString&) : timer(new QTimer(this)) {}
TUDP_ModBus::~TUDP_ModBus() = default;
void TUDP_ModBus::SetErrorCallbacks(TModbusErrorProc, TModbusErrorProc, TModbusErrorProc) {}
void TUDP_ModBus::SetWriteCallbacks(TModbusWriteProc, TModbusWriteProc) {}
void TUDP_ModBus::SetReadCallback(TModbusReadProc) {}
std::int32_t TUDP_ModBus::Send_F3(std::uint16_t, std::uint16_t, std::uint16_t) { return 0; }
void TUDP_ModBus::Send_F6(std::uint16_t, std::uint16_t, std::uint16_t) {}
std::int32_t TUDP_ModBus::Send_F16(std::uint16_t, std::uint16_t, std::uint16_t, const TModbusRegArray&) { return 0; }
void TUDP_ModBus::PollReceive() {}
void LogLastError(const QString&) {}
namespace UDP_Modbus { void moduleStart() {} void moduleStop() {} }
