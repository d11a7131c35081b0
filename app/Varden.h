#pragma once

#include "monitor/MonitorWidgets.h"
#include "widgets/LeftClick.h"

#include <QChar>
#include <QWidget>

class PanelButton;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The main window: every widget the operator uses, bound to its handler. The handlers are
// thin: each hands its event to the part of the register monitor that it drives.
class TVarden : public QWidget, public MonitorWidgets {
    Q_OBJECT

  public:
    TVarden();
    ~TVarden() override;

    QPlainTextEdit* Memo1;
    QPushButton* EXIT_Button;
    QPlainTextEdit* Memo2;
    PanelButton* ClrMemoPanel;
    PanelButton* Read_once_Panel;
    PanelButton* ClrGridPanel;
    QLabel* Label3;
    QLabel* Label1;
    QGroupBox* BitBox;
    QPushButton* Update_Button;
    QLabel* Label5;
    QLabel* Label6;

    void FormCreate();
    void Timer1Timer();
    void EXIT_ButtonClick();
    void Read_cyclic_PanelClick();
    void ClrMemoPanelClick();
    void IP_PanelClick();
    void Read_once_PanelClick();
    void ClrGridPanelClick();
    void Grid1KeyPress(QChar key);
    void Grid1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Edit1KeyPress(QChar key);
    void Edit3KeyPress(QChar key);
    void Update_ButtonClick();
    void FormClick();
    void Edit4KeyPress(QChar key);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void createWidgets();
    void createBitBox();
    void bindEvents();
    void setTabOrder();
    void placeOnScreen();
    void fitIntoOuterSize();

    int gridRightMargin = -1; // Grid1's distance to the right edge, kept on resize
    LeftClick backgroundClick;
    bool framed = false; // the window manager's frame is known and the window fits around it
};
