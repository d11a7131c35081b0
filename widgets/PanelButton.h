#pragma once

#include "widgets/LeftClick.h"

#include <QColor>
#include <QFrame>
#include <QString>

// A panel with a raised 3-pixel bevel and a centred caption that acts as a button: it takes
// no keyboard focus and reacts to a left click only (press and release inside).
class PanelButton : public QFrame {
    Q_OBJECT

  public:
    explicit PanelButton(const QString& caption, QWidget* parent = nullptr);

    QString caption() const { return text; }
    void setCaption(const QString& caption);

    QColor color() const;
    void setColor(const QColor& color);

    // Green marks a panel as on or ready; otherwise it has the button face colour.
    static QColor green() { return QColor(0, 255, 0); }
    void setLit(bool lit);

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QString text;
    LeftClick click;
};
