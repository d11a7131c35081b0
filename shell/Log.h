#pragma once

#include <QString>

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

// Appends text and a line break at the end of pane, caret behind it, new line in view.
void appendLine(QPlainTextEdit* pane, const QString& text);

// Oldest lines beyond this many are dropped, so a run of weeks keeps its memory bounded.
constexpr int MaxLinesPerPane = 100000;

} // namespace Log
