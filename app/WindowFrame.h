#pragma once

#include <QMargins>

class QWidget;

// The frame around a shown window as the desktop draws it. Qt counts on Windows only the part
// of the frame that Windows 10 draws visibly (the side and bottom borders are an invisible
// margin there); where the borders are drawn, as under Wine, they are part of the outer size.
QMargins drawnFrame(const QWidget& window);
