#pragma once

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

// Answers the program's dialogs without a person, through the real dialogs: each opens as
// the program opens it and runs its own modal loop, inside which a timer records it and
// clicks the intended button. Input dialogs get `inputAnswer` and OK, or "Abbrechen" when
// `cancelInput` is set.
class DialogRecorder {
  public:
    enum class Kind { Message, Information, Error, Input };

    struct Shown {
        Kind kind;
        QString title;
        QString text;  // the message, or the prompt of the input dialog
        QString value; // the input dialog's preset text
        QStringList buttons;
    };

    DialogRecorder() {
        poll.setInterval(1);
        QObject::connect(&poll, &QTimer::timeout, [this] { answerOpenDialog(); });
        poll.start();
    }
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    QList<Shown> shown;
    QString inputAnswer;
    bool cancelInput = false;
    // Runs inside a message box's loop before it is closed, as an operator takes time to read.
    std::function<void()> whileOpen;

  private:
    void answerOpenDialog() {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible() || dialog == answered) return;
        answered = dialog;
        if (auto* input = qobject_cast<QInputDialog*>(dialog)) return answer(*input);
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) return answer(*box);
    }

    void answer(QMessageBox& box) {
        shown.append({kindOf(box.icon()), box.windowTitle(), box.text(), {}, buttonTexts(box)});
        if (whileOpen) whileOpen();
        click(box, QStringLiteral("OK"));
    }

    void answer(QInputDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>();
        shown.append({Kind::Input, dialog.windowTitle(), dialog.labelText(), edit->text(),
                      buttonTexts(dialog)});
        if (cancelInput) return click(dialog, QStringLiteral("Abbrechen"));
        edit->insert(inputAnswer); // over the preset text, which the dialog selects
        click(dialog, QStringLiteral("OK"));
    }

    static Kind kindOf(QMessageBox::Icon icon) {
        if (icon == QMessageBox::Critical) return Kind::Error;
        return icon == QMessageBox::Information ? Kind::Information : Kind::Message;
    }

    static QStringList buttonTexts(const QWidget& dialog) {
        QStringList texts;
        for (const QPushButton* button : dialog.findChildren<QPushButton*>())
            texts << button->text();
        texts.sort();
        return texts;
    }

    static void click(QDialog& dialog, const QString& text) {
        const auto buttons = dialog.findChildren<QPushButton*>();
        const auto button = std::find_if(buttons.begin(), buttons.end(),
                                         [&](const QPushButton* b) { return b->text() == text; });
        // Without the button the dialog is rejected; the recorded buttons tell what it had.
        if (button != buttons.end())
            QTest::mouseClick(*button, Qt::LeftButton);
        else
            dialog.reject();
        activateMainWindow(dialog);
    }

    // A desktop hands the focus back to the window under a closed dialog; offscreen, nobody
    // does, and keys typed next would go nowhere.
    static void activateMainWindow(const QDialog& closed) {
        QCoreApplication::processEvents(); // the closed dialog's own deactivation first
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window != &closed && window->isVisible() && !qobject_cast<QDialog*>(window))
                return QApplication::setActiveWindow(window);
    }

    QTimer poll;
    QPointer<QWidget> answered;
};
