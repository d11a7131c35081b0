#include "shell/EventGuard.h"

#include "shell/Dialogs.h"

namespace EventGuard {

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
    return message;
}

void report(const std::exception& error) {
    Dialogs::showError(errorBoxText(QString::fromUtf8(error.what())));
}

void reportUnknown() {
    Dialogs::showError(errorBoxText(QStringLiteral("Unbekannter Fehler")));
}

} // namespace EventGuard
