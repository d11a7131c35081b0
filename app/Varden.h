#pragma once

#include "app/LeftClick.h"

#include <QChar>
#include <QWidget>

#include <array>

class PanelButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class StringGrid;

// The main window: every widget the operator uses, bound to its handler. The handlers are
// defined beside the logic they drive (app/ for the shell, monitor/ for the register monitor).
class TVarden : public QWidget {
    Q_OBJECT

  public:
    TVarden();
    ~TVarden() override;

    QPlainTextEdit* Memo1;
    QTimer* Timer1;
    QPushButton* EXIT_Button;
    QPlainTextEdit* Memo2;
    PanelButton* Read_cyclic_Panel;
    StringGrid* Grid1;
    PanelButton* ClrMemoPanel;
    PanelButton* IP_Panel;
    PanelButton* Read_once_Panel;
    PanelButton* ClrGridPanel;
    QLabel* Label3;
    QLineEdit* Edit1;
    QLabel* Label1;
    QLabel* Label2;
    QGroupBox* BitBox;
    QCheckBox *Bit15, *Bit14, *Bit13, *Bit12, *Bit11, *Bit10, *Bit9, *Bit8;
    QCheckBox *Bit7, *Bit6, *Bit5, *Bit4, *Bit3, *Bit2, *Bit1, *Bit0;
    QPushButton* Update_Button;
    QLineEdit* Edit3;
    QLabel* Label5;
    QLineEdit* Edit4;
    QLabel* Label6;

    // The sixteen bit boxes indexed by bit: bits()[i] is BitI.
    std::array<QCheckBox*, 16> bits() const;

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
    void closeEvent(QCloseEvent* event) override;

  private:
    void createWidgets();
    void createBitBox();
    void bindEvents();
    void setTabOrder();
    void placeOnScreen();

    int gridRightMargin = -1; // Grid1's distance to the right edge, kept on resize
    LeftClick backgroundClick;
    bool placed = false;
};
