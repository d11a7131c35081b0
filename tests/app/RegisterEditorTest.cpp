#include "monitor/RegisterEditor.h"
#include "modbus/SocketLayer.h"
#include "monitor/RegisterImage.h"
#include "tests/support/HexBytes.h"
#include "tests/support/MonitorWithDevice.h"
#include "tests/support/Operator.h"
#include "tests/support/TestAddress.h"
#include "widgets/PanelButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

// The register editor through the real grid, clicked and typed into as an operator would,
// against a loopback device socket that hears every function 6 request.
class RegisterEditor : public testing::Test, protected MonitorWithDevice {
  protected:
    RegisterEditor() : MonitorWithDevice(testAddress(160)) { window->Memo1->clear(); }

    // A press and release on the data cell in column col of row row (grid indexes).
    void clickCell(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        Operator::clickCell(window->Grid1, col, row, button);
    }
    void pressEnter(Qt::Key key = Qt::Key_Return) { Operator::press(key); }
    void pressUpdate() { QTest::mouseClick(window->Update_Button, Qt::LeftButton); }

    QString label() const { return window->Label2->text(); }
    QString cell(int col, int row) const { return window.shown(col, row); }
    QStringList messages() const { return Operator::linesOf(window->Memo1); }
    // The next function 6 request the device hears, as its hex dump.
    std::string nextWrite(std::chrono::milliseconds timeout = 500ms) {
        const auto frame = device.receive(timeout);
        return frame ? bytesToHex(*frame) : std::string("nothing");
    }
};

const QString OutOfRange = QStringLiteral("Register nicht im Bereich 1000 bis 1200");

TEST_F(RegisterEditor, AtAFreshStartEnterAndUpdateDoNothing) {
    window->Grid1->setFocus();
    pressEnter();
    pressUpdate();
    EXPECT_EQ(nextWrite(100ms), "nothing");
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(label(), QStringLiteral("Reg. ="));
}

TEST_F(RegisterEditor, AClickShowsTheRegisterItsBitsAndRefillsTheCell) {
    RegImage.set(1003, 0x00F0);
    QTest::mouseClick(window->ClrGridPanel, Qt::LeftButton);
    clickCell(4, 101);
    EXPECT_EQ(SelCol, 4);
    EXPECT_EQ(SelRow, 101);
    EXPECT_EQ(label(), QStringLiteral("REG. 1003 = 0x00F0"));
    EXPECT_EQ(GetRegBits(), 0x00F0);
    EXPECT_EQ(cell(4, 101), QStringLiteral("00F0"));
}

TEST_F(RegisterEditor, EveryMouseButtonSelects) {
    clickCell(5, 101, Qt::RightButton);
    EXPECT_EQ(label(), QStringLiteral("REG. 1004 = 0x0000"));
    clickCell(6, 101, Qt::MiddleButton);
    EXPECT_EQ(label(), QStringLiteral("REG. 1005 = 0x0000"));
}

TEST_F(RegisterEditor, HexDigitsAndEnterWriteTheRegister) {
    clickCell(4, 101);
    Operator::type(QStringLiteral("ff"));
    pressEnter();
    EXPECT_EQ(cell(4, 101), QStringLiteral("00FF"));
    EXPECT_EQ(label(), QStringLiteral("REG. 1003 = 0x00FF"));
    EXPECT_EQ(GetRegBits(), 0x00FF);
    EXPECT_EQ(RegImage.at(1003), 0x00FF);
    EXPECT_EQ(nextWrite(), "00 1B 00 00 00 06 01 06 00 03 00 FF");
}

TEST_F(RegisterEditor, KeypadEnterWritesToo) {
    clickCell(4, 101);
    Operator::type(QStringLiteral("1a2B"));
    pressEnter(Qt::Key_Enter);
    EXPECT_EQ(nextWrite(), "00 1B 00 00 00 06 01 06 00 03 1A 2B");
}

TEST_F(RegisterEditor, AnEmptyCellWritesZero) {
    RegImage.set(1003, 7);
    clickCell(4, 101);
    Operator::press(Qt::Key_F2);
    for (int i = 0; i < 4; ++i)
        Operator::press(Qt::Key_Backspace);
    pressEnter();
    EXPECT_EQ(RegImage.at(1003), 0);
    EXPECT_EQ(nextWrite(), "00 1B 00 00 00 06 01 06 00 03 00 00");
}

