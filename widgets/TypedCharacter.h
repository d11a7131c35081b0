#pragma once

#include <QChar>
#include <QKeyEvent>

// The character a key press types, as the key handlers expect it: Enter from either key is
// character 13; a key that types nothing gives the null character.
inline QChar typedCharacter(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) return QChar(13);
    return event.text().isEmpty() ? QChar() : event.text().front();
}
