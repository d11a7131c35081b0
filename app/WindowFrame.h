#pragma once

#include <QMargins>
#include <QSize>

class QWidget;

// The frame around a shown window as the desktop draws it, in device pixels. Qt counts on
// Windows only the part of the frame that Windows 10 draws visibly (the side and bottom
// borders are an invisible margin there); where the borders are drawn, as under Wine, they
// are part of the outer size. Qt's own frame is in logical pixels, each side rounded, which
// at a fractional scale is up to a device pixel off per side.
QMargins drawnFrame(const QWidget& window);

// The client size, in logical pixels, whose window with that frame around it comes nearest to
// the outer size at the given device pixel ratio.
QSize clientSizeWithin(QSize outer, QMargins frame, qreal ratio);
