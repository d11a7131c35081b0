#include "app/Dialogs.h"

#include "app/AppTitle.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {
Dialogs::Responder responder;

void showBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

void show(Dialogs::Kind kind, QMessageBox::Icon icon, const QString& title, const QString& text) {
    if (!responder) return showBox(icon, title, text);
    Dialogs::Request request{kind, title, text, {}};
    responder(request);
}
} // namespace

namespace Dialogs {

void setResponder(Responder r) { responder = std::move(r); }

void showMessage(const QString& text) {
    show(Kind::Message, QMessageBox::NoIcon, AppTitle::get(), text);
}

void showInformation(const QString& text) {
    show(Kind::Information, QMessageBox::Information, QStringLiteral("Information"), text);
}

void showError(const QString& text) {
    show(Kind::Error, QMessageBox::Critical, AppTitle::get(), text);
}

bool inputQuery(const QString& title, const QString& prompt, QString& value) {
    if (responder) {
        Request request{Kind::Input, title, prompt, value};
        const bool ok = responder(request);
        if (ok) value = request.value;
        return ok;
    }
    QInputDialog dialog;
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Abbrechen"));
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(InputMaxLength);
        edit->selectAll();
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    value = dialog.textValue();
    return true;
}

} // namespace Dialogs
