#include "shell/Log.h"

#include "shell/Dialogs.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace {
QPlainTextEdit* messagePane = nullptr;
QPlainTextEdit* errorPane = nullptr;
const bool* silencer = nullptr;

void write(QPlainTextEdit* pane, const QString& text) {
    if (pane)
        Log::appendLine(pane, text);
    else
        Dialogs::showMessage(text);
}
} // namespace

namespace Log {

void attachPanes(QPlainTextEdit* messages, QPlainTextEdit* errors) {
    messagePane = messages;
    errorPane = errors;
}

void detachPanes() {
    attachPanes(nullptr, nullptr);
}

void bindSilencer(const bool* flag) {
    silencer = flag;
}

void appendLine(QPlainTextEdit* pane, const QString& text) {
    QTextCursor cursor(pane->document());
    cursor.movePosition(QTextCursor::End);
    // An entry always starts a line of its own, even behind text the operator typed.
    if (!pane->document()->lastBlock().text().isEmpty()) cursor.insertBlock();
    cursor.insertText(text);
    cursor.insertBlock();
    pane->setTextCursor(cursor);
    pane->ensureCursorVisible();
}

} // namespace Log

void LogMsg(const QString& text) {
    if (silencer && *silencer) return;
    write(messagePane, text);
}

void LogError(const QString& text) {
    write(errorPane, text);
}
