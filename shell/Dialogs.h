#pragma once

#include <QString>

// The program's modal dialogs. Each runs its own event loop, in which the program's timers
// go on ticking.
namespace Dialogs {

// Plain message box: the application's title, no icon, one "OK".
void showMessage(const QString& text);
// Information box: title "Information", information icon, one "OK" (Enter and Esc).
void showInformation(const QString& text);
// The event loop's error box: the application's title, stop icon, one "OK".
void showError(const QString& text);
// Input dialog with "OK" and "Abbrechen"; value is preset, wholly selected, at most 255
// characters. Returns whether OK was pressed; only then is value changed.
bool inputQuery(const QString& title, const QString& prompt, QString& value);

constexpr int InputMaxLength = 255;

} // namespace Dialogs
