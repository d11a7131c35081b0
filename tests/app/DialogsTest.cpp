#include "app/Dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs check on the modal dialog once it is up, from inside its own event loop.
void whenModalOpens(std::function<void(QWidget*)> check) {
    QTimer::singleShot(0, [check] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        check(dialog);
    });
}

QStringList buttonTexts(QWidget* dialog) {
    QStringList texts;
    for (auto* button : dialog->findChildren<QPushButton*>()) texts << button->text();
    return texts;
}

TEST(RealDialogs, PlainMessageBoxHasTheAppTitleNoIconAndOneOk) {
    whenModalOpens([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Udpravik"));
        EXPECT_EQ(box->text(), QStringLiteral("Adresse von  \"plc\"  nicht gefunden."));
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(buttonTexts(box), QStringList{QStringLiteral("OK")});
        QTest::keyClick(box, Qt::Key_Return);
    });
    Dialogs::showMessage(QStringLiteral("Adresse von  \"plc\"  nicht gefunden."));
}

TEST(RealDialogs, InformationBoxClosesWithEscape) {
    whenModalOpens([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Information"));
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(buttonTexts(box), QStringList{QStringLiteral("OK")});
        QTest::keyClick(box, Qt::Key_Escape);
    });
    Dialogs::showInformation(QStringLiteral("Eingabe ist ungültig"));
}

TEST(RealDialogs, ErrorBoxShowsTheStopIcon) {
    whenModalOpens([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Udpravik"));
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        box->accept();
    });
    Dialogs::showError(QStringLiteral("Fehler bei Bereichsprüfung."));
}

TEST(RealDialogs, InputDialogPresetsSelectsLimitsAndReturnsTheEditedText) {
    whenModalOpens([](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("neue Ziel IP - Adr."));
        EXPECT_EQ(edit->selectedText(), QStringLiteral("192.0.2.1"));
        EXPECT_EQ(edit->maxLength(), 255);
        QStringList texts = buttonTexts(w);
        texts.sort();
        EXPECT_EQ(texts, (QStringList{QStringLiteral("Abbrechen"), QStringLiteral("OK")}));
        QTest::keyClicks(edit, QStringLiteral("127.0.0.1"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QString value = QStringLiteral("192.0.2.1");
    EXPECT_TRUE(Dialogs::inputQuery(QStringLiteral("neue Ziel IP - Adr."),
                                    QStringLiteral("bitte eingeben"), value));
    EXPECT_EQ(value, QStringLiteral("127.0.0.1"));
}

TEST(RealDialogs, InputDialogCancelledWithEscapeKeepsTheValue) {
    whenModalOpens([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QString value = QStringLiteral("unchanged");
    EXPECT_FALSE(Dialogs::inputQuery(QStringLiteral("t"), QStringLiteral("p"), value));
    EXPECT_EQ(value, QStringLiteral("unchanged"));
}

} // namespace
