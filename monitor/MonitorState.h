#pragma once

#include "modbus/UDP_Modbus.h"
#include "monitor/MonitorWidgets.h"
#include "monitor/RegisterImage.h"

#include <QString>

#include <cstdint>
#include <memory>

// The monitor's module-level state, all of it, alive for the whole run. The parameter entry
// changes the range, offset and target; the block reader moves NextReg and switches Cyclic;
// answers and the register editor write the image.
inline QString TargetIP;
inline std::unique_ptr<TUDP_ModBus> UdpBus;
inline std::int32_t StartReg = 0;
inline std::int32_t EndReg = 0;
inline std::int32_t RegOffset = 0;
inline std::int32_t NextReg = 0;
inline bool Cyclic = false;
// The register editor's selection as grid column and row; 0 in either means none.
inline std::int32_t SelCol = 0;
inline std::int32_t SelRow = 0;
// Whether the last click on a data cell was accepted, so that Label2 shows its register.
inline bool ClickAccepted = false;
inline RegisterImage RegImage;
// The one main window's widgets; empty until it is created and after it is gone.
inline MonitorWidgets* Varden = nullptr;

// The default target: a fixed private address, as a device on a plant network would have.
inline const QString DefaultTargetIP = QStringLiteral("192.168.10.40");

// Start and stop step of the main window's module. Start sets every piece of the state above
// to its start value, so start-up and each test begin alike; tests aim at a loopback target.
namespace MonitorModule {
void start(const QString& target = DefaultTargetIP);
void stop();
} // namespace MonitorModule
