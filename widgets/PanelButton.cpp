#include "widgets/PanelButton.h"

#include <QMouseEvent>
#include <QPainter>

PanelButton::PanelButton(const QString& caption, QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(3);
    setFocusPolicy(Qt::NoFocus);
    // Its own colour role: the window's background role, inherited otherwise, is the button
    // face, which the panel needs unchanged to go back to.
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
    setColor(palette().color(QPalette::Button));
    setCaption(caption);
}

void PanelButton::setCaption(const QString& caption) {
    text = caption;
    setAccessibleName(caption);
    update();
}

QColor PanelButton::color() const {
    return palette().color(QPalette::Window);
}

void PanelButton::setColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

void PanelButton::setLit(bool lit) {
    setColor(lit ? green() : palette().color(QPalette::Button));
}

void PanelButton::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawText(contentsRect(), Qt::AlignCenter, text);
}

void PanelButton::mousePressEvent(QMouseEvent* event) {
    click.press(*event);
    event->accept();
}

void PanelButton::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (click.release(*event, *this)) emit clicked();
}

// The second press of a double-click must not count as another click.
void PanelButton::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}