TEST_F(RegisterEditor, FiveHexDigitsAreARangeErrorAndChangeNothing) {
    RegImage.set(1003, 5);
    clickCell(4, 101);
    Operator::type(QStringLiteral("10000"));
    pressEnter();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Fehler bei Bereichsprüfung."));
    EXPECT_EQ(RegImage.at(1003), 5);
    EXPECT_EQ(label(), QStringLiteral("REG. 1003 = 0x0005"));
    EXPECT_EQ(cell(4, 101), QStringLiteral("10000"));
    EXPECT_EQ(nextWrite(100ms), "nothing");
}

struct BadText {
    const char* name;
    const char* typed;
    const char* reported;
};

class RegisterEditorBadText : public RegisterEditor, public testing::WithParamInterface<BadText> {};

TEST_P(RegisterEditorBadText, IsAConversionErrorNamingTheWholeText) {
    clickCell(4, 101);
    Operator::type(QString::fromUtf8(GetParam().typed));
    pressEnter();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QString::fromUtf8(GetParam().reported));
    EXPECT_EQ(nextWrite(100ms), "nothing");
    EXPECT_EQ(label(), QStringLiteral("REG. 1003 = 0x0000"));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RegisterEditorBadText,
    testing::Values(BadText{"OwnPrefix", "0x12", "'0x0x12' ist kein gültiger Integerwert."},
                    BadText{"Blank", "1 2", "'0x1 2' ist kein gültiger Integerwert."},
                    BadText{"Minus", "-1", "'0x-1' ist kein gültiger Integerwert."},
                    BadText{"Plus", "+1", "'0x+1' ist kein gültiger Integerwert."},
                    BadText{"NotHex", "G0", "'0xG0' ist kein gültiger Integerwert."},
                    BadText{"Umlaut", "ü", "'0xü' ist kein gültiger Integerwert."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegisterEditor, ALabelClickSelectsNothingAndKeepsTheDisplay) {
    RegImage.set(1003, 0x8001);
    clickCell(4, 101);
    Operator::clickAt(window->Grid1, QPoint(20, 40)); // the row labels
    EXPECT_EQ(SelCol, 0);
    EXPECT_EQ(label(), QStringLiteral("REG. 1003 = 0x8001"));
    EXPECT_EQ(GetRegBits(), 0x8001);
    window->Grid1->setFocus();
    pressEnter();
    pressUpdate();
    EXPECT_EQ(nextWrite(100ms), "nothing");
}

TEST_F(RegisterEditor, AClickRightOfTheLastColumnIsRefusedAndWritesNothing) {
    window->Grid1->resize(700, window->Grid1->height());
    Operator::clickAt(window->Grid1, QPoint(650, 40));
    EXPECT_EQ(SelCol, -1);
    EXPECT_EQ(SelRow, -1);
    pressUpdate();
    window->Grid1->setFocus();
    pressEnter();
    EXPECT_EQ(messages(), (QStringList{OutOfRange, OutOfRange, OutOfRange}));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(nextWrite(100ms), "nothing");
}

TEST_F(RegisterEditor, ARegisterOutsideTheRangeIsNeverWrittenEvenAfterTheRangeWidens) {
    RegImage.set(1003, 0x0042);
    clickCell(4, 101);
    clickCell(1, 131); // register 1300
    EXPECT_EQ(messages(), QStringList{OutOfRange});
    EXPECT_EQ(label(), QStringLiteral("REG. 1003 = 0x0042"));
    EndReg = 1300;
    pressUpdate();
    window->Grid1->setFocus();
    pressEnter();
    EXPECT_EQ(messages().size(), 3);
    EXPECT_EQ(messages().last(), QStringLiteral("Register nicht im Bereich 1000 bis 1300"));
    EXPECT_EQ(RegImage.at(1300), 0);
    EXPECT_EQ(nextWrite(100ms), "nothing");
}

TEST_F(RegisterEditor, ADeviceAddressBeyond16BitsIsRefusedBeforeAnythingChanges) {
    RegOffset = -40000;
    StartReg = 30000;
    EndReg = 30010;
    clickCell(1, 3001); // register 30000, device address 70000
    Operator::type(QStringLiteral("12"));
    pressEnter();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("Fehler bei Bereichsprüfung."));
    EXPECT_EQ(RegImage.at(30000), 0);
    EXPECT_EQ(label(), QStringLiteral("REG. 30000 = 0x0000"));
    pressUpdate();
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(nextWrite(100ms), "nothing");
}

