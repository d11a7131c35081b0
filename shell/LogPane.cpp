#include "shell/LogPane.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

namespace LogPane {

namespace {

qsizetype lineBytes(const QTextBlock& line) {
    // A block's length counts its line break as well.
    return BytesPerLine + BytesPerCharacter * line.length();
}

// Drops whole lines from the top until the pane holds no more than TrimmedBytes, stopping at
// the line where the newest entry begins.
void dropOldestLines(QTextDocument& lines, int newestEntry) {
    qsizetype excess = bytesHeld(lines) - TrimmedBytes;
    QTextBlock keptFirst = lines.firstBlock();
    while (excess > 0 && keptFirst.position() < newestEntry) {
        excess -= lineBytes(keptFirst);
        keptFirst = keptFirst.next();
    }
    QTextCursor dropped(&lines);
    dropped.setPosition(keptFirst.position(), QTextCursor::KeepAnchor);
    dropped.removeSelectedText();
}

} // namespace

qsizetype bytesHeld(const QTextDocument& lines) {
    return BytesPerLine * lines.blockCount() + BytesPerCharacter * lines.characterCount();
}

void append(QPlainTextEdit& pane, const QString& text) {
    QTextDocument& lines = *pane.document();
    QTextCursor cursor(&lines);
    cursor.movePosition(QTextCursor::End);
    // One edit, so the layout hears of new lines only: a change within the last line would
    // have it shape the whole new text at once, and again when it is shown.
    cursor.beginEditBlock();
    // An entry always starts a line of its own, even behind text the operator typed.
    if (lines.lastBlock().length() > 1) cursor.insertBlock();
    const int newestEntry = cursor.position();
    cursor.insertText(text);
    cursor.insertBlock();
    cursor.endEditBlock();
    if (bytesHeld(lines) > BudgetBytes) dropOldestLines(lines, newestEntry);
    pane.setTextCursor(cursor);
    pane.ensureCursorVisible();
}

} // namespace LogPane
