#pragma once

#include "app/Dialogs.h"

#include <QList>

// Answers every dialog without a person and keeps what was asked, for the checks.
// Input dialogs are answered with `inputAnswer` (OK) unless `cancelInput` is set.
class DialogRecorder {
  public:
    DialogRecorder() {
        Dialogs::setResponder([this](Dialogs::Request& request) {
            if (request.kind == Dialogs::Kind::Input && !cancelInput) request.value = inputAnswer;
            shown.append(request);
            return !cancelInput;
        });
    }
    ~DialogRecorder() { Dialogs::setResponder({}); }
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    QList<Dialogs::Request> shown;
    QString inputAnswer;
    bool cancelInput = false;
};
