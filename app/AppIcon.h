#pragma once

#include <QIcon>

// The program's icon, 32 x 32 in a few flat colours: a register grid with one cell lit.
namespace AppIcon {
QIcon make();
}
