#pragma once

#include <array>

class PanelButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class StringGrid;

// The main window's widgets that the register monitor drives. The window is one of these and
// hands itself over as Varden when it is created, so the monitor never knows the window.
struct MonitorWidgets {
    StringGrid* Grid1 = nullptr;
    QTimer* Timer1 = nullptr;
    PanelButton* Read_cyclic_Panel = nullptr;
    PanelButton* IP_Panel = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QCheckBox *Bit15 = nullptr, *Bit14 = nullptr, *Bit13 = nullptr, *Bit12 = nullptr;
    QCheckBox *Bit11 = nullptr, *Bit10 = nullptr, *Bit9 = nullptr, *Bit8 = nullptr;
    QCheckBox *Bit7 = nullptr, *Bit6 = nullptr, *Bit5 = nullptr, *Bit4 = nullptr;
    QCheckBox *Bit3 = nullptr, *Bit2 = nullptr, *Bit1 = nullptr, *Bit0 = nullptr;

    // The sixteen bit boxes indexed by bit: bits()[i] is BitI.
    std::array<QCheckBox*, 16> bits() const {
        return {Bit0, Bit1, Bit2,  Bit3,  Bit4,  Bit5,  Bit6,  Bit7,
                Bit8, Bit9, Bit10, Bit11, Bit12, Bit13, Bit14, Bit15};
    }
};
