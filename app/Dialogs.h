#pragma once

#include <QString>

#include <functional>

// The program's modal dialogs. A test installs a responder that answers them without a
// person; without one the real Qt dialogs are shown.
namespace Dialogs {

enum class Kind { Message, Information, Error, Input };

struct Request {
    Kind kind;
    QString title;
    QString text;  // the message, or the prompt of the input dialog
    QString value; // input dialog: the preset text in, the edited text out
};

// Returns true for OK; only the input dialog looks at the result.
using Responder = std::function<bool(Request&)>;
void setResponder(Responder responder);

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
