#pragma once

#include <QChar>

// Texts of Edit1, Edit3, Edit4 and the IP_Panel caption, set while the window is created.
void SetUpParameterFields();

// IP_Panel green while UdpBus is ready, button face otherwise.
void ShowTargetReadiness();

// Enter in Edit1, Edit3, Edit4: the typed start register, end register or offset is taken
// when the rules accept it; otherwise the information box, and the value in force is back.
void enterStartRegister(QChar key);
void enterEndRegister(QChar key);
void enterRegOffset(QChar key);

// IP_Panel: asks for a new target and, if it differs, aims a new client at it.
void changeTarget();
