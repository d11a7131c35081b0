#pragma once

#include <QMouseEvent>
#include <QWidget>

// Tells a left click (press and release of the left button inside the widget) apart from
// other presses, as buttons count clicks.
class LeftClick {
  public:
    void press(const QMouseEvent& event) { pressed = event.button() == Qt::LeftButton; }

    // True when this release completes a click on widget.
    bool release(const QMouseEvent& event, const QWidget& widget) {
        const bool click = pressed && event.button() == Qt::LeftButton &&
                           widget.rect().contains(event.position().toPoint());
        pressed = false;
        return click;
    }

  private:
    bool pressed = false;
};
