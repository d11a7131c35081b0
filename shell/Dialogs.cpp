#include "shell/Dialogs.h"

#include "shell/AppTitle.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

void showBox(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, text, QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

} // namespace

namespace Dialogs {

void showMessage(const QString& text) {
    showBox(QMessageBox::NoIcon, AppTitle::get(), text);
}

void showInformation(const QString& text) {
    showBox(QMessageBox::Information, QStringLiteral("Information"), text);
}

void showError(const QString& text) {
    showBox(QMessageBox::Critical, AppTitle::get(), text);
}

bool inputQuery(const QString& title, const QString& prompt, QString& value) {
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
