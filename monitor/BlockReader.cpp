#include "app/Varden.h"

// placeholder: replaced by the block reader work
void TVarden::Timer1Timer() {}
void TVarden::Read_once_PanelClick() {}
void TVarden::Read_cyclic_PanelClick() {}
