#pragma once

#include <QtGlobal>

class QPlainTextEdit;
class QString;
class QTextDocument;

// A log pane keeps its newest lines within a memory budget, so that no amount of traffic can
// grow the program without bound. Measured (docs/performance.md): a line costs about 700 bytes
// of bookkeeping in the document and its layout, and every character two bytes in the text
// store, which holds up to four times the live text while it grows and compacts.
namespace LogPane {

constexpr qsizetype BytesPerLine = 700;
constexpr qsizetype BytesPerCharacter = 8;
constexpr qsizetype BudgetBytes = 16 * 1024 * 1024;
// Trimming goes this far below the budget, so that it happens once per many appended lines.
constexpr qsizetype TrimmedBytes = BudgetBytes - BudgetBytes / 8;

// What the lines of a pane cost by the measure above, in constant time.
qsizetype bytesHeld(const QTextDocument& lines);

// Appends text and a line break at the end of the pane, caret behind it, the new line in
// view; over the budget, the oldest whole lines go, never those of the new entry.
void append(QPlainTextEdit& pane, const QString& text);

} // namespace LogPane
