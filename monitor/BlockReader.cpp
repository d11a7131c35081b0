#include "monitor/BlockReader.h"

#include "monitor/MonitorState.h"
#include "monitor/ReadPlan.h"
#include "shell/Log.h"
#include "shell/TimerSwitch.h"
#include "widgets/PanelButton.h"

namespace {

void showCyclic() {
    Varden->Read_cyclic_Panel->setLit(Cyclic);
}

// A request that cannot be built ends the pass, so the timer does not meet the same error
// at every tick and pile up error boxes.
void endPass() {
    Varden->Timer1->stop();
    Cyclic = false;
    showCyclic();
}

ReadRequest nextRequestOrEndPass() {
    try {
        return nextReadRequest(NextReg, EndReg, RegOffset);
    } catch (...) {
        endPass();
        throw;
    }
}

bool clientReady() {
    if (UdpBus->Ready()) return true;
    LogMsg(QStringLiteral("set valid IP-Addr."));
    return false;
}

} // namespace

void readNext() {
    const ReadRequest request = nextRequestOrEndPass();
    UdpBus->Send_F3(request.address, request.address, request.count);
    NextReg += request.count;
    if (NextReg <= EndReg) return switchOn(*Varden->Timer1);
    if (Cyclic) {
        NextReg = StartReg;
        switchOn(*Varden->Timer1);
    } else {
        Varden->Timer1->stop();
    }
}

void readOnce() {
    if (!clientReady()) return;
    Cyclic = false;
    showCyclic();
    NextReg = StartReg;
    readNext();
}

void switchCyclicReading() {
    if (!clientReady()) return;
    if (!Cyclic) LogMsg(QStringLiteral("Meldungen ausgeschaltet..."));
    Cyclic = !Cyclic;
    showCyclic();
    if (!Cyclic) return; // the pass under way completes, then readNext stops the timer
    NextReg = StartReg;
    readNext();
}
