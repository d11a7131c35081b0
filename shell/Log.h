#pragma once

#include <QString>

#include <concepts>

class QPlainTextEdit;

// The monitor's running account: LogMsg writes to the message pane, LogError to the error
// pane. Before the main window hands over its panes both fall back to the plain message box.
void LogMsg(const QString& text);
void LogError(const QString& text);

namespace Log {

// The main window hands over its two panes as soon as they exist, and takes them back
// when it goes; the log never owns them.
void attachPanes(QPlainTextEdit* messages, QPlainTextEdit* errors);
void detachPanes();

// LogMsg stays silent while *flag is true (cyclic reading); the monitor state binds it.
void bindSilencer(const bool* flag);

// False while LogMsg is silenced.
bool messagesShown();

} // namespace Log

// LogMsg for a line that takes work to build, such as a dump: while the message pane is
// silenced, makeLine never runs.
template <std::invocable MakeLine> void LogMsgWhenShown(MakeLine&& makeLine) {
    if (Log::messagesShown()) LogMsg(makeLine());
}
