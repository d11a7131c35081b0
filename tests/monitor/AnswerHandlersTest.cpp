#include "monitor/AnswerHandlers.h"
#include "core/RuntimeErrors.h"
#include "monitor/RegisterImage.h"
#include "tests/monitor/FilledCells.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/MonitorWindow.h"
#include "tests/support/Operator.h"
#include "widgets/GridModel.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString Target = QStringLiteral("127.0.0.41");

// Register values 0x100, 0x101, ... so every register shows where it came from.
TModbusRegArray countingValues(std::uint16_t first = 0x100) {
    TModbusRegArray values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint16_t>(first + i);
    return values;
}

class AnswerHandlersTest : public testing::Test {
  protected:
    QString messages() const { return window->Memo1->toPlainText(); }
    QString errors() const { return window->Memo2->toPlainText(); }

    DialogRecorder dialogs;
    MonitorWindow window{Target};
    StringGrid& grid = *window->Grid1;
};

TEST_F(AnswerHandlersTest, F3AnswerLandsByItsTransactionIdentifier) {
    OnF3Answer(0, 100, countingValues());
    EXPECT_EQ(RegImage.at(999), 0);
    EXPECT_EQ(RegImage.at(1000), 0x100);
    EXPECT_EQ(RegImage.at(1099), 0x163);
    EXPECT_EQ(RegImage.at(1100), 0);
    EXPECT_EQ(grid.cell(1, 101), QStringLiteral("0100"));
    EXPECT_EQ(grid.cell(10, 110), QStringLiteral("0163"));
    EXPECT_EQ(filledCells(grid).size(), 100);
    EXPECT_EQ(messages(), QStringLiteral("F3 Antwort: tr_id:=0   Anzahl=100\n\n"));
    EXPECT_TRUE(errors().isEmpty());
}

TEST_F(AnswerHandlersTest, F3AnswerTakesTheOffsetInForceWhenItArrives) {
    RegOffset = 0;
    OnF3Answer(24, 2, countingValues());
    EXPECT_EQ(RegImage.at(24), 0x100);
    EXPECT_EQ(RegImage.at(25), 0x101);
    EXPECT_EQ(grid.cell(5, 3), QStringLiteral("0100"));
}

TEST_F(AnswerHandlersTest, F3AnswerWithoutRegistersIsOnlyLogged) {
    OnF3Answer(64535, 0, countingValues()); // base 65535, the highest one allowed
    EXPECT_TRUE(filledCells(grid).isEmpty());
    EXPECT_EQ(messages(), QStringLiteral("F3 Antwort: tr_id:=64535   Anzahl=0\n\n"));
}

TEST_F(AnswerHandlersTest, F3AnswerStopsAtTheFirstRegisterBeyondTheImage) {
    RegOffset = 0;
    QSignalSpy repaints(&grid.cells(), &GridModel::dataChanged);
    EXPECT_THROW(OnF3Answer(31950, 100, countingValues()), RangeError);
    EXPECT_EQ(RegImage.at(31950), 0x100);
    EXPECT_EQ(RegImage.at(32000), 0x132);
    EXPECT_EQ(grid.cell(1, 3201), QStringLiteral("0132"));
    EXPECT_EQ(filledCells(grid).size(), 51) << "columns 2..10 of row 3201 stay empty";
    EXPECT_EQ(repaints.count(), 1) << "what was stored is shown";
    EXPECT_TRUE(messages().isEmpty());
}

struct ForeignBase {
    const char* name;
    std::int32_t offset;
    std::uint16_t trId;
};

class ForeignBaseTest : public AnswerHandlersTest,
                        public testing::WithParamInterface<ForeignBase> {};

