#include "monitor/MonitorState.h"

#include "monitor/AnswerHandlers.h"
#include "shell/Log.h"

namespace MonitorModule {

void start(const QString& target) {
    TargetIP = target;
    StartReg = 1000;
    EndReg = 1200;
    RegOffset = 1000;
    NextReg = 0;
    Cyclic = false;
    SelCol = SelRow = 0;
    ClickAccepted = false;
    RegImage = {};
    Log::bindSilencer(&Cyclic);
    UdpBus = std::make_unique<TUDP_ModBus>(TargetIP);
    RegisterHandlers(*UdpBus);
}

void stop() {
    UdpBus.reset();
    TargetIP.clear();
}

} // namespace MonitorModule
