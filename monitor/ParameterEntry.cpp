#include "monitor/ParameterEntry.h"

#include "app/Varden.h"

// placeholder: replaced by the parameter entry work
void SetUpParameterFields() {}
void ShowTargetReadiness() {}
void TVarden::Edit1KeyPress(QChar) {}
void TVarden::Edit3KeyPress(QChar) {}
void TVarden::Edit4KeyPress(QChar) {}
void TVarden::IP_PanelClick() {}
