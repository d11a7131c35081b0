#include "widgets/PlainCellStyle.h"

#include <QApplication>

PlainCellStyle::PlainCellStyle() : QProxyStyle(QApplication::style()->name()) {}

void PlainCellStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    if (element == PE_PanelItemViewRow) return;
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