TEST_P(ForeignBaseTest, StoresAndLogsNothing) {
    RegOffset = GetParam().offset;
    EXPECT_THROW(OnF3Answer(GetParam().trId, 100, countingValues()), RangeError);
    EXPECT_TRUE(filledCells(grid).isEmpty());
    EXPECT_TRUE(messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Bases, ForeignBaseTest,
                         testing::Values(ForeignBase{"BelowZero", -1, 0},
                                         ForeignBase{"FarBelowZero", -70000, 4464},
                                         ForeignBase{"JustAboveTheImage", 0, 32001},
                                         ForeignBase{"HighestBase", 1000, 64535},
                                         ForeignBase{"AboveSixteenBits", 1000, 64536}),
                         [](const auto& info) { return std::string(info.param.name); });

struct LogLine {
    const char* name;
    std::function<void()> answer;
    bool toErrorPane;
    const char* text;
};

class LogLineTest : public AnswerHandlersTest, public testing::WithParamInterface<LogLine> {};

TEST_P(LogLineTest, IsWrittenInDecimal) {
    GetParam().answer();
    const QString expected = QString::fromUtf8(GetParam().text);
    EXPECT_EQ(GetParam().toErrorPane ? errors() : messages(), expected);
    EXPECT_TRUE((GetParam().toErrorPane ? messages() : errors()).isEmpty());
    EXPECT_TRUE(filledCells(grid).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, LogLineTest,
    testing::Values(LogLine{"F6Answer", [] { OnF6Answer(27, 3, 255); }, false,
                            "F6 Antwort: tr_id:=27   Adr=3   Wert=255\n\n"},
                    LogLine{"F16Answer", [] { OnF16Answer(65535, 0, 500); }, false,
                            "F16 Antwort: tr_id:=65535   Adr=0   Anzahl=500\n\n"},
                    LogLine{"F3Error", [] { OnF3Error(1000, 0); }, true,
                            "CallBack: F3_Error: tr_id:=1000   errCode=0\n"},
                    LogLine{"F6Error", [] { OnF6Error(27, 2); }, true,
                            "CallBack: F6_Error: tr_id:=27   errCode=2\n"},
                    LogLine{"F16Error", [] { OnF16Error(65535, 255); }, true,
                            "CallBack: F16_Error: tr_id:=65535   errCode=255\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// The operator types into register 1003's cell while cyclic answers keep arriving.
class AnswerWhileTyping : public AnswerHandlersTest {
  protected:
    AnswerWhileTyping() {
        Cyclic = true;
        grid.setFocus();
        grid.setCurrentCell(4, 101);
    }

    QLineEdit* editor() const { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

    void answer(std::uint16_t first) { OnF3Answer(0, 100, countingValues(first)); }
};

TEST_F(AnswerWhileTyping, LeavesTheTypedTextAloneAndStoresEverythingElse) {
    answer(0x100);
    Operator::type(QStringLiteral("f"));
    answer(0x200);
    Operator::type(QStringLiteral("f"));
    answer(0x300);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("ff"));
    EXPECT_EQ(editor()->cursorPosition(), 2);
    EXPECT_EQ(grid.cell(4, 101), QStringLiteral("ff"));
    EXPECT_EQ(RegImage.at(1003), 0x303);
    EXPECT_EQ(grid.cell(3, 101), QStringLiteral("0302"));
    EXPECT_EQ(grid.cell(4, 102), QStringLiteral("030D"));
}

TEST_F(AnswerWhileTyping, KeepsTheCursorWhereTheOperatorPutIt) {
    Operator::type(QStringLiteral("12"));
    Operator::press(Qt::Key_Home);
    answer(0x200);
    Operator::type(QStringLiteral("a"));
    answer(0x300);
    EXPECT_EQ(editor()->text(), QStringLiteral("a12"));
    EXPECT_EQ(editor()->cursorPosition(), 1);
}

TEST_F(AnswerWhileTyping, EnterConfirmsWhatWasTypedAndLaterAnswersShowTheDevice) {
    Operator::type(QStringLiteral("ff"));
    answer(0x200);
    Operator::press(Qt::Key_Return);
    EXPECT_FALSE(grid.isEditing(4, 101));
    EXPECT_EQ(grid.cell(4, 101), QStringLiteral("ff"));
    answer(0x300);
    EXPECT_EQ(grid.cell(4, 101), QStringLiteral("0303"));
}

} // namespace
