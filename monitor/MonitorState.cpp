#include "monitor/MonitorState.h"

#include "app/Log.h"
#include "monitor/AnswerHandlers.h"

namespace MonitorModule {

void start(const QString& target) {
    TargetIP = target;
    StartReg = 1000;
    EndReg = 1200;
    RegOffset = 1000;
    Cyclic = false;
    Log::bindSilencer(&Cyclic);
    UdpBus = std::make_unique<TUDP_ModBus>(TargetIP);
    RegisterHandlers(*UdpBus);
}

void stop() {
    UdpBus.reset();
    TargetIP.clear();
}

} // namespace MonitorModule
