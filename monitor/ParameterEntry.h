#pragma once

// Texts of Edit1, Edit3, Edit4 and the IP_Panel caption, set while the window is created.
void SetUpParameterFields();

// IP_Panel green while UdpBus is ready, button face otherwise.
void ShowTargetReadiness();
