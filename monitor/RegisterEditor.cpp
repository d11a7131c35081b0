#include "monitor/RegisterEditor.h"

#include "core/CheckedMath.h"
#include "monitor/MonitorState.h"
#include "monitor/RegisterEditorRules.h"
#include "monitor/RegisterGrid.h"
#include "monitor/RegisterGridModel.h"
#include "monitor/RegisterImage.h"
#include "monitor/TextConversion.h"
#include "shell/Log.h"
#include "widgets/StringGrid.h"

#include <QCheckBox>
#include <QLabel>

namespace {

constexpr std::uint16_t F6TransactionId = 27;

void showRegister(std::int32_t reg, std::uint16_t value) {
    Varden->Label2->setText(QString::fromStdString(registerDisplay(reg, value)));
    Varden->Label2->adjustSize();
}

// The selected cell shows the image's value again, also over text typed and not confirmed.
void showInSelectedCell() {
    gridCells().showValue(registerOfCell(SelCol, SelRow));
}

void logOutOfRange() {
    LogMsg(QString::fromStdString(outOfRangeLine(StartReg, EndReg)));
}

// Decides whether the selected register may be written; logs the refusal where one is due.
bool mayWrite() {
    switch (writeGate(SelCol, SelRow, ClickAccepted, StartReg, EndReg)) {
    case WriteGate::Nothing:
        return false;
    case WriteGate::OutOfRange:
        logOutOfRange();
        return false;
    case WriteGate::Write:
        return true;
    }
    return false;
}

// The device address is checked first, so the monitor never shows a value it did not send.
void writeRegister(std::int32_t reg, std::uint16_t value) {
    const std::uint16_t address = checkedWord(checkedSub32(reg, RegOffset));
    RegImage.set(reg, value);
    showRegister(reg, value);
    showInSelectedCell();
    UdpBus->Send_F6(F6TransactionId, address, value);
}

std::uint16_t valueOfSelectedCell() {
    QString text = QStringLiteral("0x") + gridCells().text(registerOfCell(SelCol, SelRow));
    if (text == QStringLiteral("0x")) text = QStringLiteral("0x0");
    return checkedWord(TextToInt(text.toStdString()));
}

} // namespace

void ShowRegBits(std::uint16_t value) {
    const auto boxes = Varden->bits();
    for (int bit = 15; bit >= 0; --bit)
        boxes[bit]->setChecked((value >> bit) & 1u);
}

std::uint16_t GetRegBits() {
    const auto boxes = Varden->bits();
    std::uint16_t value = 0;
    for (int bit = 0; bit < 16; ++bit)
        if (boxes[bit]->isChecked()) value |= static_cast<std::uint16_t>(1u << bit);
    return value;
}

void selectRegisterAt(int x, int y) {
    if (!UdpBus->Ready()) {
        LogMsg(QStringLiteral("set valid IP-Addr."));
        return;
    }
    Varden->Grid1->mouseToCell(x, y, SelCol, SelRow);
    ClickAccepted = false;
    if (SelCol == 0 || SelRow == 0) return;
    const std::int32_t reg = registerOfCell(SelCol, SelRow);
    if (reg > EndReg || reg < StartReg) return logOutOfRange();
    const std::uint16_t value = RegImage.at(reg);
    ClickAccepted = true;
    showRegister(reg, value);
    showInSelectedCell();
    ShowRegBits(value);
}

void writeSelectedCell(QChar key) {
    if (key != QChar(13) || !mayWrite()) return;
    const std::uint16_t value = valueOfSelectedCell();
    writeRegister(registerOfCell(SelCol, SelRow), value);
    ShowRegBits(value);
}

void writeBitBoxes() {
    if (!mayWrite()) return;
    writeRegister(registerOfCell(SelCol, SelRow), GetRegBits());
}

void clearSelection() {
    SelCol = 0;
    ClickAccepted = false;
    ShowStartRow();
    Varden->Label2->setText(QStringLiteral("Reg. ="));
    Varden->Label2->adjustSize();
}
