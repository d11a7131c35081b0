#include "shell/Log.h"

#include "shell/Dialogs.h"
#include "shell/LogPane.h"

namespace {
QPlainTextEdit* messagePane = nullptr;
QPlainTextEdit* errorPane = nullptr;
const bool* silencer = nullptr;

void write(QPlainTextEdit* pane, const QString& text) {
    if (pane)
        LogPane::append(*pane, text);
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

bool messagesShown() {
    return !(silencer && *silencer);
}

} // namespace Log

void LogMsg(const QString& text) {
    if (!Log::messagesShown()) return;
    write(messagePane, text);
}

void LogError(const QString& text) {
    write(errorPane, text);
}
