#include "monitor/GridView.h"

#include "app/Varden.h"

// placeholder: replaced by the grid work
void SetUpGrid() {}
void ShowStartRow() {}
void StoreRegister(std::int32_t, std::uint16_t) {}
void TVarden::ClrGridPanelClick() {}
