#include "shell/Log.h"

#include "tests/support/DialogRecorder.h"

#include <QPlainTextEdit>

#include <gtest/gtest.h>

namespace {

class LogToPanes : public testing::Test {
  protected:
    void SetUp() override {
        Log::attachPanes(&messages, &errors);
        Log::bindSilencer(&cyclic);
    }
    void TearDown() override {
        Log::detachPanes();
        Log::bindSilencer(nullptr);
    }

    QPlainTextEdit messages;
    QPlainTextEdit errors;
    bool cyclic = false;
};

TEST_F(LogToPanes, EachEntryIsOneLineExactlyAsGiven) {
    LogMsg(QStringLiteral("Send F6"));
    LogMsg(QString());
    LogError(QStringLiteral("F3 Antwort mit falscher länge,  rest=-1"));
    EXPECT_EQ(messages.toPlainText(), QStringLiteral("Send F6\n\n"));
    EXPECT_EQ(errors.toPlainText(), QStringLiteral("F3 Antwort mit falscher länge,  rest=-1\n"));
}

TEST_F(LogToPanes, CyclicSilencesOnlyTheMessagePane) {
    DialogRecorder dialogs;
    cyclic = true;
    LogMsg(QStringLiteral("unseen"));
    LogError(QStringLiteral("seen"));
    EXPECT_TRUE(messages.toPlainText().isEmpty());
    EXPECT_EQ(errors.toPlainText(), QStringLiteral("seen\n"));
    Log::detachPanes(); // without panes a message would fall back to a box
    LogMsg(QStringLiteral("unseen"));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(LogToPanes, AnEntryAfterTypedTextStartsALineOfItsOwnWithTheCaretBehind) {
    LogMsg(QStringLiteral("first"));
    messages.moveCursor(QTextCursor::End);
    messages.insertPlainText(QStringLiteral("typed"));
    messages.moveCursor(QTextCursor::Start);
    LogMsg(QStringLiteral("second"));
    EXPECT_EQ(messages.toPlainText(), QStringLiteral("first\ntyped\nsecond\n"));
    EXPECT_EQ(messages.textCursor().position(), messages.document()->characterCount() - 1);
    EXPECT_FALSE(messages.textCursor().hasSelection());
}

TEST(LogWithoutWindow, BothProceduresFallBackToThePlainMessageBox) {
    DialogRecorder dialogs;
    LogMsg(QStringLiteral("GetHostByName..: 11001="));
    LogError(QStringLiteral("error line"));
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(dialogs.shown[0].kind, DialogRecorder::Kind::Message);
    EXPECT_EQ(dialogs.shown[0].title, QStringLiteral("Udpravik"));
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("GetHostByName..: 11001="));
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("error line"));
}

} // namespace
