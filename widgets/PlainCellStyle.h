#pragma once

#include <QProxyStyle>

// The application's style for an item view whose delegate paints each cell's background
// itself: the style's panel under every cell, the same colour again, is left out. Fusion
// works out its outline colours afresh for each primitive, which made that panel a third of
// the time of repainting the grid.
class PlainCellStyle : public QProxyStyle {
    Q_OBJECT

  public:
    // A style of the application style's kind; the view sets it for itself only.
    PlainCellStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