TEST_F(RegisterEditor, CellsBeyondRegister32000AreRefused) {
    StartReg = 31990;
    EndReg = 32000;
    for (int col = 2; col <= 10; ++col) {
        window->Memo1->clear();
        clickCell(col, 3201);
        EXPECT_EQ(messages(),
                  QStringList{QStringLiteral("Register nicht im Bereich 31990 bis 32000")});
        window->Memo1->clear();
        window->Grid1->setFocus();
        pressEnter();
        pressUpdate();
        EXPECT_TRUE(messages().isEmpty());
    }
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_EQ(nextWrite(100ms), "nothing");
}

TEST_F(RegisterEditor, AllSixteenBitsAndUpdateWriteFFFF) {
    clickCell(4, 101);
    for (QCheckBox* box : window->bits())
        box->setChecked(true);
    pressUpdate();
    EXPECT_EQ(cell(4, 101), QStringLiteral("FFFF"));
    EXPECT_EQ(label(), QStringLiteral("REG. 1003 = 0xFFFF"));
    EXPECT_EQ(nextWrite(), "00 1B 00 00 00 06 01 06 00 03 FF FF");
}

TEST_F(RegisterEditor, EnterWritesTheClickedCellNotTheCellBeingTypedInto) {
    clickCell(4, 101);
    Operator::type(QStringLiteral("7"));
    QTest::keyClick(window->Grid1, Qt::Key_Down);
    Operator::type(QStringLiteral("ab"));
    pressEnter();
    EXPECT_EQ(RegImage.at(1003), 7);
    EXPECT_EQ(RegImage.at(1013), 0);
    EXPECT_EQ(nextWrite(), "00 1B 00 00 00 06 01 06 00 03 00 07");
}

TEST_F(RegisterEditor, AfterABackgroundClickNothingIsSelected) {
    clickCell(4, 101);
    window->Bit3->setChecked(true);
    QTest::mouseClick(&*window, Qt::LeftButton, {}, QPoint(500, 100));
    EXPECT_EQ(SelCol, 0);
    EXPECT_EQ(label(), QStringLiteral("Reg. ="));
    EXPECT_TRUE(window->Bit3->isChecked());
    window->Grid1->setFocus();
    pressEnter();
    pressUpdate();
    EXPECT_EQ(nextWrite(100ms), "nothing");
}

TEST_F(RegisterEditor, TheSelectionSurvivesClearGridAndScrolling) {
    RegImage.set(1003, 0x0BAD);
    clickCell(4, 101);
    QTest::mouseClick(window->ClrGridPanel, Qt::LeftButton);
    window->Grid1->setTopRow(2000);
    pressUpdate();
    EXPECT_EQ(nextWrite(), "00 1B 00 00 00 06 01 06 00 03 0B AD");
}

TEST(RegisterEditorNotReady, AClickOnlyAsksForAValidAddress) {
    DialogRecorder dialogs;
    SocketLayer::setResolver([](std::string_view) -> std::optional<std::uint32_t> {
        SocketLayer::setLastError(11001);
        return std::nullopt;
    });
    MonitorWindow window(QStringLiteral("device.invalid"));
    SocketLayer::setResolver({});
    window->Memo1->clear();
    const QModelIndex index = window->Grid1->model()->index(100, 3);
    QTest::mouseClick(window->Grid1->viewport(), Qt::LeftButton, {},
                      window->Grid1->visualRect(index).center());
    EXPECT_EQ(window->Memo1->toPlainText(), QStringLiteral("set valid IP-Addr.\n"));
    EXPECT_EQ(SelCol, 0);
}

} // namespace
