#include "monitor/AnswerHandlers.h"
#include "core/RuntimeErrors.h"
#include "monitor/RegisterImage.h"
#include "tests/support/CountingValues.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/MonitorWindow.h"
#include "tests/support/Operator.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <functional>

// The handlers called as the client calls them; the answers' way through the client's socket
// is proven in AnswerLoopbackTest.
namespace {

const QString Target = QStringLiteral("127.0.0.41");

class AnswerHandlersTest : public testing::Test {
  protected:
    DialogRecorder dialogs;
    MonitorWindow window{Target};
};

TEST_F(AnswerHandlersTest, F3AnswerTakesTheOffsetInForceWhenItArrives) {
    RegOffset = 0;
    OnF3Answer(24, 2, countingValues());
    EXPECT_EQ(RegImage.at(24), 0x100);
    EXPECT_EQ(RegImage.at(25), 0x101);
    EXPECT_EQ(window.shown(5, 3), QStringLiteral("0100"));
}

TEST_F(AnswerHandlersTest, F3AnswerWithoutRegistersIsOnlyLogged) {
    OnF3Answer(64535, 0, countingValues()); // base 65535, the highest one allowed
    EXPECT_TRUE(window.filledCells().isEmpty());
    EXPECT_EQ(window.messages(), QStringLiteral("F3 Antwort: tr_id:=64535   Anzahl=0\n\n"));
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
    EXPECT_TRUE(window.filledCells().isEmpty());
    EXPECT_TRUE(window.messages().isEmpty());
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
    EXPECT_EQ(GetParam().toErrorPane ? window.errors() : window.messages(), expected);
    EXPECT_TRUE((GetParam().toErrorPane ? window.messages() : window.errors()).isEmpty());
    EXPECT_TRUE(window.filledCells().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Handlers, LogLineTest,
    testing::Values(LogLine{"F16Answer", [] { OnF16Answer(65535, 0, 500); }, false,
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
        window->Grid1->setFocus();
        window->Grid1->setCurrentCell(4, 101);
    }

    QLineEdit* editor() const { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }

    void answer(std::uint16_t first) { OnF3Answer(0, 100, countingValues(first)); }
};

TEST_F(AnswerWhileTyping, KeepsTheCursorWhereTheOperatorPutIt) {
    Operator::type(QStringLiteral("12"));
    Operator::press(Qt::Key_Home);
    answer(0x200);
    Operator::type(QStringLiteral("a"));
    answer(0x300);
    EXPECT_EQ(editor()->text(), QStringLiteral("a12"));
    EXPECT_EQ(editor()->cursorPosition(), 1);
}

TEST_F(AnswerWhileTyping, AnEditorOpenedOnAValueKeepsItUntilTheOperatorTypes) {
    answer(0x100);
    Operator::press(Qt::Key_F2);
    answer(0x200);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("0103"));
    EXPECT_EQ(window.shown(4, 101), QStringLiteral("0103"));
    EXPECT_EQ(window.shown(5, 101), QStringLiteral("0204"));
}

TEST_F(AnswerWhileTyping, EnterConfirmsWhatWasTypedAndLaterAnswersShowTheDevice) {
    Operator::type(QStringLiteral("ff"));
    answer(0x200);
    Operator::press(Qt::Key_Return);
    EXPECT_FALSE(window->Grid1->isEditing());
    EXPECT_EQ(window.shown(4, 101), QStringLiteral("ff"));
    answer(0x300);
    EXPECT_EQ(window.shown(4, 101), QStringLiteral("0303"));
}

} // namespace
